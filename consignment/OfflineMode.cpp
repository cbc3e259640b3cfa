#include "consignment/OfflineMode.h"

#include "consignment/CompanyThread.h"
#include "consignment/JournalStore.h"
#include "consignment/OfflineSender.h"
#include "consignment/OfflineStatusStrip.h"
#include "consignment/OfflineWorkstation.h"
#include "consignment/ScanCopy.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/ui/ConnectGuarded.h"

using namespace platform;

OfflineMode::OfflineMode(const Setup &setup, QObject *parent)
    : QObject(parent)
    , m_setup(setup)
    , m_station(std::make_unique<OfflineWorkstation>(setup.settings))
{
    journal().recoverUnfinishedSends(); // before the sender starts: its own sends are under way
    m_copyRefreshedAt = m_station->scanCopy().refreshedAt();

    m_senderThread = std::make_unique<CompanyThread>(QStringLiteral("offline sender"), setup.companyParams, setup.iniPath);
    m_refreshThread = std::make_unique<CompanyThread>(QStringLiteral("scan copy refresh"), setup.companyParams, setup.iniPath);

    // The sender reports through queued calls to this thread; they are dropped once this object
    // has gone (it waits for the sender's thread before that).
    OfflineSender::Reports reports;
    CompanyLink *companyLink = &link();
    reports.answered = [companyLink] {
        QMetaObject::invokeMethod(companyLink, &CompanyLink::reportAnswered, Qt::QueuedConnection);
    };
    reports.lost = [companyLink] { QMetaObject::invokeMethod(companyLink, &CompanyLink::reportLost, Qt::QueuedConnection); };
    reports.settled = [this](const JournalEntry &entry) {
        QMetaObject::invokeMethod(
            this, [this, entry] { Q_EMIT lineSettled(entry); }, Qt::QueuedConnection);
    };
    reports.journalChanged = [this] {
        QMetaObject::invokeMethod(
            this, [this] { Q_EMIT journalChanged(); }, Qt::QueuedConnection);
    };
    const QString journalFile = setup.settings.journalFile;
    m_senderThread->post([this, journalFile, reports](Database &company) {
        m_sender = std::make_unique<OfflineSender>(company, journalFile, reports);
    });

    connectGuarded(&m_sendTimer, &QTimer::timeout, this, &OfflineMode::minuteTick);
    m_sendTimer.start(sendIntervalMs);
    connectGuarded(&m_refreshTimer, &QTimer::timeout, this, [this] {
        if (link().online())
            refreshCopySoon();
    });
    m_refreshTimer.start(refreshIntervalMs);

    sendSoon();
    refreshCopySoon();
}

OfflineMode::~OfflineMode()
{
    m_sendTimer.stop();
    m_refreshTimer.stop();
    m_senderThread->runAndWait([this](Database &) { m_sender.reset(); });
    m_senderThread.reset();
    m_refreshThread.reset();
}

CompanyLink &OfflineMode::link()
{
    return m_station->link();
}

OfflineJournal &OfflineMode::journal()
{
    return m_station->journal();
}

std::unique_ptr<LineStore> OfflineMode::makeStore()
{
    return std::make_unique<JournalStore>(*this);
}

OfflineStatusStrip *OfflineMode::makeStatusStrip(QWidget *parent)
{
    auto *strip = new OfflineStatusStrip(parent);
    const auto counts = [this, strip] { strip->setCounts(journal().counts()); };
    connectGuarded(&link(), &CompanyLink::changed, strip, &OfflineStatusStrip::setOnline);
    connectGuarded(this, &OfflineMode::journalChanged, strip, counts);
    connectGuarded(this, &OfflineMode::copyRefreshed, strip, &OfflineStatusStrip::setCopyRefreshedAt);
    strip->setOnline(link().online());
    strip->setCopyRefreshedAt(m_copyRefreshedAt);
    counts();
    return strip;
}

void OfflineMode::sendSoon()
{
    if (!link().online())
        m_probe = true;
    if (m_roundWaiting.exchange(true))
        return;
    m_senderThread->post([this](Database &) {
        m_roundWaiting = false;
        const bool probe = m_probe.exchange(false);
        if (m_sender)
            m_sender->round(probe);
    });
}

void OfflineMode::waitForSender()
{
    m_senderThread->runAndWait([](Database &) {});
}

void OfflineMode::minuteTick()
{
    Q_EMIT journalChanged(); // a person may have sent a line again or discarded one
    const QMap<JournalState, int> counts = journal().counts();
    if (!link().online() || counts.value(JournalState::New) > 0 || counts.value(JournalState::Sending) > 0)
        sendSoon();
}

void OfflineMode::refreshCopySoon()
{
    const QString file = m_setup.settings.scanCopyFile;
    m_refreshThread->post([this, file](Database &company) {
        try {
            const ScanCopyRefresh done = ScanCopy::refresh(company, file);
            QMetaObject::invokeMethod(
                this,
                [this, at = done.refreshedAt] {
                    m_copyRefreshedAt = at;
                    Q_EMIT copyRefreshed(at);
                },
                Qt::QueuedConnection);
        } catch (const EDatabaseError &e) {
            // The copy stays as it was; the next refresh tries again.
            qWarning("scan copy refresh: %s", qPrintable(e.message()));
        }
    });
}
