// The program against SQL Server through the real ODBC stack (QODBC, unixODBC, FreeTDS), with the
// TDS stand-in answering as tests/tds/program.json scripts it: start-up to the main screen, a
// consignment line saved, both views, the barcode search and the quota report, every declared
// procedure called. Values and Thai text are compared where they arrive; every text the program
// sent is written to tests/tsql-texts/program for the T-SQL parse check (tests/tsql).
#include "app/ProgramWiring.h"
#include "app/Screens.h"
#include "consignment/ConsignmentStore.h"
#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "consignment/OfflineWorkstation.h"
#include "consignment/ScanCopy.h"
#include "data/Dm_Config.h"
#include "data/ErrorHandler.h"
#include "data/LaunchContext.h"
#include "data/LaunchParameters.h"
#include "data/U_DM.h"
#include "forms/Fr_SearchBarCode.h"
#include "platform/sql/Database.h"
#include "platform/ui/ExceptionRouter.h"
#include "reports/Fa_ButtonReport.h"
#include "reports/Fa_GetYearReport.h"
#include "reports/Fr_CustomerQuotaGroupPrice.h"
#include "support/ConsignmentDriver.h"
#include "support/Drive.h"
#include "support/ProgramOnDemo.h"
#include "support/ScriptedDialogService.h"
#include "support/TdsStandIn.h"

#include "platform/ui/NumberEdit.h"
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace platform;

namespace {

QList<QJsonObject> rpcsCalling(const QList<QJsonObject> &log, const QString &fragment)
{
    QList<QJsonObject> found;
    for (const QJsonObject &e : log)
        if (e.value("kind").toString() == "rpc" && e.value("text").toString().contains(fragment))
            found << e;
    return found;
}

QVariantList paramValues(const QJsonObject &rpc)
{
    QVariantList values;
    for (const QJsonValue &p : rpc.value("params").toArray())
        values << p.toObject().value("value").toVariant();
    return values;
}

// Counts the paint events of a window and its controls once *count is 0 or more.
class PaintCounter : public QObject
{
public:
    PaintCounter(QWidget *window, int *count)
        : m_window(window)
        , m_count(count)
    {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (event->type() == QEvent::Paint && *m_count >= 0 && widget && widget->window() == m_window)
            ++*m_count;
        return false;
    }

private:
    QWidget *m_window;
    int *m_count;
};

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace

class TestProgramOnSqlServer : public QObject
{
    Q_OBJECT
    TdsStandIn m_server;
    QString m_oldDir;
    QStringList m_texts; // every program text sent, for the parse check
    QStringList m_errors;
    QStringList m_errorDialogs;
    std::unique_ptr<ScriptedDialogService> m_dialogs;

    // The program as a process in the stand-in's folder; returns its exit code (-1: it did not
    // end) and the message boxes it logged.
    int launch(const QStringList &args, QStringList *dialogs)
    {
        const QString log = m_server.dir() + "/dialogs.log";
        QFile::remove(log);
        QProcess p;
        p.setWorkingDirectory(m_server.dir());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TARVO_DIALOG_LOG", log);
        env.insert("TARVO_EXIT_ON_SHOW", "1");
        p.setProcessEnvironment(env);
        p.start(qEnvironmentVariable("TARVO_BINARY_DIR") + "/bin/tarvo-consignment", args);
        if (!p.waitForFinished(120000)) {
            p.kill();
            p.waitForFinished();
            return -1;
        }
        QFile f(log);
        if (f.open(QIODevice::ReadOnly))
            *dialogs = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    }

    // The consignment screen of user 1, shown and active, with branch BR01 chosen; null when it
    // did not become active.
    static std::unique_ptr<TFrTarvoAdjAndConsignment> openScreenOnBranch1()
    {
        auto screen = std::make_unique<TFrTarvoAdjAndConsignment>(DM->DMdata, std::make_unique<ConsignmentStore>(DM->DMdata));
        screen->UserId = 1;
        screen->show();
        screen->activateWindow();
        if (!QTest::qWaitForWindowActive(screen.get()))
            return nullptr;
        Drive::enter();
        return screen;
    }

