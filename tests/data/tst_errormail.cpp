// The error report mail of the configuration data module against SMTP servers on loopback: the
// Python sink for deliveries, refusals and stalls, and a bare listening socket for a host that
// never answers. Settings come from "QLM.INI" in the current directory.
#include "data/Dm_Config.h"

#include "platform/mail/SmtpSink.h"

#include <QJsonArray>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString cr = QStringLiteral("\r");

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

quint16 closedPort()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost))
        return 0;
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

} // namespace

class TestErrorMail : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_oldDir;
    SmtpSink *m_sink = nullptr;

    static void writeIni(const QByteArray &section)
    {
        QFile ini("QLM.INI");
        QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write("[SEARCHBARCODE]\r\nTop=10\r\n\r\n" + section);
    }
    void useSink(const QByteArray &recipient = "support@maker.example", const QByteArray &extra = "")
    {
        writeIni("[ErrorMail]\r\nHost=127.0.0.1\r\nPort=" + QByteArray::number(m_sink->port())
                 + "\r\nSender=errors@maker.example\r\nRecipient=" + recipient
                 + "\r\nUserId=reports@maker.example\r\n" + extra);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_oldDir = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        m_sink = new SmtpSink({"--reject", "nobody@maker.example"});
        const QString error = m_sink->start();
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }
    void cleanupTestCase()
    {
        delete m_sink;
        QDir::setCurrent(m_oldDir);
    }

    void sendsReport()
    {
        useSink();
        TDMConfig cfg;
        const QString errorText = "ข้อมูลที่เพิ่มซ้ำกับข้อมูลที่มีอยู่แล้ว" + cr + "CANNOT INSERT DUPLICATE KEY" + cr;
        const QString body = "[User = ANNA] " + cr + "Local IP = 10.0.0.5" + cr + errorText;
        const int before = m_sink->messageCount();
        cfg.SendErrorMail("Error DEMO Stock Count", body);
        QCOMPARE(m_sink->messageCount(), before + 1);
        QVERIFY(!cfg.NMSMTP1->connected());

        const QJsonObject info = m_sink->info(before + 1);
        QCOMPARE(info["mail_from"].toString(), QString("errors@maker.example"));
        QCOMPARE(toStrings(info["rcpt_tos"]), QStringList{"support@maker.example"});
        QCOMPARE(info["helo"].toString(), QString("maker.example"));
        QCOMPARE(info["subject"].toString(), QString("Error DEMO Stock Count"));
        QCOMPARE(info["body_charset"].toString(), QString("utf-8"));
        QCOMPARE(info["body"].toString().split("\r\n"),
                 QStringList({"[User = ANNA] ", "Local IP = 10.0.0.5", "ข้อมูลที่เพิ่มซ้ำกับข้อมูลที่มีอยู่แล้ว",
                              "CANNOT INSERT DUPLICATE KEY", ""}));
        QVERIFY(onlyCrlf(m_sink->raw(before + 1)));

        // The same component sends the next report too.
        cfg.SendErrorMail("Error DEMO Stock Count", "second");
        QCOMPARE(m_sink->messageCount(), before + 2);
        QCOMPARE(m_sink->info(before + 2)["body"].toString(), QString("second"));
    }

    void noHostSendsNothing()
    {
        TDMConfig cfg;
        const int before = m_sink->messageCount();
        QFile::remove("QLM.INI");
        cfg.SendErrorMail("Error DEMO Stock Count", "body");
        writeIni("[ERRORMAIL]\r\nHost=\r\nPort=" + QByteArray::number(m_sink->port())
                 + "\r\nRecipient=support@maker.example\r\n");
        cfg.SendErrorMail("Error DEMO Stock Count", "body");
        QCOMPARE(m_sink->messageCount(), before);
    }

    // Failures of every kind end quietly, and leave the component able to send the next report.
    void failuresAreSilent()
    {
        TDMConfig cfg;
        const int before = m_sink->messageCount();

        useSink("nobody@maker.example"); // the server refuses the recipient
        cfg.SendErrorMail("Error DEMO Stock Count", "refused");
        QVERIFY(!cfg.NMSMTP1->connected());

        writeIni("[ERRORMAIL]\r\nHost=127.0.0.1\r\nPort=" + QByteArray::number(closedPort())
                 + "\r\nRecipient=support@maker.example\r\n");
        cfg.SendErrorMail("Error DEMO Stock Count", "connection refused");
        QVERIFY(!cfg.NMSMTP1->connected());

        QCOMPARE(m_sink->messageCount(), before);
        useSink();
        cfg.SendErrorMail("Error DEMO Stock Count", "after the failures");
        QCOMPARE(m_sink->messageCount(), before + 1);
        QCOMPARE(m_sink->info(before + 1)["body"].toString(), QString("after the failures"));
    }

    // A host that accepts the connection but never greets: the configured time-outs are far too
    // long for a program that waits on its user-interface thread, so the mail's own limits apply.
    void silentHostIsGivenUp()
    {
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        writeIni("[ERRORMAIL]\r\nHost=127.0.0.1\r\nPort=" + QByteArray::number(silent.serverPort())
                 + "\r\nRecipient=support@maker.example\r\nConnectTimeoutMs=600000\r\nTimeoutMs=600000\r\n");
        TDMConfig cfg;
        cfg.SendErrorMail("Error DEMO Stock Count", "silent");
        QVERIFY(!cfg.NMSMTP1->connected());
    }

    void hostStallingMidMessageIsGivenUp()
    {
        SmtpSink stalling({"--stall-on", "MAIL"});
        const QString error = stalling.start();
        QVERIFY2(error.isEmpty(), qPrintable(error));
        writeIni("[ERRORMAIL]\r\nHost=127.0.0.1\r\nPort=" + QByteArray::number(stalling.port())
                 + "\r\nRecipient=support@maker.example\r\nConnectTimeoutMs=1000\r\nTimeoutMs=1000\r\n");
        TDMConfig cfg;
        cfg.SendErrorMail("Error DEMO Stock Count", "stalled");
        QVERIFY(!cfg.NMSMTP1->connected());
        QCOMPARE(stalling.messageCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestErrorMail)
#include "tst_errormail.moc"
