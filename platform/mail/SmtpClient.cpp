#include "platform/mail/SmtpClient.h"

#include "platform/mail/EMailError.h"
#include "platform/mail/MimeMessage.h"

#include <QFile>
#include <QUrl>

#include <curl/curl.h>

#include <cstring>
#include <mutex>

namespace platform {

namespace {

CURL *curlOf(void *handle)
{
    return static_cast<CURL *>(handle);
}

size_t discardOutput(char *, size_t size, size_t count, void *)
{
    return size * count;
}

// One owner of libcurl's global state for the whole program.
void initLibcurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlList {
    curl_slist *list = nullptr;
    ~CurlList() { curl_slist_free_all(list); }
    void append(const QByteArray &item)
    {
        curl_slist *grown = curl_slist_append(list, item.constData());
        if (!grown)
            throw EMailError(QStringLiteral("Out of memory"));
        list = grown;
    }
};

} // namespace

SmtpClient::SmtpClient() = default;

SmtpClient::~SmtpClient()
{
    disconnect();
}

template <typename T>
void SmtpClient::change(T &setting, const T &value)
{
    if (setting != value)
        disconnect();
    setting = value;
}

void SmtpClient::setHost(const QString &host)
{
    change(m_host, host);
}

void SmtpClient::setPort(int port)
{
    change(m_port, port);
}

void SmtpClient::setUserId(const QString &userId)
{
    change(m_userId, userId);
}

QString SmtpClient::ehloName() const
{
    const QString id = m_userId.trimmed();
    return id.mid(id.lastIndexOf(u'@') + 1);
}

void SmtpClient::setLogin(const QString &user, const QString &password)
{
    change(m_user, user);
    change(m_password, password);
}

void SmtpClient::setTlsMode(TlsMode mode)
{
    change(m_tlsMode, mode);
}

void SmtpClient::setAllowPlainLogin(bool allow)
{
    change(m_allowPlainLogin, allow);
}

void SmtpClient::setCaFile(const QString &path)
{
    change(m_caFile, path);
}

bool SmtpClient::loginNeedsTls() const
{
    return !m_user.isEmpty() && !m_allowPlainLogin;
}

void SmtpClient::setConnectTimeoutMs(int ms)
{
    m_connectTimeoutMs = ms > 0 ? ms : defaultConnectTimeoutMs;
}

void SmtpClient::setTimeoutMs(int ms)
{
    m_timeoutMs = ms > 0 ? ms : defaultTimeoutMs;
}

QString SmtpClient::url() const
{
    QString host = m_host.trimmed();
    if (host.contains(u':') && !host.startsWith(u'['))
        host = u'[' + host + u']';
    const QString scheme = m_tlsMode == TlsMode::Implicit ? QStringLiteral("smtps") : QStringLiteral("smtp");
    return QStringLiteral("%1://%2:%3/%4")
        .arg(scheme, host)
        .arg(m_port)
        .arg(QString::fromLatin1(QUrl::toPercentEncoding(ehloName())));
}

void *SmtpClient::handle()
{
    if (!m_curl) {
        initLibcurl();
        m_curl = curl_easy_init();
        if (!m_curl)
            throw EMailError(QStringLiteral("libcurl could not be started"));
    }
    return m_curl;
}

void SmtpClient::applyCommonOptions(void *curlHandle, int wholeTimeoutMs)
{
    CURL *curl = curlOf(curlHandle);
    m_errorBuffer[0] = '\0';
    m_lastErrorReply.clear();
    m_partialReply.clear();

    curl_easy_setopt(curl, CURLOPT_URL, url().toUtf8().constData());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, m_errorBuffer);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(m_connectTimeoutMs));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(wholeTimeoutMs));
    // Bounds each single reply, and the wait for the reply to QUIT when the session ends, which
    // the whole-transfer limit does not cover.
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, long((m_connectTimeoutMs + 999) / 1000));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, discardOutput);
    // libcurl hands the server's replies to the debug callback; the last refusal among them
    // goes into the error text.
    curl_debug_callback recordReply = [](CURL *, curl_infotype type, char *data, size_t size, void *user) -> int {
        if (type == CURLINFO_HEADER_IN)
            static_cast<SmtpClient *>(user)->noteServerData(data, size);
        return 0;
    };
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, recordReply);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
    // STARTTLS whenever the server offers it; required when asked for, and when a login would
    // otherwise go out in the clear (libcurl then stops before AUTH).
    long useSsl = CURLUSESSL_NONE; // SMTPS is encrypted by its scheme
    if (m_tlsMode == TlsMode::StartTls || (m_tlsMode == TlsMode::IfOffered && loginNeedsTls()))
        useSsl = CURLUSESSL_ALL;
    else if (m_tlsMode == TlsMode::IfOffered)
        useSsl = CURLUSESSL_TRY;
    curl_easy_setopt(curl, CURLOPT_USE_SSL, useSsl);
    if (!m_caFile.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, QFile::encodeName(m_caFile).constData());
    if (m_user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, nullptr);
        curl_easy_setopt(curl, CURLOPT_PASSWORD, nullptr);
    } else {
        curl_easy_setopt(curl, CURLOPT_USERNAME, m_user.toUtf8().constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, m_password.toUtf8().constData());
    }
}

