// The error road itself under faults, on the consignment screen: a save the server refuses
// (a serial number sold twice) logged once and explained in Thai; the configuration database
// gone or locked when that error must be logged; a mail host that stalls when the clerk presses
// "Send Error". In every case the dialog comes and goes and the clerk goes on working.
#include "FaultFixture.h"
#include "LockingWriter.h"
#include "StalledSmtpHost.h"

#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "data/Dm_Config.h"
#include "data/ErrorHandler.h"
#include "forms/Fr_ShowError.h"
#include "platform/sql/Database.h"
#include "platform/ui/TarvoApplication.h"
#include "support/ConsignmentDriver.h"
#include "support/ScriptedDialogService.h"

#include <QApplication>
#include <QCursor>
#include <QTest>

using namespace platform;

using C = ConsignmentDriver;
using Grid = ConsignmentDriver::Grid;

namespace {

const QString DuplicateThai = QStringLiteral("ข้อมูลที่เพิ่มซ้ำกับข้อมูลที่มีอยู่แล้ว");

// What the server says when branch 1 sells serial number `serial` of product 25 a second time.
QString duplicateSerial(const QString &serial)
{
    return QStringLiteral("Cannot insert duplicate key row in object 'dbo.Tarvo_Consignment' with unique index "
                          "'IX_Tarvo_Consignment_Serial'. The duplicate key value is (1, P0025, %1).")
        .arg(serial);
}

// The screen on branch 1 with serial number `serial` of product 25 sold once already, and the
// same sale typed again, ready to be saved.
TFrTarvoAdjAndConsignment *sellTwice(FaultFixture &f, const QString &serial)
{
    TFrTarvoAdjAndConsignment *s = f.openScreen();
    ConsignmentDriver d(s);
    Drive::enter();
    const QString barcode = f.barcodeOfProduct(25);
    d.scan(barcode);
    Drive::type(serial);
    Drive::save();
    if (f.dialogs().texts() != QStringList{Saved})
        qWarning("the first sale was not saved");
    f.dialogs().clear();
    d.scan(barcode);
    Drive::type(serial);
    return s;
}

// Replaces the serial number and saves: the clerk corrects the entry and goes on.
void saveWithSerial(TFrTarvoAdjAndConsignment *s, const QString &serial)
{
    ConsignmentDriver d(s);
    d.retype(C::Serial, serial, C::Consignment);
    Drive::save();
}

bool anErrorDialogLeft()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        if (qobject_cast<TFrShowError *>(window))
            return true;
    return false;
}

class BusyTimeOut
{
public:
    explicit BusyTimeOut(int ms) { qputenv("TARVO_SQLITE_BUSY_TIMEOUT_MS", QByteArray::number(ms)); }
    ~BusyTimeOut() { qunsetenv("TARVO_SQLITE_BUSY_TIMEOUT_MS"); }
};

} // namespace

