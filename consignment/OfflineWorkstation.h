#pragma once

#include "consignment/CompanyLink.h"
#include "consignment/OfflineSettings.h"

#include <QObject>
#include <memory>

class OfflineJournal;
class ScanCopy;

// What a workstation with the offline mode switched on keeps on the GUI thread: the state of its
// link to the company database, its journal and its scan copy (the files OfflineSettings names,
// opened on this thread's connections). The program makes one when QLM.INI switches the mode on
// and hands it to the consignment screen; without one the screen works online only.
class OfflineWorkstation : public QObject
{
    Q_OBJECT
public:
    explicit OfflineWorkstation(const OfflineSettings &settings, QObject *parent = nullptr);
    ~OfflineWorkstation() override;

    const OfflineSettings &settings() const { return m_settings; }
    CompanyLink &link() { return m_link; }
    OfflineJournal &journal() { return *m_journal; }
    ScanCopy &scanCopy() { return *m_scanCopy; }

private:
    OfflineSettings m_settings;
    CompanyLink m_link;
    std::unique_ptr<OfflineJournal> m_journal;
    std::unique_ptr<ScanCopy> m_scanCopy;
};