EMailError SmtpClient::failure(int code) const
{
    QString text = QString::fromUtf8(m_errorBuffer).trimmed();
    if (text.isEmpty())
        text = QString::fromUtf8(curl_easy_strerror(CURLcode(code)));
    if (code == CURLE_USE_SSL_FAILED && m_tlsMode == TlsMode::IfOffered && loginNeedsTls())
        text += QStringLiteral(" (the login is not sent over an unencrypted connection)");
    if (!m_lastErrorReply.isEmpty())
        text += QStringLiteral(" (server: %1)").arg(QString::fromUtf8(m_lastErrorReply));
    return EMailError(text);
}

void SmtpClient::connect()
{
    disconnect();
    if (m_host.trimmed().isEmpty())
        throw EMailError(QStringLiteral("No mail host is set"));
    CURL *curl = curlOf(handle());
    applyCommonOptions(curl, m_connectTimeoutMs);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "NOOP");
    const CURLcode code = curl_easy_perform(curl);
    if (code != CURLE_OK) {
        const EMailError error = failure(code);
        disconnect();
        throw error;
    }
    m_connected = true;
}

void SmtpClient::SendMail()
{
    if (!m_connected)
        throw EMailError(QStringLiteral("Not connected to a mail host"));

    // Put the message together first: a fault in it leaves the session as it is.
    const QByteArray data = MimeMessage::compose(m_message);
    const QString from = MimeMessage::envelopeAddress(m_message.sender);
    if (from.isEmpty())
        throw EMailError(QStringLiteral("The message has no sender"));
    CurlList recipients;
    for (const QStringList *list : {&m_message.recipients, &m_message.carbonCopies, &m_message.blindCopies}) {
        for (const QString &entry : *list)
            recipients.append('<' + MimeMessage::envelopeAddress(entry).toUtf8() + '>');
    }
    if (!recipients.list)
        throw EMailError(QStringLiteral("The message has no recipient"));

    m_upload = data;
    m_uploadPos = 0;
    CURL *curl = curlOf(handle());
    applyCommonOptions(curl, m_timeoutMs);
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, nullptr);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_read_callback readUpload = [](char *buffer, size_t size, size_t count, void *user) -> size_t {
        return static_cast<SmtpClient *>(user)->takeUpload(buffer, size * count);
    };
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readUpload);
    curl_easy_setopt(curl, CURLOPT_READDATA, this);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(m_upload.size()));
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, ('<' + from.toUtf8() + '>').constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients.list);
    const CURLcode code = curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, nullptr);
    m_upload.clear();
    if (code != CURLE_OK) {
        const EMailError error = failure(code);
        disconnect();
        throw error;
    }
    if (m_clearParams)
        m_message.clear();
}

size_t SmtpClient::takeUpload(char *buffer, size_t room)
{
    const qsizetype n = qMin<qsizetype>(qsizetype(room), m_upload.size() - m_uploadPos);
    std::memcpy(buffer, m_upload.constData() + m_uploadPos, size_t(n));
    m_uploadPos += n;
    return size_t(n);
}

void SmtpClient::noteServerData(const char *data, size_t size)
{
    m_partialReply.append(data, qsizetype(size));
    qsizetype end;
    while ((end = m_partialReply.indexOf('\n')) >= 0) {
        const QByteArray line = m_partialReply.left(end).trimmed();
        m_partialReply.remove(0, end + 1);
        // Only refusals (4xx, 5xx) explain a failure; the QUIT that libcurl sends after one
        // would otherwise overwrite it.
        if (line.startsWith('4') || line.startsWith('5'))
            m_lastErrorReply = line;
    }
}

void SmtpClient::disconnect()
{
    m_connected = false;
    if (m_curl) {
        // Sends QUIT over a session that is still open.
        curl_easy_cleanup(curlOf(m_curl));
        m_curl = nullptr;
    }
}

} // namespace platform
