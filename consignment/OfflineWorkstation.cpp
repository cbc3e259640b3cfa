#include "consignment/OfflineWorkstation.h"

#include "consignment/OfflineJournal.h"
#include "consignment/ScanCopy.h"

OfflineWorkstation::OfflineWorkstation(const OfflineSettings &settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_journal(std::make_unique<OfflineJournal>(settings.journalFile))
    , m_scanCopy(std::make_unique<ScanCopy>(settings.scanCopyFile))
{}

OfflineWorkstation::~OfflineWorkstation() = default;
