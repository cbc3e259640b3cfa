#include "platform/mail/MailSettings.h"

#include "platform/core/IniFile.h"

namespace platform {

namespace {

const QString sectionName = QStringLiteral("ERRORMAIL");

int number(const IniFile &ini, const QString &key, int fallback, int minimum, int maximum)
{
    bool ok = false;
    const int value = ini.value(sectionName, key).toInt(&ok);
    return ok && value >= minimum && value <= maximum ? value : fallback;
}

SmtpClient::TlsMode tlsModeFrom(const QString &text)
{
    const QString value = text.toLower();
    if (value.isEmpty() || value == u"no" || value == u"none" || value == u"false" || value == u"0" || value == u"off")
        return SmtpClient::TlsMode::IfOffered;
    if (value == u"tls" || value == u"ssl" || value == u"smtps" || value == u"implicit")
        return SmtpClient::TlsMode::Implicit;
    return SmtpClient::TlsMode::StartTls;
}

// Only an explicit yes counts.
bool isYes(const QString &text)
{
    const QString value = text.toLower();
    return value == u"yes" || value == u"true" || value == u"1" || value == u"on";
}

} // namespace

MailSettings MailSettings::fromIniFile(const QString &path)
{
    const IniFile ini(path);
    const auto text = [&ini](const char *key) { return ini.value(sectionName, QLatin1String(key)); };
    MailSettings result;
    result.host = text("Host");
    result.port = number(ini, QStringLiteral("Port"), SmtpClient::defaultPort, 1, 65535);
    result.sender = text("Sender");
    result.recipient = text("Recipient");
    result.userId = text("UserId");
    result.user = text("User");
    result.password = text("Password");
    result.tlsMode = tlsModeFrom(text("UseTls"));
    result.allowPlainLogin = isYes(text("AllowPlainLogin"));
    result.caFile = text("CaFile");
    result.connectTimeoutMs = number(ini, QStringLiteral("ConnectTimeoutMs"), SmtpClient::defaultConnectTimeoutMs, 1, 600000);
    result.timeoutMs = number(ini, QStringLiteral("TimeoutMs"), SmtpClient::defaultTimeoutMs, 1, 600000);
    return result;
}

void MailSettings::applyTo(SmtpClient &client) const
{
    client.setHost(host);
    client.setPort(port);
    client.setUserId(userId);
    client.setLogin(user, password);
    client.setTlsMode(tlsMode);
    client.setAllowPlainLogin(allowPlainLogin);
    client.setCaFile(caFile);
    client.setConnectTimeoutMs(connectTimeoutMs);
    client.setTimeoutMs(timeoutMs);
}

} // namespace platform
