#include "consignment/OfflineJournal.h"

#include "consignment/OfflineJournalSql.h"
#include "platform/core/Exceptions.h"

#include <QSqlQuery>

using namespace platform;

namespace {

const QString dateFormat = QStringLiteral("yyyy-MM-dd");

QString now()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

QDateTime timeOf(const QVariant &v)
{
    return v.isNull() ? QDateTime() : QDateTime::fromString(v.toString(), Qt::ISODateWithMs);
}

JournalState stateOf(const QString &name)
{
    for (JournalState s : {JournalState::New, JournalState::Sending, JournalState::Stored, JournalState::AlreadyStored,
                           JournalState::Refused, JournalState::Held, JournalState::Discarded})
        if (OfflineJournal::stateName(s) == name)
            return s;
    throw EDatabaseError(QStringLiteral("The offline journal holds a line in the unknown state '%1'.").arg(name));
}

// The columns take no NULL: an empty text is kept as empty.
QString text(const QString &s)
{
    return s.isNull() ? QStringLiteral("") : s;
}

bool hasSerial(const QString &serial)
{
    return !serial.trimmed().isEmpty();
}

} // namespace

QString OfflineJournal::stateName(JournalState state)
{
    switch (state) {
    case JournalState::New:
        return QStringLiteral("new");
    case JournalState::Sending:
        return QStringLiteral("sending");
    case JournalState::Stored:
        return QStringLiteral("stored");
    case JournalState::AlreadyStored:
        return QStringLiteral("already-stored");
    case JournalState::Refused:
        return QStringLiteral("refused");
    case JournalState::Held:
        return QStringLiteral("held");
    case JournalState::Discarded:
        return QStringLiteral("discarded");
    }
    return QString();
}

OfflineJournal::OfflineJournal(const QString &file)
    : m_file(file, QStringLiteral("journal"), LocalSqliteFile::Sync::Full)
{
    m_file.execScript(OfflineJournalSql::CreateSchema);
    migrate();
}

// A file written by an earlier version gains what this one keeps (PRAGMA user_version counts
// the steps taken); its lines stay as they are. Two programs opening one file at once take the
// steps once: the second finds them taken inside its own write transaction.
void OfflineJournal::migrate()
{
    m_file.begin();
    try {
        const int version = m_file.scalar(OfflineJournalSql::SchemaVersion).toInt();
        if (version < 1)
            m_file.execScript(OfflineJournalSql::AddDiscardColumns);
        if (version < OfflineJournalSql::CurrentSchemaVersion)
            m_file.exec(OfflineJournalSql::SetSchemaVersion.arg(OfflineJournalSql::CurrentSchemaVersion));
        m_file.commit();
    } catch (...) {
        m_file.rollback();
        throw;
    }
}

int OfflineJournal::recoverUnfinishedSends()
{
    return m_file.exec(OfflineJournalSql::ReopenSending).numRowsAffected();
}

JournalEntry OfflineJournal::add(const ConsignmentLine &line)
{
    const QUuid id = QUuid::createUuid();
    m_file.begin();
    try {
        QVariant behind;
        if (hasSerial(line.serialNumber))
            behind = m_file.scalar(OfflineJournalSql::BlockingRefusal, {line.serialNumber});
        const bool held = !behind.isNull();
        const LocalSqliteFile &f = m_file;
        f.exec(OfflineJournalSql::Insert,
               {id.toString(QUuid::WithoutBraces),
                line.entry == ConsignmentLine::Entry::Adjustment ? QStringLiteral("A") : QStringLiteral("C"),
                text(line.userCode),
                text(line.userKeyIn),
                line.customer,
                text(line.consigType),
                text(line.barcode),
                text(line.serialNumber),
                line.quantity,
                line.price,
                line.chkFree(),
                line.oldPrice,
                line.editDate.toString(dateFormat),
                text(line.shown.productCode),
                text(line.shown.productName),
                text(line.shown.unitName),
                text(line.shown.quantity),
                text(line.shown.price),
                stateName(held ? JournalState::Held : JournalState::New),
                held ? behind : QVariant(),
                now()});
        const qint64 seq = f.scalar(OfflineJournalSql::LastSeq).toLongLong();
        m_file.commit();
        return *entry(seq);
    } catch (...) {
        m_file.rollback();
        throw;
    }
}

void OfflineJournal::transition(const QString &sql, const QVariantList &values, qint64 seq, const char *what)
{
    QSqlQuery q = m_file.exec(sql, values);
    if (q.numRowsAffected() != 1)
        throw EDatabaseError(QStringLiteral("Line %1 of the offline journal cannot be %2 in its present state.")
                                 .arg(seq)
                                 .arg(QLatin1String(what)));
}

const QString OfflineJournal::sentWithoutRequestId = QStringLiteral("sent without request id");

void OfflineJournal::markSending(qint64 seq, bool withRequestId)
{
    transition(OfflineJournalSql::ToSending, {withRequestId ? QVariant() : QVariant(sentWithoutRequestId), now(), seq}, seq,
               "sent");
}

void OfflineJournal::markStored(qint64 seq, bool alreadyStored, qint64 consignmentId)
{
    transition(OfflineJournalSql::ToSettled,
               {stateName(alreadyStored ? JournalState::AlreadyStored : JournalState::Stored), consignmentId, now(), seq}, seq,
               "marked stored");
}

