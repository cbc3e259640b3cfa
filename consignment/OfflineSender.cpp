#include "consignment/OfflineSender.h"

#include "consignment/ConsignmentStore.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/sql/ServerErrors.h"

using namespace platform;

const QString OfflineSender::unresolvableReason = QStringLiteral("ไม่ทราบว่าฐานข้อมูลบริษัทบันทึกรายการนี้แล้วหรือยัง (ส่งโดยไม่มีรหัสคำขอ) "
                                                                 "ตรวจสอบในฐานข้อมูลก่อนส่งอีกครั้ง");

OfflineSender::OfflineSender(Database &company, const QString &journalFile, Reports reports)
    : m_company(company)
    , m_journal(journalFile)
    , m_requestIds(&company)
    , m_save(std::make_unique<Query>(&company))
    , m_reports(std::move(reports))
{
    m_save->setObjectName(QStringLiteral("QSave"));
}

OfflineSender::~OfflineSender() = default;

void OfflineSender::round(bool probe)
{
    bool changed = false;
    const auto tell = [&] {
        if (changed)
            m_reports.journalChanged();
    };
    for (bool first = true;; first = false) {
        const QList<JournalEntry> waiting = m_journal.waiting();
        if (waiting.isEmpty() && !(first && probe))
            break;
        bool takesId = false;
        try {
            takesId = m_requestIds.saveTakesRequestId(); // nothing is sent if the link is down
        } catch (const EDatabaseError &) {
            m_reports.lost();
            break;
        }
        m_reports.answered();
        if (waiting.isEmpty())
            break;
        const JournalEntry &next = waiting.first();
        if (next.outcomeUnknown && (!takesId || next.reason == OfflineJournal::sentWithoutRequestId)) {
            m_journal.markSending(next.seq, takesId);
            m_journal.markRefused(next.seq, unresolvableReason);
            changed = true;
            m_reports.settled(*m_journal.entry(next.seq));
            continue;
        }
        changed = true;
        if (send(next, takesId) == Sent::LinkFailed) {
            m_reports.lost();
            break;
        }
    }
    tell();
}

OfflineSender::Sent OfflineSender::send(const JournalEntry &entry, bool takesId)
{
    m_journal.markSending(entry.seq, takesId);
    try {
        const SaveRequestAnswer answer = ConsignmentStore::send(*m_save, entry.line, takesId ? entry.requestId : QUuid());
        m_journal.markStored(entry.seq, answer.alreadyStored, answer.line);
    } catch (const EOutcomeUnknown &) {
        m_journal.markNoAnswer(entry.seq);
        return Sent::LinkFailed;
    } catch (const EDatabaseError &e) {
        if (!m_company.connected()) { // the connection went before the line was sent
            m_journal.markNoAnswer(entry.seq);
            return Sent::LinkFailed;
        }
        m_journal.markRefused(entry.seq, e.message()); // the server's refusal, in its words
    }
    m_reports.settled(*m_journal.entry(entry.seq));
    return Sent::Settled;
}