class TestErrorReporting : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The server refuses the line: exactly one log row with the server's words, and the dialog
    // with row 14's explanation, a carriage return and the words in capitals.
    void aSerialNumberSoldTwice()
    {
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = sellTwice(f, "SN-2024-0001");
        ConsignmentDriver d(s);
        const int stored = f.consignmentCount();
        const int logged = f.logRows();
        const QStringList before = d.state();

        Drive::save();
        f.backToScreen();

        const QString raw = duplicateSerial("SN-2024-0001");
        QCOMPARE(f.logRows(), logged + 1);
        QCOMPARE(f.lastLogMessage(), raw);
        QCOMPARE(f.dbs().scalar(f.dbs().config(), "Select Username From ErrorLog Order By Id Desc Limit 1").toInt(), 1);
        QCOMPARE(f.dbs().scalar(f.dbs().config(), "Select Menu From ErrorLog Order By Id Desc Limit 1").toInt(), 1);
        QCOMPARE(f.shownErrors().size(), 1);
        const FaultFixture::ShownError &shown = f.shownErrors().first();
        QCOMPARE(shown.errorText,
                 DuplicateThai +
                     "\rCANNOT INSERT DUPLICATE KEY ROW IN OBJECT 'DBO.TARVO_CONSIGNMENT' WITH UNIQUE INDEX "
                     "'IX_TARVO_CONSIGNMENT_SERIAL'. THE DUPLICATE KEY VALUE IS (1, P0025, SN-2024-0001).\r");
        QVERIFY(shown.errorText.startsWith(DuplicateThai + "\r" + raw.toUpper()));
        QVERIFY(shown.boxText.startsWith(DuplicateThai + "\nCANNOT INSERT DUPLICATE"));
        QCOMPARE(shown.logRowsWhileShown, logged + 1); // logged before it was shown
        QVERIFY(shown.screenBlocked);
        QVERIFY(!anErrorDialogLeft());

        QCOMPARE(f.consignmentCount(), stored);
        QCOMPARE(d.state(), before);
        QVERIFY(f.dialogs().texts().isEmpty());

        // Taken back, the serial number may be sold again.
        f.clearShownErrors();
        d.choose(C::Type, 1, C::Consignment);
        Drive::save();
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        d.scan(f.barcodeOfProduct(25));
        Drive::type("SN-2024-0001");
        Drive::save();
        QCOMPARE(f.dialogs().texts(), (QStringList{Saved, Saved}));
        QCOMPARE(f.consignmentCount(), stored + 2);
        QVERIFY(f.shownErrors().isEmpty());
        QCOMPARE(f.logRows(), logged + 1);
    }

    // The configuration database is gone when the error must be logged: the error is still
    // shown, and the clerk goes on; once it is back, errors are logged again.
    void theConfigurationDatabaseIsGone()
    {
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = sellTwice(f, "SN-CFG-1");
        ConsignmentDriver d(s);
        const int stored = f.consignmentCount();
        const int logged = f.logRows();
        const QStringList before = d.state();

        f.takeConfigAway();
        Drive::save();
        f.backToScreen();
        QCOMPARE(f.shownErrors().size(), 1);
        QCOMPARE(f.shownErrors().first().errorText, ErrorHandler::composeErrorText(duplicateSerial("SN-CFG-1")));
        QCOMPARE(f.shownErrors().first().logRowsWhileShown, -1); // the log could not be reached
        QCOMPARE(d.state(), before);

        // The screen goes on: corrected, the line is stored; a second error is shown as well.
        f.clearShownErrors();
        saveWithSerial(s, "SN-CFG-2");
        QVERIFY(f.shownErrors().isEmpty());
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        QCOMPARE(f.consignmentCount(), stored + 1);
        d.scan(f.barcodeOfProduct(25));
        Drive::type("SN-CFG-2");
        Drive::save();
        f.backToScreen();
        QCOMPARE(f.shownErrors().size(), 1);
        QCOMPARE(f.consignmentCount(), stored + 1);

        f.bringConfigBack();
        QCOMPARE(f.logRows(), logged); // nothing was logged while it was gone
        f.clearShownErrors();
        Drive::save();
        f.backToScreen();
        QCOMPARE(f.shownErrors().size(), 1);
        QCOMPARE(f.logRows(), logged + 1);
        QCOMPARE(f.lastLogMessage(), duplicateSerial("SN-CFG-2"));
    }

    // Another program holds the configuration database's write lock past the busy time-out
    // when the error must be logged: shown all the same; logged again once the lock is gone.
    void theConfigurationDatabaseIsLocked()
    {
        const BusyTimeOut shortWait(300);
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = sellTwice(f, "SN-LCK-1");
        ConsignmentDriver d(s);
        const int logged = f.logRows();
        const QStringList before = d.state();

        // While the log write waits for the lock, the wait cursor shows (the screen's own is gone
        // by then); it is gone again once the program is back in its event loop.
        const std::function<void()> wired = Database::lockWaitHook();
        QVERIFY(wired);
        bool cursorBefore = true;
        int cursorWhileWaiting = -1;
        Database::setLockWaitHook([&] {
            cursorBefore = QGuiApplication::overrideCursor() != nullptr;
            wired();
            cursorWhileWaiting = QGuiApplication::overrideCursor() ? int(QGuiApplication::overrideCursor()->shape()) : -1;
        });

        LockingWriter writer(f.configFile());
        QVERIFY2(writer.hold(), qPrintable(writer.error()));
        Drive::save();
        f.backToScreen();
        Database::setLockWaitHook(wired);
        QVERIFY(!cursorBefore);
        QCOMPARE(cursorWhileWaiting, int(Qt::WaitCursor));
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(f.shownErrors().size(), 1);
        QCOMPARE(f.shownErrors().first().errorText, ErrorHandler::composeErrorText(duplicateSerial("SN-LCK-1")));
        QCOMPARE(d.state(), before);
        writer.release();
        QCOMPARE(f.logRows(), logged);

        f.clearShownErrors();
        Drive::save();
        f.backToScreen();
        QCOMPARE(f.shownErrors().size(), 1);
        QCOMPARE(f.logRows(), logged + 1);
        saveWithSerial(s, "SN-LCK-2");
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
    }

    // "Send Error" to a mail host that takes the connection and never answers, or that takes the
    // whole message and never confirms it: the dialog closes once the client gives up, nothing
    // is delivered, nothing else is reported, and the clerk goes on.
    void theMailHostStalls_data()
    {
        QTest::addColumn<StalledSmtpHost::Stall>("stall");
        QTest::newRow("no greeting") << StalledSmtpHost::Stall::AtGreeting;
        QTest::newRow("message never confirmed") << StalledSmtpHost::Stall::AfterMessage;
    }
    void theMailHostStalls()
    {
        QFETCH(StalledSmtpHost::Stall, stall);
        StalledSmtpHost host(stall);
        QVERIFY(host.port() != 0);
        FaultFixture f;
        f.writeMailSettings("127.0.0.1", host.port(), 1000, 1500);
        f.answerErrorsWithSend(true);
        TFrTarvoAdjAndConsignment *s = sellTwice(f, "SN-MAIL-1");
        ConsignmentDriver d(s);
        const int stored = f.consignmentCount();
        const int logged = f.logRows();
        const QStringList before = d.state();

        Drive::save();
        f.backToScreen();
        QCOMPARE(f.shownErrors().size(), 1);
        QCOMPARE(f.shownErrors().first().errorText, ErrorHandler::composeErrorText(duplicateSerial("SN-MAIL-1")));
        QVERIFY(!anErrorDialogLeft());
        QTRY_VERIFY(host.connections() >= 1); // the report was really on its way to that host
        const QByteArray sent = host.received();
        if (stall == StalledSmtpHost::Stall::AtGreeting) {
            QVERIFY2(!sent.contains("MAIL FROM"), sent.constData());
        } else {
            // The whole report went out, the host never took it; the client gave up on it.
            QVERIFY2(sent.contains("DATA\r\n"), sent.constData());
            QVERIFY2(sent.contains("\r\n.\r\n"), sent.constData());
        }
        QVERIFY(!DMConfig->NMSMTP1->connected());
        QVERIFY(f.dialogs().texts().isEmpty()); // no message about the mail
        QCOMPARE(f.logRows(), logged + 1);      // nor a log row
        QCOMPARE(d.state(), before);
        QCOMPARE(f.consignmentCount(), stored);

        // The clerk goes on: corrected, the line is stored; the next error is handled alike.
        saveWithSerial(s, "SN-MAIL-2");
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        QCOMPARE(f.consignmentCount(), stored + 1);
        f.clearShownErrors();
        d.scan(f.barcodeOfProduct(25));
        Drive::type("SN-MAIL-2");
        Drive::save();
        f.backToScreen();
        QCOMPARE(f.shownErrors().size(), 1);
        QVERIFY(!anErrorDialogLeft());
        QCOMPARE(f.consignmentCount(), stored + 1);
    }
};

int main(int argc, char **argv)
{
    TarvoApplication app(argc, argv);
    TestErrorReporting test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_errorreporting.moc"