    // That screen with product 8850000000001 scanned and the quantity typed.
    static std::unique_ptr<TFrTarvoAdjAndConsignment> openScreenWithALine(const QString &quantity)
    {
        auto screen = openScreenOnBranch1();
        if (!screen)
            return nullptr;
        ConsignmentDriver d(screen.get());
        d.scan("8850000000001");
        d.typeQuantity(quantity);
        return screen;
    }

    // Runs step every 20 ms while the note of a statement waiting for the server is on the
    // window, until the returned timer goes.
    [[nodiscard]] static std::unique_ptr<QTimer> whileServerWaitNoteShows(QWidget &window, std::function<void()> step)
    {
        auto timer = std::make_unique<QTimer>();
        QObject::connect(timer.get(), &QTimer::timeout, [&window, step] {
            if (window.findChild<QLabel *>("ServerWaitNote"))
                step();
        });
        timer->start(20);
        return timer;
    }

    // What the consignment page shows of its line.
    static QStringList shownLine(TFrTarvoAdjAndConsignment &screen)
    {
        const ConsignmentDriver d(&screen);
        return {d.text(ConsignmentDriver::Barcode), d.productName(), d.quantity(), d.price(), d.text(ConsignmentDriver::Serial)};
    }

    // A line of quantity 1 saved with F10 on a screen just opened, with the dialogs and the
    // stand-in's log cleared first; shown receives what the page showed of the line at the save.
    std::unique_ptr<TFrTarvoAdjAndConsignment> saveALine(QStringList *shown)
    {
        m_dialogs->clear();
        auto screen = openScreenWithALine("1");
        if (!screen)
            return nullptr;
        m_server.clearLog();
        *shown = shownLine(*screen);
        Drive::key(Qt::Key_F10);
        return screen;
    }

    // Keeps the texts sent since the log was last cleared; none of them ran as a server cursor
    // (Qt's own quoting set-up at connect aside).
    void keepTexts()
    {
        const QList<QJsonObject> log = m_server.log();
        for (const QJsonObject &e : log) {
            const QString text = e.value("params").toArray().at(1).toObject().value("value").toString();
            QVERIFY2(e.value("proc").toString() != "sp_cursoropen" || text == "SET QUOTED_IDENTIFIER ON", qPrintable(text));
        }
        m_texts += TdsStandIn::programTexts(log);
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString why = m_server.start();
        QVERIFY2(why.isEmpty(), qPrintable(why));
        m_server.setBaseRules("tests/tds/program.json");
        QVERIFY(m_server.writeIni(m_server.dir() + "/QLM.INI"));
        QVERIFY(writeFile(m_server.dir() + "/Server.Dat", "127.0.0.1\r\n"));
        const QString definitions = qEnvironmentVariable("TARVO_SOURCE_DIR") + "/reports/definitions";
        for (const QString &file : QDir(definitions).entryList({"*.frf"}, QDir::Files))
            QVERIFY(QFile::copy(definitions + '/' + file, m_server.dir() + '/' + file));
    }

    void startsToItsMainScreen()
    {
        QStringList dialogs;
        QCOMPARE(launch({"1", "1", "DEMO", "-", "1"}, &dialogs), 0);
        QVERIFY2(dialogs.isEmpty(), qPrintable(dialogs.join('\n')));
        const QStringList texts = m_server.texts();
        QVERIFY(texts.first().startsWith("SET NOCOUNT ON;"));
        QVERIFY(texts.filter("EXEC @Result = MENUCAPTION").size() == 1);
        QVERIFY(texts.filter("Inner Join Customer C On (C.Code = U.CusCodeTablet)").size() == 1); // the branch list
        keepTexts();
        m_server.clearLog();
    }

