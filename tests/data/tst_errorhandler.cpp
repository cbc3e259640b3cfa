// The message table and the application-wide handler of the company data module, writing its
// error log to a fresh demo configuration database.
#include "data/Dm_Config.h"
#include "data/ErrorHandler.h"
#include "data/HostInfo.h"
#include "data/U_DM.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "support/ProgramOnDemo.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

using namespace platform;

namespace {

const QString cr = QStringLiteral("\r");

struct LogRow {
    QString compName;
    QString logName;
    int user = 0;
    int menu = 0;
    QVariant message;
};

} // namespace

class TestErrorHandler : public QObject
{
    Q_OBJECT
    std::unique_ptr<ProgramOnDemo> m_program;
    DemoDatabases *m_dbs = nullptr;
    TDMConfig *m_cfg = nullptr;
    TDM *m_dm = nullptr;
    QStringList m_shown;        // texts handed to the dialog
    QList<int> m_rowsWhenShown; // error-log rows present at that moment

    int logRows() { return m_dbs->scalar(m_dbs->config(), "select count(*) from ErrorLog").toInt(); }

    LogRow lastLogRow()
    {
        Query q(&m_dbs->config());
        q.setSql({"select CompName, LogName, Username, Menu, ErrorMsg from ErrorLog order by Id desc"});
        q.open();
        LogRow row;
        if (q.isEmpty())
            return row;
        row.compName = q.fieldByName("CompName").asString();
        row.logName = q.fieldByName("LogName").asString();
        row.user = q.fieldByName("Username").asInteger();
        row.menu = q.fieldByName("Menu").asInteger();
        row.message = q.fieldByName("ErrorMsg").value();
        return row;
    }

private Q_SLOTS:
    void initTestCase()
    {
        // Menu 2, user 1; the error dialog is this test's recorder.
        m_program = std::make_unique<ProgramOnDemo>(
            [this] {
                DM->showErrorDialog = [this](const QString &text) {
                    m_shown << text;
                    try {
                        m_rowsWhenShown << logRows();
                    } catch (const Exception &) {
                        m_rowsWhenShown << -1; // the log table is away
                    }
                };
            },
            ProgramLaunch{2, 1, 2});
        m_dbs = &m_program->dbs();
        m_cfg = DMConfig;
        m_dm = DM;
    }
    void cleanupTestCase() { m_program.reset(); }
    void init()
    {
        m_shown.clear();
        m_rowsWhenShown.clear();
    }

    void table()
    {
        const auto &rows = ErrorHandler::translationTable();
        // The suite's fourteen rows first, then those of today's engine and drivers and the
        // program's own refusal of a text.
        QCOMPARE(rows.size(), 26);
        QCOMPARE(rows[0].trigger, QString("is not a valid date"));
        QCOMPARE(rows[13].trigger, QString("Cannot insert duplicate"));
        QCOMPARE(rows[14].trigger, QString("database is locked"));
        // Each trigger finds its own row: no earlier trigger hides a later one.
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(ErrorHandler::translateError("xx " + rows[i].trigger + " yy"), rows[i].thai);
    }

