#include "consignment/OfflineStatusStrip.h"

#include "platform/ui/ConnectGuarded.h"
#include "platform/ui/ThaiFont.h"

using namespace platform;

namespace {

QString age(const QDateTime &at, const QDateTime &now)
{
    if (!at.isValid())
        return QStringLiteral("ยังไม่มีข้อมูลสำหรับสแกน");
    const qint64 minutes = qMax<qint64>(0, at.secsTo(now) / 60);
    QString ago;
    if (minutes < 1)
        ago = QStringLiteral("เมื่อสักครู่");
    else if (minutes < 60)
        ago = QStringLiteral("%1 นาทีที่แล้ว").arg(minutes);
    else if (minutes < 48 * 60)
        ago = QStringLiteral("%1 ชั่วโมงที่แล้ว").arg(minutes / 60);
    else
        ago = QStringLiteral("%1 วันที่แล้ว").arg(minutes / (24 * 60));
    return QStringLiteral("ข้อมูลสำหรับสแกน %1").arg(ago);
}

} // namespace

OfflineStatusStrip::OfflineStatusStrip(QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("OfflineStatusStrip"));
    setFont(thaiFont(12));
    setTextFormat(Qt::PlainText);
    connectGuarded(&m_minute, &QTimer::timeout, this, &OfflineStatusStrip::render);
    m_minute.start(60 * 1000);
    render();
}

void OfflineStatusStrip::setOnline(bool online)
{
    m_online = online;
    render();
}

void OfflineStatusStrip::setCounts(const QMap<JournalState, int> &counts)
{
    m_waiting = counts.value(JournalState::New) + counts.value(JournalState::Sending) + counts.value(JournalState::Held);
    m_refused = counts.value(JournalState::Refused);
    render();
}

void OfflineStatusStrip::setCopyRefreshedAt(const QDateTime &at)
{
    m_copyAt = at;
    render();
}

QString OfflineStatusStrip::describe(bool online, int waiting, int refused, const QDateTime &copyAt, const QDateTime &now)
{
    QStringList parts;
    parts << (online ? QStringLiteral("ออนไลน์") : QStringLiteral("ออฟไลน์"));
    if (waiting > 0)
        parts << QStringLiteral("รอส่ง %1 รายการ").arg(waiting);
    if (refused > 0)
        parts << QStringLiteral("ถูกปฏิเสธ %1 รายการ").arg(refused);
    parts << age(copyAt, now);
    return parts.join(QStringLiteral(" · "));
}

void OfflineStatusStrip::render()
{
    setText(describe(m_online, m_waiting, m_refused, m_copyAt, QDateTime::currentDateTimeUtc()));
    setStyleSheet(!m_online || m_refused > 0 ? QStringLiteral("color: #b00000; font-weight: bold;") : QString());
}
