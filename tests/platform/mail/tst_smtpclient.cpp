// SmtpClient against real SMTP servers on loopback: the Python sink for deliveries, refusals,
// logins and stalls, and a bare listening socket for a host that never says anything.

#include "platform/mail/EMailError.h"
#include "platform/mail/SmtpClient.h"

#include "SmtpSink.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

using namespace platform;

namespace {

const QString reportSubject = QStringLiteral("Error DEMO Stock Count");
const QString thaiError = QStringLiteral("ไม่สามารถบันทึกข้อมูลได้ เนื่องจากรหัสสินค้าซ้ำ\r"
                                         "กรุณาตรวจสอบรายการฝากขายอีกครั้ง ก่อนกดบันทึก\r"
                                         "ยอดคงเหลือ ๑,๒๕๐.๕๐ บาท (฿) – ฯลฯ ๆ ่ ้ ๊ ๋ ็ ์ ํ ฤๅ ฦๅ");

QStringList lines(const QString &text)
{
    return text.split(QStringLiteral("\r\n"));
}

QStringList toStrings(const QJsonValue &value)
{
    QStringList out;
    for (const QJsonValue &v : value.toArray())
        out << v.toString();
    return out;
}

// Every CR is followed by LF and every LF preceded by CR.
bool onlyCrlf(const QByteArray &bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))
            return false;
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            return false;
    }
    return true;
}

bool onlyCrlf(const QString &text)
{
    return onlyCrlf(text.toUtf8());
}

} // namespace

class TestSmtpClient : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void sendsThaiReport();
    void sessionLifecycle();
    void encodesLongThaiSubjectAndNames();
    void sendsAttachments();
    void refusedRecipientRaises();
    void logsIn();
    void startTlsWheneverOffered();
    void noLoginInTheClear();
    void requiredStartTlsIsNotSkipped();
    void unreachableHostRaises();
    void silentHostTimesOut();
    void hostStallingMidMessageTimesOut();
    void hostStallingOnQuitDoesNotHang();

private:
    void useSink(SmtpClient &client, const SmtpSink &sink) const;

    SmtpSink *m_sink = nullptr;
};