    void aServerThatNeverAnswersEndsTheStartUp()
    {
        TdsStandIn silent({"--silent"});
        QVERIFY(silent.start().isEmpty());
        QVERIFY(silent.writeIni(m_server.dir() + "/QLM.INI", "LoginTimeout=1\n"));
        QStringList dialogs;
        const int exitCode = launch({"1", "1", "DEMO", "-", "1"}, &dialogs);
        QVERIFY(m_server.writeIni(m_server.dir() + "/QLM.INI"));
        QCOMPARE(exitCode, 1);
        QCOMPARE(dialogs.size(), 1);
        // The error dialog: the Thai explanation the message table gives the driver's words, then
        // those words as they came.
        const QStringList parts = dialogs[0].section("error dialog: ", 1).split("\\r");
        QVERIFY2(parts.size() == 3 && parts[1].contains("UNABLE TO CONNECT TO DATA SOURCE"), qPrintable(dialogs[0]));
        QVERIFY(!parts[0].isEmpty());
        QCOMPARE(parts[0], ErrorHandler::translateError(parts[1]));
        // One attempt only: no retry with an older protocol.
        int connects = 0;
        for (const QJsonObject &e : silent.log())
            connects += e.value("kind").toString() == "connect";
        QCOMPARE(connects, 1);
    }

    // The program as its entry leaves it, in process: data modules connected, selector 1.
    void dataModulesConnect()
    {
        m_oldDir = QDir::currentPath();
        QDir::setCurrent(m_server.dir());
        m_dialogs = std::make_unique<ScriptedDialogService>();
        startProgram({}, [this] {
            ProgramWiring::wire(); // the program's hooks, the error dialog and the handler recorded here
            DM->showErrorDialog = [this](const QString &text) { m_errorDialogs << text; };
            ExceptionRouter::setHandler([this](const QString &message) {
                m_errors << message;
                DM->ApplicationEvents1Exception(message);
            });
        });
        QCOMPARE(launchContext().MenuCaption, QString("บันทึกฝากขาย / ปรับปรุงสต๊อก Tarvo"));
        QCOMPARE(launchContext().UserCode, QString("SOMCHAI"));
        QVERIFY(launchContext().AccessRight);
        QVERIFY(launchContext().ThaiLanguage);
        QCOMPARE(launchContext().CompanyNameThai, QString("บริษัท ทาร์โว่ เทรดดิ้ง จำกัด"));
        QVERIFY(DM->IvRefSO && !DM->MrRefPO && DM->ShowProductPriceList);
    }

    void theOtherProceduresAreCalledAndTheirOutputsRead()
    {
        QCOMPARE(DM->GetServerTime(), QDateTime(QDate(2024, 3, 15), QTime(10, 20, 30)));
        DM->AddUserLog(6, 0, "ดูรายงาน");
        DMConfig->WriteErrorLog("ข้อความผิดพลาด 'ไทย'");
        const QList<QJsonObject> log = m_server.log();
        QCOMPARE(paramValues(rpcsCalling(log, "EXEC @Result = UserAddLog").last()), QVariantList({1, 1, 6, 0, "ดูรายงาน"}));
        const QVariantList error = paramValues(rpcsCalling(log, "EXEC @Result = AddErrorLog").last());
        QCOMPARE(error.size(), 5);
        QCOMPARE(error.last(), QVariant("ข้อความผิดพลาด 'ไทย'"));
    }

