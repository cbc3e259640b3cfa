#include "data/HostInfo.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkInterface>
#include <QSysInfo>

namespace HostInfo {

namespace {
QString trimmedOfControls(const QString &text)
{
    int begin = 0;
    int end = int(text.size());
    while (begin < end && text[begin] <= u' ')
        ++begin;
    while (end > begin && text[end - 1] <= u' ')
        --end;
    return text.mid(begin, end - begin);
}
} // namespace

QString computerName()
{
    return trimmedOfControls(QSysInfo::machineHostName());
}

QString logOnName()
{
    for (const char *variable : {"USERNAME", "USER", "LOGNAME"}) {
        const QString name = qEnvironmentVariable(variable).trimmed();
        if (!name.isEmpty())
            return name.toUpper();
    }
    return QStringLiteral("Unknown").toUpper();
}

QString localIp()
{
    QString result;
    const QHostInfo info = QHostInfo::fromName(QHostInfo::localHostName());
    for (const QHostAddress &address : info.addresses())
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            result = address.toString();
    if (!result.isEmpty())
        return result;
    for (const QHostAddress &address : QNetworkInterface::allAddresses())
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            result = address.toString();
    return result;
}

} // namespace HostInfo