void TestSmtpClient::initTestCase()
{
    TARVO_SKIP_UNDER_WINE("SMTP sink (Python)");
    m_sink = new SmtpSink({QStringLiteral("--auth"), QStringLiteral("reporter:s3cret,ผ่าน"), QStringLiteral("--reject"),
                           QStringLiteral("nobody@maker.example")});
    const QString error = m_sink->start();
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void TestSmtpClient::cleanupTestCase()
{
    delete m_sink;
    m_sink = nullptr;
}

void TestSmtpClient::useSink(SmtpClient &client, const SmtpSink &sink) const
{
    client.setHost(QStringLiteral("127.0.0.1"));
    client.setPort(sink.port());
    client.setUserId(QStringLiteral("errors@maker.example"));
}

void TestSmtpClient::sendsThaiReport()
{
    const int before = m_sink->messageCount();
    SmtpClient client;
    useSink(client, *m_sink);
    client.connect();
    QVERIFY(client.connected());

    // The report body as the error dialog composes it: parts separated by lone carriage returns.
    MailMessage &message = client.message();
    message.sender = QStringLiteral("Error Reporter <errors@maker.example>");
    message.recipients = {QStringLiteral("support@maker.example")};
    message.carbonCopies = {QStringLiteral("qa@maker.example")};
    message.blindCopies = {QStringLiteral("audit@maker.example")};
    message.subject = reportSubject;
    message.bodyLines = {QStringLiteral("[User = ANNA] \rLocal IP = 10.0.0.5\r") + thaiError,
                         QStringLiteral("บรรทัดถัดไป\nline LF"), QStringLiteral("."), QStringLiteral(".."),
                         QStringLiteral(".hidden")};
    client.SendMail();
    QVERIFY(client.connected());
    // ClearParams is on by default: the message is emptied once sent.
    QVERIFY(client.message().subject.isEmpty());
    QVERIFY(client.message().recipients.isEmpty());
    client.disconnect();
    QVERIFY(!client.connected());

    QCOMPARE(m_sink->messageCount(), before + 1);
    const QJsonObject info = m_sink->info(before + 1);
    QCOMPARE(info["mail_from"].toString(), QStringLiteral("errors@maker.example"));
    QCOMPARE(toStrings(info["rcpt_tos"]),
             QStringList({QStringLiteral("support@maker.example"), QStringLiteral("qa@maker.example"),
                          QStringLiteral("audit@maker.example")}));
    QCOMPARE(info["helo"].toString(), QStringLiteral("maker.example"));
    QVERIFY(info["login"].isNull());
    QCOMPARE(info["subject"].toString(), reportSubject);

    const QJsonObject headers = info["headers"].toObject();
    QCOMPARE(headers["From"].toString(), QStringLiteral("Error Reporter <errors@maker.example>"));
    QCOMPARE(headers["To"].toString(), QStringLiteral("support@maker.example"));
    QCOMPARE(headers["Cc"].toString(), QStringLiteral("qa@maker.example"));
    QCOMPARE(headers["MIME-Version"].toString(), QStringLiteral("1.0"));
    QCOMPARE(headers["Content-Transfer-Encoding"].toString(), QStringLiteral("base64"));
    QCOMPARE(info["body_charset"].toString(), QStringLiteral("utf-8"));
    QVERIFY(!toStrings(info["header_names"]).contains(QStringLiteral("Bcc"), Qt::CaseInsensitive));
    QVERIFY(QDateTime::fromString(headers["Date"].toString(), Qt::RFC2822Date).isValid());
    QVERIFY(
        QRegularExpression(QStringLiteral("^<[^<>@\\s]+@maker\\.example>$")).match(headers["Message-ID"].toString()).hasMatch());
    QVERIFY2(info["defects"].toArray().isEmpty(), qPrintable(QJsonDocument(info["defects"].toArray()).toJson()));

    const QString body = info["body"].toString();
    QVERIFY(onlyCrlf(body));
    QStringList expected = {QStringLiteral("[User = ANNA] "), QStringLiteral("Local IP = 10.0.0.5")};
    expected += thaiError.split(u'\r');
    expected += {QStringLiteral("บรรทัดถัดไป"), QStringLiteral("line LF"), QStringLiteral("."), QStringLiteral(".."),
                 QStringLiteral(".hidden")};
    QCOMPARE(lines(body), expected);

    // On the wire: CRLF only, lines within 76 characters, all ASCII.
    const QByteArray raw = m_sink->raw(before + 1);
    QVERIFY(onlyCrlf(raw));
    for (const QByteArray &line : raw.split('\n')) {
        QVERIFY2(line.size() <= 77, line.constData());
        for (char c : line)
            QVERIFY(uchar(c) < 0x80);
    }
}

void TestSmtpClient::sessionLifecycle()
{
    const int before = m_sink->messageCount();
    SmtpClient client;
    QVERIFY(!client.connected());
    QVERIFY_THROWS_EXCEPTION(EMailError, client.SendMail());
    QVERIFY_THROWS_EXCEPTION(EMailError, client.connect()); // no host yet
    QVERIFY(!client.connected());

    useSink(client, *m_sink);
    client.connect();
    QVERIFY(client.connected());
    // Pointing the client elsewhere ends the session it had.
    client.setPort(quint16(m_sink->port() + 1));
    QVERIFY(!client.connected());
    client.setPort(m_sink->port());

    // Two messages over one session; with ClearParams off the second reuses the fields.
    client.setClearParams(false);
    client.connect();
    client.message().sender = QStringLiteral("errors@maker.example");
    client.message().recipients = {QStringLiteral("support@maker.example")};
    client.message().subject = QStringLiteral("first");
    client.SendMail();
    client.message().subject = QStringLiteral("second");
    client.SendMail();
    QCOMPARE(client.message().recipients, QStringList{QStringLiteral("support@maker.example")});

    // A message without recipients, or naming a missing attachment, is refused before anything
    // is sent and the session stays usable.
    client.message().recipients.clear();
    QVERIFY_THROWS_EXCEPTION(EMailError, client.SendMail());
    client.message().recipients = {QStringLiteral("support@maker.example")};
    client.message().attachments = {QStringLiteral("/nonexistent/report.txt")};
    QVERIFY_THROWS_EXCEPTION(EMailError, client.SendMail());
    QVERIFY(client.connected());
    client.message().attachments.clear();
    client.message().subject = QStringLiteral("third");
    client.SendMail();
    client.disconnect();

    QCOMPARE(m_sink->messageCount(), before + 3);
    QCOMPARE(m_sink->info(before + 1)["subject"].toString(), QStringLiteral("first"));
    QCOMPARE(m_sink->info(before + 2)["subject"].toString(), QStringLiteral("second"));
    QCOMPARE(m_sink->info(before + 3)["subject"].toString(), QStringLiteral("third"));
}

void TestSmtpClient::encodesLongThaiSubjectAndNames()
{
    const int before = m_sink->messageCount();
    const QString subject = QStringLiteral("Error DEMO ") + QStringLiteral("รายงานยอดคงเหลือสินค้าฝากขายประจำเดือน").repeated(4) +
        QStringLiteral(" 🙂 end");
    SmtpClient client;
    useSink(client, *m_sink);
    client.connect();
    MailMessage &message = client.message();
    message.sender = QStringLiteral("ระบบแจ้งข้อผิดพลาด <errors@maker.example>");
    message.recipients = {QStringLiteral("ฝ่ายสนับสนุนลูกค้า \"ภาคกลาง\" <support@maker.example>"),
                          QStringLiteral("\"Desk, Second\" <desk2@maker.example>")};
    message.subject = subject;
    message.bodyLines = {QStringLiteral("ok")};
    client.SendMail();
    client.disconnect();

    QCOMPARE(m_sink->messageCount(), before + 1);
    const QJsonObject info = m_sink->info(before + 1);
    QCOMPARE(info["subject"].toString(), subject);
    const QJsonObject headers = info["decoded_headers"].toObject();
    QCOMPARE(headers["From"].toString(), QStringLiteral("ระบบแจ้งข้อผิดพลาด <errors@maker.example>"));
    QCOMPARE(headers["To"].toString(),
             QStringLiteral("ฝ่ายสนับสนุนลูกค้า \"ภาคกลาง\" <support@maker.example>, "
                            "\"Desk, Second\" <desk2@maker.example>"));
    QCOMPARE(toStrings(info["rcpt_tos"]),
             QStringList({QStringLiteral("support@maker.example"), QStringLiteral("desk2@maker.example")}));

    // The raw Subject header: several encoded-words, each at most 75 characters, on lines of
    // at most 76.
    const QByteArray raw = m_sink->raw(before + 1);
    const qsizetype start = raw.indexOf("\r\nSubject: ") + 2;
    qsizetype end = start;
    do
        end = raw.indexOf("\r\n", end + 2);
    while (raw.at(end + 2) == ' ');
    const QList<QByteArray> headerLines = raw.mid(start, end - start).split('\n');
    QVERIFY(headerLines.size() > 3);
    static const QRegularExpression word(QStringLiteral("=\\?UTF-8\\?B\\?[A-Za-z0-9+/=]+\\?="));
    for (const QByteArray &line : headerLines) {
        QVERIFY2(line.trimmed().size() <= 76, line.constData());
        auto it = word.globalMatch(QString::fromLatin1(line));
        QVERIFY(it.hasNext());
        while (it.hasNext())
            QVERIFY(it.next().capturedLength() <= 75);
    }
}

void TestSmtpClient::sendsAttachments()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString thaiName = QStringLiteral("รายงานข้อผิดพลาด ประจำวัน.log");
    QByteArray binary;
    for (int i = 0; i < 3000; ++i)
        binary.append(char(i % 256));
    {
        QFile a(dir.filePath(thaiName));
        QVERIFY(a.open(QIODevice::WriteOnly));
        a.write(QStringLiteral("บรรทัดแรก\r\n.\r\nบรรทัดสุดท้าย\n").toUtf8());
        QFile b(dir.filePath(QStringLiteral("dump.bin")));
        QVERIFY(b.open(QIODevice::WriteOnly));
        b.write(binary);
    }

    const int before = m_sink->messageCount();
    SmtpClient client;
    useSink(client, *m_sink);
    client.connect();
    client.message().sender = QStringLiteral("errors@maker.example");
    client.message().recipients = {QStringLiteral("support@maker.example")};
    client.message().subject = reportSubject;
    client.message().bodyLines = {QStringLiteral("ดูไฟล์แนบ"), QStringLiteral("see attached")};
    client.message().attachments = {dir.filePath(thaiName), dir.filePath(QStringLiteral("dump.bin"))};
    client.SendMail();
    client.disconnect();

    const QJsonObject info = m_sink->info(before + 1);
    QCOMPARE(info["body"].toString(), QStringLiteral("ดูไฟล์แนบ\r\nsee attached"));
    const QJsonArray attachments = info["attachments"].toArray();
    QCOMPARE(attachments.size(), 2);
    QCOMPARE(attachments[0]["filename"].toString(), thaiName);
    QCOMPARE(QByteArray::fromBase64(attachments[0]["data"].toString().toLatin1()),
             QStringLiteral("บรรทัดแรก\r\n.\r\nบรรทัดสุดท้าย\n").toUtf8());
    QCOMPARE(attachments[1]["filename"].toString(), QStringLiteral("dump.bin"));
    QCOMPARE(QByteArray::fromBase64(attachments[1]["data"].toString().toLatin1()), binary);
    QVERIFY(info["defects"].toArray().isEmpty());
    const QByteArray raw = m_sink->raw(before + 1);
    QVERIFY(onlyCrlf(raw));
    for (const QByteArray &line : raw.split('\n'))
        QVERIFY2(line.size() <= 77, line.constData());
}