    void aLineIsSavedAndBothViewsShown()
    {
        auto opened = openScreenOnBranch1();
        QVERIFY(opened);
        ConsignmentDriver d(opened.get());
        d.scan("8850000000001");
        QCOMPARE(d.productName(), QString("น้ำดื่มตราช้าง 600 มล."));
        QCOMPARE(d.price(), QString("19.99"));
        d.typeQuantity("2");
        d.save();
        QCOMPARE(m_dialogs->texts(), QStringList{"บันทึกเรียบร้อย"});
        const QJsonObject save = rpcsCalling(m_server.log(), "Exec Save_Tarvo_Consignment").last();
        QCOMPARE(paramValues(save).mid(0, 10),
                 QVariantList({"BR01", "SOMCHAI", 1, "S", "8850000000001", "", 2, 19.99, "N", 19.99}));
        QCOMPARE(paramValues(save).at(10), QVariant(QDate::currentDate().toString(Qt::ISODate)));

        d.showPage(ConsignmentDriver::Daily);
        d.click(ConsignmentDriver::Summarise);
        QCOMPARE(d.rows(ConsignmentDriver::Grid::Daily), 3);
        QCOMPARE(d.cell(ConsignmentDriver::Grid::Daily, 1, 1), QString("ขาย")); // varchar in code page 874
        QCOMPARE(d.total(), QString("39.68"));
        d.showPage(ConsignmentDriver::Onhand);
        d.click(ConsignmentDriver::ShowOnhand);
        QCOMPARE(d.rows(ConsignmentDriver::Grid::Onhand), 1);
        QVERIFY(m_errors.isEmpty());
    }

    void aRefusalAfterARowCountReachesTheThaiErrorPath()
    {
        m_server.answer("^Exec Save_Tarvo_Consignment",
                        QJsonArray{QJsonObject{{"rowcount", 1}},
                                   QJsonObject{{"error",
                                                QJsonArray{50000,
                                                           "Cannot insert duplicate key row in object "
                                                           "'dbo.Tarvo_Consignment' with unique index "
                                                           "'IX_Tarvo_Consignment_Serial'."}}}});
        m_dialogs->clear();
        auto opened = openScreenWithALine("1");
        QVERIFY(opened);
        Drive::key(Qt::Key_F10);
        m_server.clearRules();
        QVERIFY(!m_dialogs->texts().contains("บันทึกเรียบร้อย"));
        QCOMPARE(m_errors.size(), 1);
        QCOMPARE(m_errorDialogs.size(), 1);
        QVERIFY2(m_errorDialogs[0].startsWith("ข้อมูลที่เพิ่มซ้ำกับข้อมูลที่มีอยู่แล้ว\r"), qPrintable(m_errorDialogs[0]));
        const QVariantList logged = paramValues(rpcsCalling(m_server.log(), "EXEC @Result = AddErrorLog").last());
        QVERIFY(logged.last().toString().contains("IX_Tarvo_Consignment_Serial"));
        m_errors.clear();
        m_errorDialogs.clear();
    }

