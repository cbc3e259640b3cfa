#include "data/HostInfo.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkInterface>
#include <QSysInfo>

#ifdef Q_OS_WIN
#include <lmcons.h>
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#include <vector>
#endif

namespace HostInfo {

namespace {

// The log-on name of the account the process runs as, from the operating system; "" when it
// can't tell.
QString accountName()
{
#ifdef Q_OS_WIN
    wchar_t buffer[UNLEN + 1];
    DWORD size = UNLEN + 1;
    if (!GetUserNameW(buffer, &size) || size == 0)
        return QString();
    return QString::fromWCharArray(buffer, int(size) - 1);
#else
    long bufferSize = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size_t(bufferSize > 0 ? bufferSize : 16384));
    passwd entry{};
    passwd *found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_name)
        return QString();
    return QString::fromLocal8Bit(found->pw_name);
#endif
}

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
    QString name = accountName().trimmed();
    // The environment only when the system can't tell: a launcher may start the program with
    // an environment of its own, so these are not the account's word.
    for (const char *variable : {"USERNAME", "USER", "LOGNAME"})
        if (name.isEmpty())
            name = qEnvironmentVariable(variable).trimmed();
    return (name.isEmpty() ? QStringLiteral("Unknown") : name).toUpper();
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