void TestSmtpClient::refusedRecipientRaises()
{
    const int before = m_sink->messageCount();
    SmtpClient client;
    useSink(client, *m_sink);
    client.connect();
    client.message().sender = QStringLiteral("errors@maker.example");
    client.message().recipients = {QStringLiteral("support@maker.example"), QStringLiteral("nobody@maker.example")};
    client.message().subject = reportSubject;
    try {
        client.SendMail();
        QFAIL("a refused recipient must raise");
    } catch (const EMailError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("550")), qPrintable(e.message()));
        QVERIFY2(e.message().contains(QStringLiteral("No such user")), qPrintable(e.message()));
    }
    QVERIFY(!client.connected());
    // The message is kept for another try.
    QCOMPARE(client.message().subject, reportSubject);
    QCOMPARE(m_sink->messageCount(), before);
}

void TestSmtpClient::logsIn()
{
    const int before = m_sink->messageCount();
    SmtpClient client;
    useSink(client, *m_sink);
    // The sink offers no encryption: the login goes in the clear only because that is allowed.
    client.setAllowPlainLogin(true);
    client.setLogin(QStringLiteral("reporter"), QStringLiteral("wrong"));
    try {
        client.connect();
        QFAIL("a wrong password was accepted");
    } catch (const EMailError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("535")), qPrintable(e.message())); // refused, not timed out
    }
    QVERIFY(!client.connected());

    client.setLogin(QStringLiteral("reporter"), QStringLiteral("s3cret,ผ่าน"));
    client.connect();
    QVERIFY(client.connected());
    client.message().sender = QStringLiteral("errors@maker.example");
    client.message().recipients = {QStringLiteral("support@maker.example")};
    client.message().subject = reportSubject;
    client.SendMail();
    client.disconnect();
    QCOMPARE(m_sink->messageCount(), before + 1);
    QCOMPARE(m_sink->info(before + 1)["login"].toString(), QStringLiteral("reporter"));
}