    // The server ends the connection during a save, before its answer: the store sends the same
    // line with the same request id again on a new connection, and the clerk is told it is stored,
    // whether the server stores it then or answers that it already has it (nothing goes a third
    // time). Lost twice, the clerk is told once that the line is perhaps not stored and stays on
    // the screen, as it does; Save sends it again with the same id.
    void aSaveWhoseAnswerIsLostGoesAgainWithItsId_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("lost");
        QTest::newRow("stored by the second request") << "Stored" << 1;
        QTest::newRow("already stored by the first") << "AlreadyStored" << 1;
        QTest::newRow("lost twice, Save pressed again") << "AlreadyStored" << 2;
    }
    void aSaveWhoseAnswerIsLostGoesAgainWithItsId()
    {
        QFETCH(QString, answer);
        QFETCH(int, lost);
        const QString saveWithId = "^Exec Save_Tarvo_Consignment .*@P12$";
        m_server.answer(
            saveWithId,
            QJsonArray{TdsStandIn::resultSet({"RequestOutcome varchar", "ConsignmentId int"}, {QJsonArray{answer, 1001}})});
        m_server.answer(saveWithId, "close", lost);
        QStringList shown;
        auto opened = saveALine(&shown);
        QVERIFY(opened);
        QCOMPARE(m_errors.size(), lost - 1);
        if (lost > 1) {
            QVERIFY2(m_errors[0].contains("Unexpected EOF from the server"), qPrintable(m_errors[0]));
            QVERIFY(m_dialogs->texts().isEmpty());
            QVERIFY2(m_errorDialogs.value(0).startsWith("ไม่ได้รับคำตอบจากเครื่องแม่ข่าย รายการนี้อาจยังไม่ได้บันทึก "
                                                        "รายการยังอยู่บนหน้าจอ กด F10 อีกครั้งเพื่อส่งใหม่ ระบบจะไม่บันทึกซ้ำ\r"),
                     qPrintable(m_errorDialogs.value(0)));
            QCOMPARE(shownLine(*opened), shown);
            Drive::key(Qt::Key_F10);
        }
        m_server.clearRules();
        QCOMPARE(m_errors.size(), lost - 1);
        QCOMPARE(m_dialogs->texts(), QStringList{"บันทึกเรียบร้อย"});
        const QList<QJsonObject> saves = rpcsCalling(m_server.log(), "Exec Save_Tarvo_Consignment");
        QCOMPARE(saves.size(), lost + 1);
        const QVariantList first = paramValues(saves[0]);
        QCOMPARE(first.size(), 12);
        QVERIFY(!first.at(11).toString().isEmpty()); // the request id
        for (const QJsonObject &again : saves)
            QCOMPARE(paramValues(again), first);
        QVERIFY(saves[0].value("conn").toInt() != saves[1].value("conn").toInt());
        keepTexts();
        m_errors.clear();
        m_errorDialogs.clear();
    }

    // Against a save procedure that takes no request id, a lost answer is not sent again: the
    // clerk is told that the line may be stored and to look at the daily summary before saving it
    // again; the line stays on the screen.
    void aLostAnswerWithoutRequestIdIsNotSentAgain()
    {
        m_server.answer("^Select Count\\(\\*\\) TakesRequestId\\n",
                        QJsonArray{TdsStandIn::resultSet({"TakesRequestId int"}, {QJsonArray{0}})});
        m_server.answer("^Exec Save_Tarvo_Consignment .*@P11$", "close", 1);
        QStringList shown;
        auto opened = saveALine(&shown);
        QVERIFY(opened);
        m_server.clearRules();
        QCOMPARE(rpcsCalling(m_server.log(), "Exec Save_Tarvo_Consignment").size(), 1);
        QVERIFY(m_dialogs->texts().isEmpty());
        QCOMPARE(m_errorDialogs.size(), 1);
        QVERIFY2(m_errorDialogs[0].startsWith("ไม่ได้รับคำตอบจากเครื่องแม่ข่าย รายการนี้อาจบันทึกแล้ว "
                                              "ตรวจสอบที่หน้าสรุปสินค้าเข้าออกประจำวัน ก่อนบันทึกอีกครั้ง\r"),
                 qPrintable(m_errorDialogs[0]));
        QCOMPARE(shownLine(*opened), shown);
        keepTexts();
        m_errors.clear();
        m_errorDialogs.clear();
    }

    // A serial number the Thai code page cannot hold is refused on the screen, naming the box;
    // nothing is sent.
    void aSerialTheCodePageCannotHoldIsRefused()
    {
        m_dialogs->clear();
        auto opened = openScreenWithALine("1");
        QVERIFY(opened);
        ConsignmentDriver d(opened.get());
        d.clickInto(ConsignmentDriver::Serial);
        d.setText(ConsignmentDriver::Serial, "SN中1"); // pasted
        m_server.clearLog();
        Drive::key(Qt::Key_F10);
        QCOMPARE(m_dialogs->texts(), QStringList{"SerialNo มีตัวอักษร \"中\" ที่ฐานข้อมูลเก็บไม่ได้ แก้ไข SerialNo แล้วบันทึกอีกครั้ง"});
        QVERIFY(rpcsCalling(m_server.log(), "Save_Tarvo_Consignment").isEmpty());
        QVERIFY(m_errors.isEmpty());
    }

