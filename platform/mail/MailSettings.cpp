#include "platform/mail/MailSettings.h"

#include <QSettings>

namespace {

const QLatin1String sectionName("ERRORMAIL");

// QSettings matches INI keys exactly on every platform but Windows; files written by hand use
// any case, so look keys up case-insensitively.
class Section
{
public:
    explicit Section(QSettings &settings)
        : m_settings(settings)
    {
        const QStringList groups = settings.childGroups();
        for (const QString &group : groups) {
            if (group.compare(sectionName, Qt::CaseInsensitive) == 0) {
                settings.beginGroup(group);
                m_open = true;
                m_keys = settings.childKeys();
                return;
            }
        }
    }
    ~Section()
    {
        if (m_open)
            m_settings.endGroup();
    }

    QString text(const char *key) const
    {
        for (const QString &k : m_keys) {
            if (k.compare(QLatin1String(key), Qt::CaseInsensitive) == 0) {
                const QVariant value = m_settings.value(k);
                // QSettings reads an unquoted value with commas as a list; a value that holds
                // commas (a password, say) should be quoted.
                if (value.userType() == QMetaType::QStringList)
                    return value.toStringList().join(u',').trimmed();
                return value.toString().trimmed();
            }
        }
        return QString();
    }

    int number(const char *key, int fallback, int minimum, int maximum) const
    {
        bool ok = false;
        const int value = text(key).toInt(&ok);
        return ok && value >= minimum && value <= maximum ? value : fallback;
    }

private:
    QSettings &m_settings;
    QStringList m_keys;
    bool m_open = false;
};

SmtpClient::TlsMode tlsModeFrom(const QString &text)
{
    const QString value = text.toLower();
    if (value.isEmpty() || value == u"no" || value == u"none" || value == u"false" || value == u"0"
        || value == u"off")
        return SmtpClient::TlsMode::None;
    if (value == u"tls" || value == u"ssl" || value == u"smtps" || value == u"implicit")
        return SmtpClient::TlsMode::Implicit;
    return SmtpClient::TlsMode::StartTls;
}

} // namespace

MailSettings MailSettings::fromIniFile(const QString &path)
{
    QSettings settings(path, QSettings::IniFormat);
    const Section section(settings);
    MailSettings result;
    result.host = section.text("Host");
    result.port = section.number("Port", SmtpClient::defaultPort, 1, 65535);
    result.sender = section.text("Sender");
    result.recipient = section.text("Recipient");
    result.userId = section.text("UserId");
    result.user = section.text("User");
    result.password = section.text("Password");
    result.tlsMode = tlsModeFrom(section.text("UseTls"));
    result.connectTimeoutMs =
        section.number("ConnectTimeoutMs", SmtpClient::defaultConnectTimeoutMs, 1, 600000);
    result.timeoutMs = section.number("TimeoutMs", SmtpClient::defaultTimeoutMs, 1, 600000);
    return result;
}

void MailSettings::applyTo(SmtpClient &client) const
{
    client.setHost(host);
    client.setPort(port);
    client.setUserId(userId);
    client.setLogin(user, password);
    client.setTlsMode(tlsMode);
    client.setConnectTimeoutMs(connectTimeoutMs);
    client.setTimeoutMs(timeoutMs);
}
