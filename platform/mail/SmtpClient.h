#pragma once

#include "platform/mail/MailMessage.h"

#include <QString>

#include <cstddef>

namespace platform {

class EMailError;

// A blocking SMTP client on libcurl, used to mail error reports.
//
// Use: set the host (port 25 unless set) and the user identification, connect(), and if
// connected() fill message() and call SendMail(); disconnect() at the end. Every failure raises
// EMailError with libcurl's text (and the server's last reply, when it gave one).
//
// connect() opens the SMTP session for real: the server must greet, answer EHLO (and STARTTLS
// when offered or required, and AUTH when configured) and answer a NOOP; only then is
// connected() true. libcurl keeps that session open and SendMail() sends over it (opening a new
// one if the server has dropped it meanwhile). disconnect() ends it with QUIT.
//
// Time-outs: connect() as a whole, and any single server reply (including the one to QUIT),
// may take at most the connect time-out (default 5 s; libcurl counts reply time-outs in whole
// seconds, so that one is rounded up); SendMail() as a whole at most the transfer time-out
// (default 10 s). A dead or silent host therefore holds the caller for at most the connect
// time-out, and one that stalls in mid-message for at most both together.
//
// The user identification is the name the client gives in EHLO (HELO with old servers). When it
// is a mail address, as it usually is, its domain part is used, since EHLO takes a domain; left
// empty, libcurl gives the local host name. Logging in is a separate, optional user and password.
class SmtpClient
{
public:
    enum class TlsMode {
        IfOffered, // upgraded with STARTTLS whenever the server offers it, plain SMTP otherwise
        StartTls,  // upgraded with STARTTLS; refused if the server cannot
        Implicit   // TLS from the first byte (SMTPS, usually port 465)
    };

    static constexpr int defaultPort = 25;
    static constexpr int defaultConnectTimeoutMs = 5000;
    static constexpr int defaultTimeoutMs = 10000;

    SmtpClient();
    ~SmtpClient();
    SmtpClient(const SmtpClient &) = delete;
    SmtpClient &operator=(const SmtpClient &) = delete;

    // Changing where or how to connect ends an open session first.
    void setHost(const QString &host);
    QString host() const { return m_host; }
    void setPort(int port);
    int port() const { return m_port; }
    void setUserId(const QString &userId);
    QString userId() const { return m_userId; }
    // The name sent in EHLO, derived from userId() (empty: libcurl's default).
    QString ehloName() const;
    // Log in with AUTH when the server offers it; an empty user means no login. The login is
    // only ever sent over an encrypted connection: with TlsMode::IfOffered and a server that
    // offers no STARTTLS, connect() fails before anything of it is sent, unless plain logins
    // are allowed.
    void setLogin(const QString &user, const QString &password);
    QString user() const { return m_user; }
    void setTlsMode(TlsMode mode);
    TlsMode tlsMode() const { return m_tlsMode; }
    void setAllowPlainLogin(bool allow);
    bool allowPlainLogin() const { return m_allowPlainLogin; }
    // A file of certificates (PEM) to check the mail host's certificate against instead of the
    // system's bundle, for a host whose certificate comes from a company's own authority. The
    // host's certificate and name are always checked.
    void setCaFile(const QString &path);
    QString caFile() const { return m_caFile; }

    // Values of zero or less restore the defaults.
    void setConnectTimeoutMs(int ms);
    int connectTimeoutMs() const { return m_connectTimeoutMs; }
    void setTimeoutMs(int ms);
    int timeoutMs() const { return m_timeoutMs; }

    // When on (the default), a successful SendMail() empties message() afterwards.
    void setClearParams(bool on) { m_clearParams = on; }

    // Raises EMailError when no SMTP server answered; connected() stays false then.
    void connect();
    bool connected() const { return m_connected; }

    MailMessage &message() { return m_message; }
    const MailMessage &message() const { return m_message; }

    // Delivers message() to the host or raises EMailError. Needs connected(); after a failure
    // the session is closed and connected() is false.
    void SendMail();

    // Ends the session (QUIT); harmless when not connected.
    void disconnect();

private:
    // Sets one setting; a change ends an open session first.
    template <typename T>
    void change(T &setting, const T &value);
    void *handle();
    void applyCommonOptions(void *curlHandle, int wholeTimeoutMs);
    EMailError failure(int curlCode) const;
    bool loginNeedsTls() const;
    size_t takeUpload(char *buffer, size_t room);
    void noteServerData(const char *data, size_t size);
    QString url() const;

    void *m_curl = nullptr;
    QString m_host;
    int m_port = defaultPort;
    QString m_userId;
    QString m_user;
    QString m_password;
    TlsMode m_tlsMode = TlsMode::IfOffered;
    bool m_allowPlainLogin = false;
    QString m_caFile;
    int m_connectTimeoutMs = defaultConnectTimeoutMs;
    int m_timeoutMs = defaultTimeoutMs;
    bool m_clearParams = true;
    bool m_connected = false;
    MailMessage m_message;

    // Filled by libcurl's callbacks during a transfer.
    char m_errorBuffer[256] = {};
    QByteArray m_lastErrorReply;
    QByteArray m_partialReply;
    QByteArray m_upload;
    qsizetype m_uploadPos = 0;
};

} // namespace platform
