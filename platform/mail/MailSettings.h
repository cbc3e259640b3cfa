#pragma once

#include "platform/mail/SmtpClient.h"

#include <QString>

namespace platform {

// Where and how error reports are mailed, read from section ERRORMAIL of an INI file:
//
//   [ERRORMAIL]
//   Host=relay.example.com      ; no host: nothing is mailed
//   Port=25
//   Sender=errors@example.com
//   Recipient=support@example.com
//   UserId=errors@example.com   ; EHLO identity (see SmtpClient)
//   User=                       ; optional login
//   Password=
//   UseTls=no                   ; no | starttls (also yes/true/1) | tls (also ssl/smtps)
//   AllowPlainLogin=no          ; yes: User and Password may go over an unencrypted connection
//   CaFile=                     ; certificates (PEM) to check the host's against
//   ConnectTimeoutMs=5000
//   TimeoutMs=10000
//
// UseTls=no still upgrades with STARTTLS whenever the server offers it; starttls refuses a
// server that does not, tls speaks TLS from the first byte. A login is never sent over an
// unencrypted connection unless AllowPlainLogin is yes (also true/1/on).
//
// Key and section names are matched without regard to case, as on Windows. A missing, empty or
// unusable number takes its default; an unknown UseTls value asks for STARTTLS rather than
// silently sending in the clear.
class MailSettings
{
public:
    QString host;
    int port = SmtpClient::defaultPort;
    QString sender;
    QString recipient;
    QString userId;
    QString user;
    QString password;
    SmtpClient::TlsMode tlsMode = SmtpClient::TlsMode::IfOffered;
    bool allowPlainLogin = false;
    QString caFile;
    int connectTimeoutMs = SmtpClient::defaultConnectTimeoutMs;
    int timeoutMs = SmtpClient::defaultTimeoutMs;

    // A missing or unreadable file gives settings that are not configured.
    static MailSettings fromIniFile(const QString &path);

    // True when a host is set, i.e. there is somewhere to send to.
    bool isConfigured() const { return !host.trimmed().isEmpty(); }

    // Host, port, user identification, login, TLS and time-outs; the sender and recipient are
    // the caller's to put into the message.
    void applyTo(SmtpClient &client) const;
};

} // namespace platform
