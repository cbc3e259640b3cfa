#include "consignment/JournalStore.h"

#include "consignment/CompanyLink.h"
#include "consignment/OfflineMode.h"
#include "platform/ui/ConnectGuarded.h"

#include <QEventLoop>
#include <QTimer>
#include <optional>

using namespace platform;

JournalStore::JournalStore(OfflineMode &mode)
    : m_mode(mode)
{}

SaveOutcome JournalStore::save(const ConsignmentLine &line)
{
    m_refusal.clear();
    const JournalEntry added = m_mode.journal().add(line);
    Q_EMIT m_mode.journalChanged();
    const bool online = m_mode.link().online();
    if (added.state != JournalState::New)
        return SaveOutcome::Held; // behind a refused line with its serial number: not sent by itself

    std::optional<JournalEntry> settled;
    QEventLoop loop;
    const QMetaObject::Connection watch =
        connectGuarded(&m_mode, &OfflineMode::lineSettled, &loop, [&](const JournalEntry &entry) {
            if (entry.seq != added.seq)
                return;
            settled = entry;
            loop.quit();
        });
    // A link failure of the sender ends the wait at once: the line waits in the journal.
    connectGuarded(&m_mode.link(), &CompanyLink::changed, &loop, [&loop](bool nowOnline) {
        if (!nowOnline)
            loop.quit();
    });
    m_mode.sendSoon();
    if (!online)
        return SaveOutcome::KeptLocally; // the clerk does not wait for a link known to be down
    QTimer::singleShot(m_mode.settings().saveWaitSeconds * 1000, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    QObject::disconnect(watch);
    if (!settled)
        return SaveOutcome::KeptLocally;
    switch (settled->state) {
    case JournalState::Stored:
    case JournalState::AlreadyStored:
        return SaveOutcome::Stored;
    case JournalState::Refused:
        m_refusal = settled->reason;
        return SaveOutcome::Refused;
    default:
        return SaveOutcome::KeptLocally;
    }
}