    void translate_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("thai");
        QTest::newRow("first row wins: rows 3 and 9")
            << "[Microsoft][ODBC SQL Server Driver]Possible network error: Write to SQL Server failed. "
               "Cannot insert the value NULL into column 'Price', table 'DEMO.dbo.Invoice'"
            << "กำหนดราคาไม่ครบถ้วน";
        QTest::newRow("lower case trigger")
            << "cannot insert the value null into column 'warehouse', table 'x'; column does not allow nulls."
            << "ไม่ได้ป้อนข้อมูลคลัง";
        QTest::newRow("duplicate in a long message")
            << "[Microsoft][ODBC SQL Server Driver][SQL Server]Violation of PRIMARY KEY constraint "
               "'PK_TarvoConsignment'. Cannot insert duplicate key in object 'dbo.TarvoConsignment'. "
               "The duplicate key value is (17, 8850000000017). The statement has been terminated."
            << "ข้อมูลที่เพิ่มซ้ำกับข้อมูลที่มีอยู่แล้ว";
        QTest::newRow("date") << "'31/02/2024' is not a valid date"
                              << "ป้อนวันที่ไม่ถูกต้อง";
        QTest::newRow("delete refused") << "DELETE statement conflicted with COLUMN REFERENCE constraint 'FK_Invoice_Customer'"
                                        << "ข้อมูลที่ลบถูกอ้างโดยข้อมูลอื่น ไม่สามารถลบข้อมูลนี้ได้";
        // How the embedded engine, FreeTDS and Microsoft's driver word a lock, a lost or refused
        // connection and a time-out.
        const QString unreachable = "ระบบเครือข่าย หรือ คอมพิวเตอร์แม่ข่ายมีปัญหา ติดต่อเครื่องแม่ข่ายไม่ได้";
        const QString timedOut = "เครื่องแม่ข่ายตัดการติดต่อ เพราะเครื่องนี้อาจเรียกข้อมูลปริมาณมากเกินไป";
        QTest::newRow("embedded lock") << "database is locked"
                                       << "ข้อมูลกำลังถูกใช้งานโดยเครื่องอื่น รอสักครู่แล้วลองใหม่อีกครั้ง";
        QTest::newRow("FreeTDS no server")
            << "[FreeTDS][SQL Server]Unable to connect: Adaptive Server is unavailable or does not exist" << unreachable;
        QTest::newRow("FreeTDS connection lost")
            << "[FreeTDS][SQL Server]Write to the server failed [FreeTDS][SQL Server]Communication link failure" << unreachable;
        QTest::newRow("FreeTDS time-out") << "[FreeTDS][SQL Server]Adaptive Server connection timed out" << timedOut;
        QTest::newRow("FreeTDS statement time-out") << "[FreeTDS][SQL Server]Timeout expired" << timedOut;
        QTest::newRow("FreeTDS login time-out")
            << "[FreeTDS][SQL Server]Timeout expired [FreeTDS][SQL Server]Unable to connect to data source" << unreachable;
        QTest::newRow("FreeTDS server gone") << "[FreeTDS][SQL Server]Unexpected EOF from the server" << unreachable;
        QTest::newRow("Microsoft statement time-out")
            << "[Microsoft][ODBC Driver 17 for SQL Server]Query timeout expired" << timedOut;
        QTest::newRow("Microsoft no server") << "[Microsoft][ODBC Driver 17 for SQL Server]Login timeout expired" << unreachable;
        QTest::newRow("text the code page cannot hold")
            << "The text of parameter 'SerialNumber' holds the character U+4E2D, which the server's code page 874 cannot "
               "hold; nothing was sent."
            << "ข้อความมีตัวอักษรที่ฐานข้อมูลเก็บไม่ได้ กรุณาแก้ไขข้อความแล้วบันทึกใหม่";
        // A save whose answer stayed lost, as the consignment store reports it: its own words
        // explain it, not the driver's words it quotes.
        QTest::newRow("save lost, kept with its id")
            << "The answer to the save was lost; the line is kept to be sent again with the same request id "
               "(5d0c…): [FreeTDS][SQL Server]Unexpected EOF from the server"
            << "ไม่ได้รับคำตอบจากเครื่องแม่ข่าย รายการนี้อาจยังไม่ได้บันทึก รายการยังอยู่บนหน้าจอ กด F10 อีกครั้งเพื่อส่งใหม่ "
               "ระบบจะไม่บันทึกซ้ำ";
        QTest::newRow("save lost, no request id")
            << "The answer to the save was lost; the line may or may not be stored: [FreeTDS][SQL Server]Timeout expired"
            << "ไม่ได้รับคำตอบจากเครื่องแม่ข่าย รายการนี้อาจบันทึกแล้ว ตรวจสอบที่หน้าสรุปสินค้าเข้าออกประจำวัน ก่อนบันทึกอีกครั้ง";
        QTest::newRow("wait cancelled with Esc")
            << "Cancelled at the user's request while waiting for the server: [FreeTDS][SQL Server]Operation was cancelled"
            << "ยกเลิกการรอเครื่องแม่ข่ายแล้ว ตามที่กด Esc";
        QTest::newRow("no row") << "'abc' is not a valid integer value"
                                << "";
        QTest::newRow("trigger cut short") << "Cannot insert the value NULL into column 'Pric"
                                           << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void translate()
    {
        QFETCH(QString, message);
        QTEST(ErrorHandler::translateError(message), "thai");
    }