    // A failure while the program works reaches the error dialog with the Thai explanation of
    // the driver's words: a statement time-out, and a connection the server ended (a look-up is
    // sent once more on a new connection, and fails again here); once the server answers again,
    // the next look-up works without a restart.
    void driverFailuresReachTheThaiErrorPath()
    {
        const auto beforeConnect = DM->DMdata->beforeConnect;
        DM->DMdata->beforeConnect = [beforeConnect](Database &db) {
            beforeConnect(db);
            db.params.replaceInStrings("MAX QUERY TIME=600", "MAX QUERY TIME=1");
        };
        DM->DMdata->close();
        DM->DMdata->open();
        auto opened = openScreenOnBranch1();
        QVERIFY(opened);
        ConsignmentDriver d(opened.get());
        m_server.answer("\\nWhere U.BarCode <>'' And U.Barcode = @P1$", "silent");
        d.scan("8850000000001");
        m_server.answer("\\nWhere U.BarCode <>'' And U.Barcode = @P1$", "close");
        d.scan("8850000000002");
        m_server.clearRules();
        d.scan("8850000000001");
        DM->DMdata->beforeConnect = beforeConnect;
        QCOMPARE(m_errors.size(), 2);
        QVERIFY2(m_errors[0].contains("Timeout expired"), qPrintable(m_errors[0]));
        QVERIFY2(m_errors[1].contains("Unexpected EOF from the server"), qPrintable(m_errors[1]));
        QCOMPARE(d.productName(), QString("น้ำดื่มตราช้าง 600 มล."));
        for (int i : {0, 1}) {
            const QString thai = m_errorDialogs[i].section('\r', 0, 0);
            QVERIFY2(!thai.isEmpty() && thai == ErrorHandler::translateError(m_errors[i]), qPrintable(m_errorDialogs[i]));
        }
        m_errors.clear();
        m_errorDialogs.clear();
        DM->DMdata->close();
        DM->DMdata->open();
    }

    // With the offline mode, a scan whose look-up loses the link is answered from the scan copy
    // (here made from a demo company with the same barcode), no error reaches the clerk, and the
    // next scan sends nothing while the link is known down.
    void offlineAScanThatLosesTheLinkIsAnsweredFromTheCopy()
    {
        DemoDatabases demo;
        auto screen = openScreenOnBranch1();
        QVERIFY(screen);
        const OfflineSettings settings = OfflineSettings::read(m_server.dir() + "/QLM.INI", "DEMO");
        ScanCopy::refresh(demo.company(), settings.scanCopyFile);
        auto *offline = new OfflineWorkstation(settings, screen.get());
        screen->setOffline(offline);
        ConsignmentDriver d(screen.get());
        m_server.answer("\\nWhere U.BarCode <>'' And U.Barcode = @P1$", "close");
        d.scan(demo.barcodeOfProduct(1));
        QVERIFY(!offline->link().online());
        QVERIFY(m_errors.isEmpty());
        QCOMPARE(d.productName(), demo.scalar("Select ThaiName From Product Where Id = 1").toString());
        keepTexts();
        m_server.clearLog();
        d.scan(demo.barcodeOfProduct(2));
        QVERIFY(m_server.texts().isEmpty());
        QCOMPARE(d.productCode(), demo.scalar("Select Code From Product Where Id = 2").toString());
        m_server.clearRules();
        DM->DMdata->close();
        DM->DMdata->open();
    }

