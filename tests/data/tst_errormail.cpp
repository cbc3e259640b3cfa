// The error report mail of the configuration data module when it cannot or must not send: against
// the Python SMTP sink on loopback (refusals), a closed port and a bare listening socket that never
// answers. Settings come from "QLM.INI" in the current directory. A delivered report is checked
// in full through the error dialog (tests/forms/tst_showerror).
#include "data/Dm_Config.h"

#include "platform/mail/SmtpSink.h"

#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

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
    void useSink(const QByteArray &recipient = "support@maker.example")
    {
        writeIni("[ErrorMail]\r\nHost=127.0.0.1\r\nPort=" + QByteArray::number(m_sink->port()) +
                 "\r\nSender=errors@maker.example\r\nRecipient=" + recipient + "\r\nUserId=reports@maker.example\r\n");
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_oldDir = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        TARVO_SKIP_UNDER_WINE("SMTP sink (Python)");
        m_sink = new SmtpSink({"--reject", "nobody@maker.example"});
        const QString error = m_sink->start();
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }
    void cleanupTestCase()
    {
        delete m_sink;
        QDir::setCurrent(m_oldDir);
    }

    void noHostSendsNothing()
    {
        TDMConfig cfg;
        const int before = m_sink->messageCount();
        QFile::remove("QLM.INI");
        cfg.SendErrorMail("Error DEMO Stock Count", "body");
        writeIni("[ERRORMAIL]\r\nHost=\r\nPort=" + QByteArray::number(m_sink->port()) +
                 "\r\nRecipient=support@maker.example\r\n");
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

        writeIni("[ERRORMAIL]\r\nHost=127.0.0.1\r\nPort=" + QByteArray::number(SmtpSink::closedPort()) +
                 "\r\nRecipient=support@maker.example\r\n");
        cfg.SendErrorMail("Error DEMO Stock Count", "connection refused");
        QVERIFY(!cfg.NMSMTP1->connected());

        QCOMPARE(m_sink->messageCount(), before);
        useSink();
        cfg.SendErrorMail("Error DEMO Stock Count", "after the failures");
        QCOMPARE(m_sink->messageCount(), before + 1);
        QCOMPARE(m_sink->info(before + 1)["body"].toString(), QString("after the failures"));
    }

    // Configured time-outs far too long for a program that waits on its user-interface thread
    // give way to the mail's own limits; a host that accepts the connection but never greets is
    // given up.
    void silentHostIsGivenUp()
    {
        TDMConfig cfg;
        writeIni("[ERRORMAIL]\r\nHost=127.0.0.1\r\nPort=" + QByteArray::number(m_sink->port()) +
                 "\r\nRecipient=support@maker.example\r\nConnectTimeoutMs=600000\r\nTimeoutMs=600000\r\n");
        cfg.SendErrorMail("Error DEMO Stock Count", "long time-outs");
        QVERIFY(cfg.NMSMTP1->connectTimeoutMs() <= 5000);
        QVERIFY(cfg.NMSMTP1->timeoutMs() <= 10000);

        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        writeIni("[ERRORMAIL]\r\nHost=127.0.0.1\r\nPort=" + QByteArray::number(silent.serverPort()) +
                 "\r\nRecipient=support@maker.example\r\nConnectTimeoutMs=500\r\n");
        cfg.SendErrorMail("Error DEMO Stock Count", "silent");
        QVERIFY(!cfg.NMSMTP1->connected());
    }
};

QTEST_GUILESS_MAIN(TestErrorMail)
#include "tst_errormail.moc"