    void composedText_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("text");
        QTest::newRow("date") << "'31/02/2024' is not a valid date"
                              << "ป้อนวันที่ไม่ถูกต้อง" + cr + "'31/02/2024' IS NOT A VALID DATE" + cr;
        QTest::newRow("no row") << "Access violation at address 0040A1B2" << cr + "ACCESS VIOLATION AT ADDRESS 0040A1B2" + cr;
        QTest::newRow("empty") << "" << cr + cr;
        // Only a to z change: Thai, digits and letters outside ASCII stay as they are.
        QTest::newRow("thai and non-ascii") << "ไม่พบสินค้า barcode 885 straße café" << cr + "ไม่พบสินค้า BARCODE 885 STRAßE CAFé" + cr;
    }
    void composedText()
    {
        QFETCH(QString, message);
        QTEST(ErrorHandler::composeErrorText(message), "text");
    }

    // The log gets the message as raised, before the dialog shows it upper-cased and explained.
    void handlerLogsThenShows()
    {
        const QString message = "[Microsoft][ODBC SQL Server Driver][SQL Server]Violation of UNIQUE KEY "
                                "constraint 'UQ_Barcode'. Cannot insert duplicate key in object 'dbo.Barcode'. "
                                "สาขา ๑";
        const int before = logRows();
        m_dm->ApplicationEvents1Exception(message);
        QCOMPARE(logRows(), before + 1);
        QCOMPARE(m_rowsWhenShown, QList<int>{before + 1});
        QCOMPARE(m_shown,
                 QStringList{"ข้อมูลที่เพิ่มซ้ำกับข้อมูลที่มีอยู่แล้ว" + cr +
                             "[MICROSOFT][ODBC SQL SERVER DRIVER][SQL SERVER]VIOLATION OF UNIQUE KEY "
                             "CONSTRAINT 'UQ_BARCODE'. CANNOT INSERT DUPLICATE KEY IN OBJECT "
                             "'DBO.BARCODE'. สาขา ๑" +
                             cr});
        const LogRow row = lastLogRow();
        QCOMPARE(row.message.toString(), message);
        QCOMPARE(row.user, 1);
        QCOMPARE(row.menu, 2);
        QCOMPARE(row.compName, HostInfo::computerName());
        QCOMPARE(row.logName, HostInfo::logOnName());

        // Several exceptions: one row and one dialog each.
        m_dm->ApplicationEvents1Exception("'x' is not a valid floating point value");
        m_dm->ApplicationEvents1Exception("Insufficient memory for this operation");
        QCOMPARE(logRows(), before + 3);
        QCOMPARE(m_shown.size(), 3);
        QVERIFY(m_shown[1].startsWith(cr));
        QVERIFY(m_shown[2].startsWith("Memory หน่วยความจำของเครื่องไม่เพียงพอ" + cr));
        QCOMPARE(lastLogRow().message.toString(), QString("Insufficient memory for this operation"));
    }

    void emptyMessage()
    {
        const int before = logRows();
        m_dm->ApplicationEvents1Exception(QString());
        QCOMPARE(logRows(), before + 1);
        QCOMPARE(m_shown, QStringList{cr + cr});
        // Empty text, not a missing one.
        QCOMPARE(m_dbs->scalar(m_dbs->config(), "select count(*) from ErrorLog where ErrorMsg = ''").toInt(), 1);
    }

    // @LogName is the account the program runs as, whatever the environment says: a launcher
    // may start it with no USER at all, or with another one's.
    void logOnNameIsTheAccount()
    {
        QProcess id;
#ifdef Q_OS_WIN
        // whoami prints DOMAIN\account.
        id.start("whoami", {});
#else
        id.start("id", {"-un"});
#endif
        QVERIFY2(id.waitForFinished(10000) && id.exitCode() == 0, "the account name command did not run");
        const QString account = QString::fromLocal8Bit(id.readAllStandardOutput()).trimmed().section(u'\\', -1).toUpper();
        QVERIFY(!account.isEmpty());

        const QByteArray names[] = {"USERNAME", "USER", "LOGNAME"};
        QList<QByteArray> saved;
        for (const QByteArray &name : names)
            saved << qgetenv(name.constData());
        for (const char *other : {"", "someone-else"}) {
            for (const QByteArray &name : names)
                qputenv(name.constData(), other);
            m_dm->ApplicationEvents1Exception("Printer selected is not valid");
            QCOMPARE(lastLogRow().logName, account);
        }
        for (int i = 0; i < 3; ++i) {
            if (saved[i].isNull())
                qunsetenv(names[i].constData());
            else
                qputenv(names[i].constData(), saved[i]);
        }
        QCOMPARE(m_shown.size(), 2);
    }

    // A log that cannot be written does not swallow the error it was to record.
    void failedLogStillShows()
    {
        const int before = logRows();
        m_dbs->config().execute("alter table ErrorLog rename to ErrorLogAway");
        m_dm->ApplicationEvents1Exception("Possible network error: ConnectionRead (recv()).");
        m_dbs->config().execute("alter table ErrorLogAway rename to ErrorLog");
        QCOMPARE(m_shown,
                 QStringList{"ระบบเครือข่าย หรือ คอมพิวเตอร์แม่ข่ายมีปัญหา ติดต่อเครื่องแม่ข่ายไม่ได้" + cr +
                             "POSSIBLE NETWORK ERROR: CONNECTIONREAD (RECV())." + cr});
        QCOMPARE(logRows(), before);

        // The next error is logged again once the database is back.
        m_dm->ApplicationEvents1Exception("SQL Server connection timed out");
        QCOMPARE(logRows(), before + 1);
        QCOMPARE(m_shown.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestErrorHandler)
#include "tst_errorhandler.moc"