    // A scanner types the next barcode while the look-up of an unknown one waits for a slow
    // server: none of its keys is lost. They reach the barcode box once the look-up has ended, in
    // order, and their Enter looks the new barcode up.
    void keysTypedDuringASlowLookUpArriveAfterIt()
    {
        m_dialogs->clear();
        auto opened = openScreenOnBranch1();
        QVERIFY(opened);
        TFrTarvoAdjAndConsignment &screen = *opened;
        m_server.answer("\\nWhere U.BarCode <>'' And U.Barcode = @P1$",
                        QJsonArray{QJsonObject{{"delay", 2.5}},
                                   TdsStandIn::resultSet({"Code nvarchar", "Prodname nvarchar", "UseSerial varchar",
                                                          "UnitName nvarchar", "BarCode nvarchar", "Price float"},
                                                         {})},
                        1);
        bool typedWhileWaiting = false;
        const auto typist = whileServerWaitNoteShows(screen, [&] {
            if (!typedWhileWaiting)
                Drive::scanHere("8850000000001");
            typedWhileWaiting = true;
        });
        ConsignmentDriver d(&screen);
        d.scan("8850000000099");
        m_server.clearRules();
        QVERIFY(typedWhileWaiting);
        QCOMPARE(m_dialogs->texts(), QStringList{"ไม่พบ Barcode 8850000000099"});
        QTRY_COMPARE(d.productName(), QString("น้ำดื่มตราช้าง 600 มล."));
        QCOMPARE(d.text(ConsignmentDriver::Barcode), QString("8850000000001"));
        QVERIFY(m_errors.isEmpty());
    }

    // Esc on the running program: a daily view that the server never answers is cancelled by Esc
    // while the window goes on painting; the screen stays open, and the next view works on a new
    // connection.
    void escCancelsALongViewAndTheNextOneWorks()
    {
        m_dialogs->clear();
        auto opened = openScreenOnBranch1();
        QVERIFY(opened);
        TFrTarvoAdjAndConsignment &screen = *opened;
        ConsignmentDriver d(&screen);
        d.showPage(ConsignmentDriver::Daily);
        m_server.answer("^Select 1 DocType, H.IvDate DocDate,", "silent", 1);
        m_server.clearLog();
        int paints = -1; // counted from the note's first showing on
        PaintCounter counter(&screen, &paints);
        bool escPressed = false;
        const auto clerk = whileServerWaitNoteShows(screen, [&] {
            if (paints < 0) {
                paints = 0;
                screen.update();
            } else if (paints > 0 && !escPressed) {
                escPressed = true;
                Drive::key(Qt::Key_Escape);
            }
        });
        d.click(ConsignmentDriver::Summarise);
        QVERIFY(escPressed);
        QVERIFY(screen.isVisible());
        QCOMPARE(m_errors.size(), 1);
        QVERIFY2(m_errorDialogs.value(0).startsWith("ยกเลิกการรอเครื่องแม่ข่ายแล้ว ตามที่กด Esc\r"), qPrintable(m_errorDialogs.value(0)));
        const QList<QJsonObject> cancelled = rpcsCalling(m_server.log(), "Select 1 DocType, H.IvDate DocDate,");
        QCOMPARE(cancelled.size(), 1);
        d.click(ConsignmentDriver::Summarise);
        QCOMPARE(d.rows(ConsignmentDriver::Grid::Daily), 3);
        const QList<QJsonObject> views = rpcsCalling(m_server.log(), "Select 1 DocType, H.IvDate DocDate,");
        QCOMPARE(views.size(), 2);
        QVERIFY(views[1].value("conn").toInt() != views[0].value("conn").toInt());
        QCOMPARE(m_errors.size(), 1);
        m_errors.clear();
        m_errorDialogs.clear();
    }