void TestSmtpClient::startTlsWheneverOffered()
{
    SmtpSink sink(QStringList{QStringLiteral("--auth"), QStringLiteral("reporter:s3cret")} + SmtpSink::tlsOptions());
    const QString error = sink.start();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // Nothing asks for TLS: the client takes it because the server offers it, with or without
    // a login, and checks the server's certificate.
    for (const QString &user : {QStringLiteral("reporter"), QString()}) {
        SmtpClient client;
        useSink(client, sink);
        client.setCaFile(SmtpSink::certificate());
        client.setLogin(user, QStringLiteral("s3cret"));
        client.connect();
        client.message().sender = QStringLiteral("errors@maker.example");
        client.message().recipients = {QStringLiteral("support@maker.example")};
        client.message().subject = reportSubject;
        client.SendMail();
        client.disconnect();
    }
    QCOMPARE(sink.messageCount(), 2);
    QVERIFY(sink.info(1)["tls"].toBool());
    QCOMPARE(sink.info(1)["login"].toString(), QStringLiteral("reporter"));
    QVERIFY(sink.info(2)["tls"].toBool());
    QCOMPARE(sink.authLog(), QStringList{QStringLiteral("tls")});

    // A certificate the client cannot check ends the session rather than going on unchecked.
    SmtpClient unchecked;
    useSink(unchecked, sink);
    QVERIFY_THROWS_EXCEPTION(EMailError, unchecked.connect());
    QCOMPARE(sink.messageCount(), 2);
}

