// The program's entry as a process: exit codes and what it shows, on fresh demo databases.
#include "app/Fr_FormLogo.h"
#include "data/ErrorHandler.h"
#include "platform/sql/Database.h"
#include "platform/ui/MessageBoxDialogService.h"
#include "support/DemoDatabases.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QTimer>

using namespace platform;

class TestStartup : public QObject
{
    Q_OBJECT
    DemoDatabases *m_dbs = nullptr;

    struct Run {
        int exitCode = -1;
        QStringList dialogs;
        QByteArray output;
    };

    // Runs the program in the demo folder; message boxes and error dialogs go to its dialog log.
    Run launch(const QStringList &args, const QByteArray &serverDat = QByteArray(),
               const QProcessEnvironment &extra = QProcessEnvironment())
    {
        m_dbs->writeServerDat(serverDat);
        const QString log = m_dbs->dir() + "/dialogs.log";
        QFile::remove(log);
        QProcess p;
        p.setWorkingDirectory(m_dbs->dir());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TARVO_DIALOG_LOG", log);
        env.insert(extra);
        p.setProcessEnvironment(env);
        p.start(qEnvironmentVariable("TARVO_BINARY_DIR") + "/bin/tarvo-consignment", args);
        Run run;
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            return run;
        }
        run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
        run.output = p.readAllStandardOutput();
        QFile f(log);
        if (f.open(QIODevice::ReadOnly))
            run.dialogs = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
        return run;
    }

    int logRows() { return m_dbs->scalar(m_dbs->config(), "Select Count(*) From ErrorLog").toInt(); }
    QString lastLogMessage()
    {
        return m_dbs->scalar(m_dbs->config(), "Select ErrorMsg From ErrorLog Order By Id Desc Limit 1").toString();
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
        QTest::newRow("four parameters") << QStringList{"1", "1", "DEMO", "-"} << 1
                                         << QStringList{"error dialog: \\r'' IS NOT A VALID INTEGER VALUE\\r"};
        QTest::newRow("menu not a number") << QStringList{"menu", "1", "DEMO", "-", "1"} << 1
                                           << QStringList{"error dialog: \\r'MENU' IS NOT A VALID INTEGER VALUE\\r"};
        QTest::newRow("unknown company, lower case")
            << QStringList{"1", "1", "nowhere", "-", "1"} << 1 << QStringList{"message: Not Found Database : NOWHERE"};
        QTest::newRow("company with a leading blank")
            << QStringList{"1", "1", " demo", "-", "3"} << 1 << QStringList{"message: Not Found Database :  DEMO"};
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
            m_dbs->config().execute(
                QString("update UserMenuRight set Access_R = '%1' where UserId = 1 and MenuId = 1").arg(flag));
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
        QVERIFY(log.readAll().startsWith("error dialog: "));

        // A company database that is registered but whose file is missing: shown, and logged
        // on the configuration database that could be reached.
        const int logged = logRows();
        m_dbs->config().execute("insert into DatabaseList values ('GONE', 1, 'x', 2026)");
        const Run run = launch({"1", "1", "GONE", "-", "3"});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.dialogs.size(), 1);
        QVERIFY2(run.dialogs.first().startsWith("error dialog: ") && run.dialogs.first().contains("GONE"),
                 qPrintable(run.dialogs.first()));
        QCOMPARE(logRows(), logged + 1);
        QVERIFY(lastLogMessage().contains("GONE"));
    }

    // Without a display the program says so on the standard error and ends with 1, before Qt
    // could abort; without parameters it still ends silently with 0.
    void noDesktopSessionIsSaid()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(name);
        for (const QStringList &args : {QStringList{"1", "1", "DEMO", "-", "1"}, QStringList()}) {
            QProcess p;
            p.setWorkingDirectory(m_dbs->dir());
            p.setProcessEnvironment(env);
            p.start(qEnvironmentVariable("TARVO_BINARY_DIR") + "/bin/tarvo-consignment", args);
            QVERIFY(p.waitForFinished(30000));
            QCOMPARE(p.exitStatus(), QProcess::NormalExit);
            const QString said = QString::fromLocal8Bit(p.readAllStandardError());
            if (args.isEmpty()) {
                QCOMPARE(p.exitCode(), 0);
                QCOMPARE(said, QString());
            } else {
                QCOMPARE(p.exitCode(), 1);
                QVERIFY2(said.contains("ไม่พบหน้าจอ") && said.contains("needs a desktop session"), qPrintable(said));
            }
        }
    }

    // Qt's own options given as parameter 4 are a parameter like any other: the program starts
    // and opens its screen (Qt would otherwise take them, with the parameter after them).
    void qtOptionsAsParameterFour_data()
    {
        QTest::addColumn<QString>("option");
        for (const char *option : {"-reverse", "-style", "-platform", "-session", "-qwindowtitle"})
            QTest::newRow(option) << QString(option);
    }
    void qtOptionsAsParameterFour()
    {
        QFETCH(QString, option);
        QProcessEnvironment exitOnShow;
        exitOnShow.insert("TARVO_EXIT_ON_SHOW", "1");
        const Run run = launch({"1", "1", "DEMO", option, "1"}, QByteArray(), exitOnShow);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.output, QByteArray("shown\n"));
        QCOMPARE(run.dialogs, QStringList());
    }

    // An error while the first screen is created and shown goes through the error handling:
    // logged, explained, shown in the error dialog; the screen opens afterwards. When the program
    // has ended, the configuration database's file alone holds the log row.
    void anErrorWhileTheScreenFirstShowsIsHandled()
    {
        const int logged = logRows();
        m_dbs->company().execute("alter table ProductUnits rename to ProductUnitsAway");
        QProcessEnvironment exitOnShow;
        exitOnShow.insert("TARVO_EXIT_ON_SHOW", "1");
        const Run run = launch({"1", "1", "DEMO", "-", "1"}, QByteArray(), exitOnShow);
        m_dbs->company().execute("alter table ProductUnitsAway rename to ProductUnits");
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.output, QByteArray("shown\n"));
        QCOMPARE(logRows(), logged + 1);
        const QString raw = lastLogMessage();
        QVERIFY2(raw.contains("no such table"), qPrintable(raw));
        QString shown = ErrorHandler::composeErrorText(raw);
        shown.replace("\r", "\\r");
        QCOMPARE(run.dialogs, QStringList{"error dialog: " + shown});

        QCOMPARE(DemoDatabases::scalarInCopyOf(m_dbs->dir() + "/QLM_CONFIG.sqlite",
                                               "Select ErrorMsg From ErrorLog Order By Id Desc Limit 1")
                     .toString(),
                 raw);
    }

    // A message box while the splash is up (an unknown company database, say) is not hidden
    // under the splash, which stays on top: the splash steps aside until the box has closed.
    void theSplashStepsAsideForAMessage()
    {
        TFormLogo logo;
        logo.showAndPaint();
        MessageBoxDialogService boxes;
        bool boxShown = false;
        bool splashShownMeanwhile = true;
        QTimer poll;
        poll.setInterval(5);
        connect(&poll, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            poll.stop();
            boxShown = true;
            splashShownMeanwhile = logo.isVisible();
            QTest::keyClick(box, Qt::Key_Return);
        });
        poll.start();
        boxes.showMessage("Not Found Database : NOPE");
        QVERIFY(boxShown);
        QVERIFY(!splashShownMeanwhile);
        QVERIFY(logo.isVisible());
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