    // The program killed (kill -9) while its line is on the way, the server holding the answer:
    // the server got the line once, and whether it stored it is the server's alone to say (its
    // one transaction either ended before the kill or is undone with the connection). Started
    // again, the program sends nothing by itself. The line is not on the screen any more; a line
    // saved again is a new press of Save with a request id of its own, since equal values may as
    // well be a second sale of the same goods.
    void aProgramKilledWhileItsLineIsSentSendsNothingAgain()
    {
        m_server.answer("^Exec Save_Tarvo_Consignment .*@P12$", "silent", 1);
        m_server.clearLog();
        const QString sendLine = qEnvironmentVariable("TARVO_BINARY_DIR") + "/tests/send_line";
        QProcess sender;
        sender.start(sendLine, {m_server.dir() + "/QLM.INI"});
        QTRY_COMPARE_WITH_TIMEOUT(rpcsCalling(m_server.log(), "Exec Save_Tarvo_Consignment").size(), 1, 60000);
        sender.kill();
        QVERIFY(sender.waitForFinished());
        QCOMPARE(sender.exitStatus(), QProcess::CrashExit);
        const QJsonObject sent = rpcsCalling(m_server.log(), "Exec Save_Tarvo_Consignment").first();
        auto disconnected = [&] {
            for (const QJsonObject &e : m_server.log())
                if (e.value("kind").toString() == "disconnect" && e.value("conn") == sent.value("conn"))
                    return true;
            return false;
        };
        QTRY_VERIFY(disconnected());

        QStringList dialogs;
        QCOMPARE(launch({"1", "1", "DEMO", "-", "1"}, &dialogs), 0);
        QVERIFY2(dialogs.isEmpty(), qPrintable(dialogs.join('\n')));
        QCOMPARE(rpcsCalling(m_server.log(), "Save_Tarvo_Consignment").size(), 1);

        sender.start(sendLine, {m_server.dir() + "/QLM.INI"});
        QVERIFY(sender.waitForFinished(60000));
        QCOMPARE(sender.readAllStandardOutput(), QByteArray("stored\n"));
        const QList<QJsonObject> saves = rpcsCalling(m_server.log(), "Exec Save_Tarvo_Consignment");
        QCOMPARE(saves.size(), 2);
        QCOMPARE(paramValues(saves[1]).mid(0, 11), paramValues(saves[0]).mid(0, 11));
        QVERIFY(paramValues(saves[1]).at(11) != paramValues(saves[0]).at(11));
        keepTexts();
        m_server.clearLog();
    }

    void theBarcodeSearch()
    {
        TFrSearchBarCode dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.Code->setText("885");
        dialog.BtSearch->click();
        QCOMPARE(dialog.DgSearch->model()->rowCount(), 1);
        QCOMPARE(dialog.DgSearch->model()->index(0, 2).data().toString(), QString("น้ำดื่มตราช้าง 600 มล."));
        QVERIFY(dialog.DgSearch->model()->index(0, 4).data().toString().startsWith("1,234.50"));
    }

    void theQuotaReport()
    {
        setLaunchParameters({"tarvo-consignment", "2", "1", "DEMO", "-", "2"});
        std::unique_ptr<QWidget> widget(createScreen(2, 1));
        auto *screen = qobject_cast<TFrCustomerQuotaGroupPrice *>(widget.get());
        QVERIFY(screen);
        screen->show();
        screen->FaGetYearReport1->GetYear->setText("2024");
        screen->FaButtonReport1BtPreviewClick();
        QVERIFY2(screen->lastRun().ok, qPrintable(screen->lastRun().message));
        QVERIFY(!rpcsCalling(m_server.log(), "From Tarvo_CustomerQuota Q").isEmpty());
        QVERIFY(!rpcsCalling(m_server.log(), "EXEC @Result = UserAddLog").isEmpty());
        QVERIFY(m_errors.isEmpty());
    }

    void cleanupTestCase()
    {
        ProgramWiring::end();
        m_dialogs.reset();
        if (!m_oldDir.isEmpty())
            QDir::setCurrent(m_oldDir);
        keepTexts();
        QVERIFY(TdsStandIn::writeTexts(m_texts, qEnvironmentVariable("TARVO_BINARY_DIR") + "/tests/tsql-texts/program"));
    }
};

QTEST_MAIN(TestProgramOnSqlServer)
#include "tst_programonsqlserver.moc"
