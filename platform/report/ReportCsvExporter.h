#pragma once

#include "platform/report/ReportDocument.h"

#include <QByteArray>
#include <QString>

namespace platform {

// Writes a prepared report as comma-separated values: UTF-8 with a byte-order mark (so that
// spreadsheet programs read Thai correctly), one line per table row of ReportTable, fields
// quoted when they hold a comma, a quote or a line break, lines ended by CR LF, no page breaks.
class ReportCsvExporter
{
public:
    static QByteArray toCsv(const ReportDocument &document);
    // Raises EInOutError when the file cannot be written.
    static void write(const ReportDocument &document, const QString &path);
};

} // namespace platform