void TestSmtpClient::noLoginInTheClear()
{
    // The sink takes logins but offers no STARTTLS: the client stops before AUTH.
    const int logins = int(m_sink->authLog().size());
    const int before = m_sink->messageCount();
    SmtpClient client;
    useSink(client, *m_sink);
    client.setLogin(QStringLiteral("reporter"), QStringLiteral("s3cret,ผ่าน"));
    try {
        client.connect();
        QFAIL("connected although the login would have gone in the clear");
    } catch (const EMailError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("not sent over an unencrypted connection")), qPrintable(e.message()));
    }
    QVERIFY(!client.connected());
    QCOMPARE(m_sink->authLog().size(), logins);
    QCOMPARE(m_sink->messageCount(), before);
}

void TestSmtpClient::requiredStartTlsIsNotSkipped()
{
    // The sink offers no STARTTLS: asking for it must fail rather than carry on in the clear.
    SmtpClient client;
    useSink(client, *m_sink);
    client.setTlsMode(SmtpClient::TlsMode::StartTls);
    client.setLogin(QStringLiteral("reporter"), QStringLiteral("s3cret,ผ่าน"));
    QVERIFY_THROWS_EXCEPTION(EMailError, client.connect());
    QVERIFY(!client.connected());
}

void TestSmtpClient::unreachableHostRaises()
{
    const quint16 port = SmtpSink::closedPort();
    QVERIFY(port != 0);
    SmtpClient client;
    client.setHost(QStringLiteral("127.0.0.1"));
    client.setPort(port);
    try {
        client.connect();
        QFAIL("connecting to a closed port must raise");
    } catch (const EMailError &e) {
        QVERIFY2(e.message().contains(QString::number(port)), qPrintable(e.message()));
    }
    QVERIFY(!client.connected());
}

void TestSmtpClient::silentHostTimesOut()
{
    // Accepts the connection (the kernel does, from the listen queue) and never says a word.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    SmtpClient client;
    client.setHost(QStringLiteral("127.0.0.1"));
    client.setPort(silent.serverPort());
    client.setConnectTimeoutMs(1500);
    client.setTimeoutMs(1500);
    try {
        client.connect();
        QFAIL("a silent host must raise");
    } catch (const EMailError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("timed out"), Qt::CaseInsensitive) ||
                     e.message().contains(QStringLiteral("timeout"), Qt::CaseInsensitive),
                 qPrintable(e.message()));
    }
    QVERIFY(!client.connected());
}

void TestSmtpClient::hostStallingMidMessageTimesOut()
{
    SmtpSink stalling({QStringLiteral("--stall-on"), QStringLiteral("MAIL")});
    const QString error = stalling.start();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    SmtpClient client;
    useSink(client, stalling);
    client.setConnectTimeoutMs(1500);
    client.setTimeoutMs(1500);
    client.connect();
    QVERIFY(client.connected());
    client.message().sender = QStringLiteral("errors@maker.example");
    client.message().recipients = {QStringLiteral("support@maker.example")};
    QVERIFY_THROWS_EXCEPTION(EMailError, client.SendMail());
    QVERIFY(!client.connected());
    QCOMPARE(stalling.messageCount(), 0);
}

void TestSmtpClient::hostStallingOnQuitDoesNotHang()
{
    // The mail is delivered; the server then never answers QUIT. Ending the session must give
    // up after the reply time-out instead of libcurl's own two minutes.
    SmtpSink stalling({QStringLiteral("--stall-on"), QStringLiteral("QUIT")});
    const QString error = stalling.start();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    SmtpClient client;
    useSink(client, stalling);
    client.setConnectTimeoutMs(1000);
    client.setTimeoutMs(1500);
    client.connect();
    client.message().sender = QStringLiteral("errors@maker.example");
    client.message().recipients = {QStringLiteral("support@maker.example")};
    client.SendMail();
    client.disconnect();
    QVERIFY(!client.connected());
    QCOMPARE(stalling.messageCount(), 1);
}

QTEST_GUILESS_MAIN(TestSmtpClient)
#include "tst_smtpclient.moc"
