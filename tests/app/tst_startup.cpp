// The program's entry as a process: exit codes and what it shows, on fresh demo databases.
#include "app/Fr_FormLogo.h"
#include "platform/sql/Database.h"
#include "support/DemoDatabases.h"

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTest>

class TestStartup : public QObject
{
    Q_OBJECT
    DemoDatabases *m_dbs = nullptr;

    struct Run {
        int exitCode = -1;
        QStringList dialogs;
    };

    Run launch(const QStringList &args, const QByteArray &serverDat = QByteArray())
    {
        QFile server(m_dbs->dir() + "/Server.Dat");
        if (server.open(QIODevice::WriteOnly | QIODevice::Truncate))
            server.write(serverDat.isNull() ? m_dbs->server().toUtf8() + "\n" : serverDat);
        server.close();
        const QString log = m_dbs->dir() + "/dialogs.log";
        QFile::remove(log);
        QProcess p;
        p.setWorkingDirectory(m_dbs->dir());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TARVO_DIALOG_LOG", log);
        p.setProcessEnvironment(env);
        p.start(qEnvironmentVariable("TARVO_BINARY_DIR") + "/bin/tarvo-consignment", args);
        Run run;
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            return run;
        }
        run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
        QFile f(log);
        if (f.open(QIODevice::ReadOnly))
            run.dialogs = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
        return run;
    }

private Q_SLOTS:
    void initTestCase() { m_dbs = new DemoDatabases; }
    void cleanupTestCase() { delete m_dbs; }

    void outcomes_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("dialogs");
        QTest::newRow("no parameters") << QStringList() << 0 << QStringList();
        QTest::newRow("selector 3") << QStringList{"1", "1", "DEMO", "-", "3"} << 0 << QStringList();
        QTest::newRow("no access") << QStringList{"1", "3", "DEMO", "anything", "1"} << 0 << QStringList();
        QTest::newRow("unknown user") << QStringList{"1", "99", "DEMO", "-", "1"} << 0 << QStringList();
        QTest::newRow("four parameters")
            << QStringList{"1", "1", "DEMO", "-"} << 1 << QStringList{"message: '' is not a valid integer value"};
        QTest::newRow("menu not a number")
            << QStringList{"menu", "1", "DEMO", "-", "1"} << 1 << QStringList{"message: 'menu' is not a valid integer value"};
        QTest::newRow("unknown company, lower case")
            << QStringList{"1", "1", "nowhere", "-", "1"} << 0 << QStringList{"message: Not Found Database : NOWHERE"};
        QTest::newRow("company with a leading blank")
            << QStringList{"1", "1", " demo", "-", "3"} << 0 << QStringList{"message: Not Found Database :  DEMO"};
        QTest::newRow("company in lower case") << QStringList{"1", "1", "demo", "-", "3"} << 0 << QStringList();
    }
    void outcomes()
    {
        QFETCH(QStringList, args);
        const Run run = launch(args);
        QTEST(run.exitCode, "exitCode");
        QTEST(run.dialogs, "dialogs");
    }

    void accessFlagMustBeExactlyY()
    {
        for (const char *flag : {"y", "Y "}) {
            m_dbs->config().execute(QString("update UserMenuRight set Access_R = '%1' where UserId = 1 and MenuId = 1").arg(flag));
            const Run run = launch({"1", "1", "DEMO", "-", "1"});
            QCOMPARE(run.exitCode, 0);
            QVERIFY(run.dialogs.isEmpty());
        }
        m_dbs->config().execute("update UserMenuRight set Access_R = 'Y' where UserId = 1 and MenuId = 1");
    }

    void serverProblemsAreShownAndEndTheProgram()
    {
        // No Server.Dat names the embedded files: the server "QLM" cannot be reached.
        QFile::remove(m_dbs->dir() + "/Server.Dat");
        QProcess p;
        p.setWorkingDirectory(m_dbs->dir());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TARVO_DIALOG_LOG", m_dbs->dir() + "/dialogs.log");
        env.insert("ODBCSYSINI", m_dbs->dir()); // no driver configured: fails at once
        p.setProcessEnvironment(env);
        QFile::remove(m_dbs->dir() + "/dialogs.log");
        p.start(qEnvironmentVariable("TARVO_BINARY_DIR") + "/bin/tarvo-consignment", {"1", "1", "DEMO", "-", "3"});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);
        QFile log(m_dbs->dir() + "/dialogs.log");
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().startsWith("message: "));

        // A company database that is registered but whose file is missing.
        m_dbs->config().execute("insert into DatabaseList values ('GONE', 1, 'x', 2026)");
        const Run run = launch({"1", "1", "GONE", "-", "3"});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.dialogs.size(), 1);
        QVERIFY2(run.dialogs.first().contains("GONE"), qPrintable(run.dialogs.first()));
    }

    void splashLooksAsItShould()
    {
        TFormLogo logo;
        QCOMPARE(logo.size(), QSize(301, 166));
        QVERIFY(logo.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(logo.palette().color(QPalette::Window), QColor(0, 0, 255));
        QCOMPARE(logo.cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(logo.Image1->geometry(), logo.rect());
        QVERIFY(logo.Image1->hasScaledContents());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