void OfflineJournal::markRefused(qint64 seq, const QString &reason)
{
    m_file.begin();
    try {
        transition(OfflineJournalSql::ToRefused, {reason, now(), seq}, seq, "marked refused");
        const QString serial = m_file.scalar(OfflineJournalSql::SerialOf, {seq}).toString();
        if (hasSerial(serial))
            m_file.exec(OfflineJournalSql::HoldBehind, {seq, seq, serial});
        m_file.commit();
    } catch (...) {
        m_file.rollback();
        throw;
    }
}

void OfflineJournal::markNoAnswer(qint64 seq)
{
    transition(OfflineJournalSql::BackToNew, {1, seq, stateName(JournalState::Sending)}, seq, "put back to wait");
}

void OfflineJournal::resend(qint64 seq)
{
    m_file.begin();
    try {
        const std::optional<JournalEntry> e = entry(seq);
        transition(OfflineJournalSql::BackToNew, {e ? int(e->outcomeUnknown) : 0, seq, stateName(JournalState::Refused)}, seq,
                   "sent again");
        m_file.exec(OfflineJournalSql::ReleaseHeld, {seq});
        m_file.commit();
    } catch (...) {
        m_file.rollback();
        throw;
    }
}

void OfflineJournal::discard(qint64 seq, const QString &reason, const QString &who)
{
    if (reason.trimmed().isEmpty())
        throw EDatabaseError(QStringLiteral("Line %1 of the offline journal cannot be discarded without a reason.").arg(seq));
    m_file.begin();
    try {
        transition(OfflineJournalSql::ToDiscarded, {reason.trimmed(), now(), text(who), seq}, seq, "discarded");
        m_file.exec(OfflineJournalSql::ReleaseHeld, {seq});
        m_file.commit();
    } catch (...) {
        m_file.rollback();
        throw;
    }
}

QList<JournalEntry> OfflineJournal::read(const QString &sql, const QVariantList &values) const
{
    QSqlQuery q = m_file.exec(sql, values);
    QList<JournalEntry> list;
    while (q.next()) {
        JournalEntry e;
        int c = 0;
        auto next = [&] { return q.value(c++); };
        e.seq = next().toLongLong();
        e.requestId = QUuid::fromString(next().toString());
        ConsignmentLine &l = e.line;
        l.entry =
            next().toString() == QLatin1String("A") ? ConsignmentLine::Entry::Adjustment : ConsignmentLine::Entry::Consignment;
        l.userCode = next().toString();
        l.userKeyIn = next().toString();
        l.customer = next().toInt();
        l.consigType = next().toString();
        l.barcode = next().toString();
        l.serialNumber = next().toString();
        l.quantity = next().toDouble();
        l.price = next().toDouble();
        l.free = next().toString() == QLatin1String("Y");
        l.oldPrice = next().toDouble();
        l.editDate = QDate::fromString(next().toString(), dateFormat);
        l.shown.productCode = next().toString();
        l.shown.productName = next().toString();
        l.shown.unitName = next().toString();
        l.shown.quantity = next().toString();
        l.shown.price = next().toString();
        e.state = stateOf(next().toString());
        e.reason = next().toString();
        e.heldBehind = next().toLongLong();
        e.attempts = next().toInt();
        e.outcomeUnknown = next().toInt() != 0;
        e.consignmentId = next().toLongLong();
        e.createdAt = timeOf(next());
        e.lastAttemptAt = timeOf(next());
        e.settledAt = timeOf(next());
        e.discardReason = next().toString();
        e.discardedAt = timeOf(next());
        e.discardedBy = next().toString();
        list << e;
    }
    return list;
}

std::optional<JournalEntry> OfflineJournal::entry(qint64 seq) const
{
    const QList<JournalEntry> one = read(OfflineJournalSql::ById, {seq});
    return one.isEmpty() ? std::nullopt : std::optional<JournalEntry>(one.first());
}

QList<JournalEntry> OfflineJournal::entries() const
{
    return read(OfflineJournalSql::InOrder);
}

QList<JournalEntry> OfflineJournal::waiting() const
{
    return read(OfflineJournalSql::Waiting);
}

QMap<JournalState, int> OfflineJournal::counts() const
{
    QMap<JournalState, int> counts;
    QSqlQuery q = m_file.exec(OfflineJournalSql::CountByState);
    while (q.next())
        counts[stateOf(q.value(0).toString())] = q.value(1).toInt();
    return counts;
}

QList<JournalEntry> OfflineJournal::unsettled(int customer, const QDate &from, const QDate &to) const
{
    return read(OfflineJournalSql::UnsettledOfCustomer, {customer, from.toString(dateFormat), to.toString(dateFormat)});
}

QList<JournalEntry> OfflineJournal::forSupervisor(bool withDiscarded) const
{
    return read(withDiscarded ? OfflineJournalSql::NotStoredOrDiscarded : OfflineJournalSql::NotStored);
}

QList<JournalEntry> OfflineJournal::withSerial(int customer, const QString &serialNumber, const QDateTime &settledSince) const
{
    return read(OfflineJournalSql::SameSerialOfCustomer,
                {serialNumber, customer, settledSince.isValid() ? settledSince.toString(Qt::ISODateWithMs) : QString("")});
}
