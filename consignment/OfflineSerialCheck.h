#pragma once

#include "consignment/ConsignmentLine.h"

class OfflineJournal;
class ScanCopy;

// The save procedure's serial-number check, made on this workstation while the company database
// cannot be reached: a sale of a serial number the branch holds on sale is refused with the
// procedure's own words, so that the clerk gets the same message as online. On sale means on
// sale in the scan copy, as changed by the lines of this workstation the copy does not hold yet
// (waiting to be sent, or stored since the copy was made), taken in the order they were saved:
// a sale puts the number on sale, a take-back takes it off.
class OfflineSerialCheck
{
public:
    OfflineSerialCheck(const ScanCopy &copy, const OfflineJournal &journal);

    // Raises EDatabaseError with the procedure's words when the line sells a serial number the
    // branch holds on sale; any other line passes.
    void check(const ConsignmentLine &line) const;
    bool onSale(const ConsignmentLine &line, const QString &productCode) const;

private:
    const ScanCopy &m_copy;
    const OfflineJournal &m_journal;
};
