// Another program holds the write lock on the company database while the clerk saves. The save
// waits for the lock (the engine's busy time-out) and goes through once the other writer lets go;
// held past the time-out, the save fails through the program's error handling with nothing stored
// and the entries kept, and goes through on the next try.
#include "FaultFixture.h"
#include "LockingWriter.h"

#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "data/Dm_Config.h"
#include "data/ErrorHandler.h"
#include "data/U_DM.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/ConnectionSettings.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/ui/TarvoApplication.h"
#include "support/ConsignmentDriver.h"
#include "support/ScriptedDialogService.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <atomic>

using namespace platform;

using C = ConsignmentDriver;
using Grid = ConsignmentDriver::Grid;

namespace {

// The busy time-out of the connections made while it exists.
class BusyTimeOut
{
public:
    explicit BusyTimeOut(int ms) { qputenv("TARVO_SQLITE_BUSY_TIMEOUT_MS", QByteArray::number(ms)); }
    ~BusyTimeOut() { qunsetenv("TARVO_SQLITE_BUSY_TIMEOUT_MS"); }
};

} // namespace

class TestCompanyLock : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void busyTimeOutSetting()
    {
        QCOMPARE(ConnectionSettings::sqliteBusyTimeoutMs(), ConnectionSettings::defaultSqliteBusyTimeoutMs);
        const QStringList params{"DATABASE NAME=DEMO", "SERVER NAME=sqlite:/tmp/x"};
        QCOMPARE(ConnectionSettings::resolve(params, "").connectOptions, QString("QSQLITE_BUSY_TIMEOUT=15000;QSQLITE_OPEN_URI"));
        {
            const BusyTimeOut shortWait(250);
            QCOMPARE(ConnectionSettings::resolve(params, "").connectOptions,
                     QString("QSQLITE_BUSY_TIMEOUT=250;QSQLITE_OPEN_URI"));
        }
        for (const char *unusable : {"", "soon", "-5", "1.5"}) {
            qputenv("TARVO_SQLITE_BUSY_TIMEOUT_MS", unusable);
            QCOMPARE(ConnectionSettings::sqliteBusyTimeoutMs(), ConnectionSettings::defaultSqliteBusyTimeoutMs);
        }
        qunsetenv("TARVO_SQLITE_BUSY_TIMEOUT_MS");
    }

    // The other writer lets go while the save waits for it (the default busy time-out).
    void theSaveWaitsForTheLock()
    {
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        Drive::enter();
        const int stored = f.consignmentCount();
        const int logged = f.logRows();
        const QString barcode = f.barcodeOfProduct(3);
        d.scan(barcode);
        d.retype(C::Quantity, "4", C::Consignment);

        LockingWriter writer(f.companyFile());
        QVERIFY2(writer.hold(), qPrintable(writer.error()));
        std::atomic<bool> saveStarted{false};
        std::atomic<bool> saveReturned{false};
        std::atomic<bool> releasedWhileTheSaveWaited{false};
        writer.releaseWhen([&] { return saveStarted.load(); }, 200,
                           [&] {
                               releasedWhileTheSaveWaited = !saveReturned.load();
                               // The clerk, impatient, presses Save again while the first one waits.
                               QMetaObject::invokeMethod(
                                   s, [&d] { d.click(C::SaveButton); }, Qt::QueuedConnection);
                           });
        saveStarted = true;
        Drive::save();
        saveReturned = true;
        settle(); // the second press

        QVERIFY(writer.released());
        QVERIFY(releasedWhileTheSaveWaited); // the save was still under way when the lock went
        QVERIFY(f.shownErrors().isEmpty());
        QCOMPARE(f.logRows(), logged);
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        QCOMPARE(f.consignmentCount(), stored + 1);
        QCOMPARE(f.lastLine().value("Barcode").toString(), barcode);
        QCOMPARE(f.lastLine().value("Quantity").toDouble(), 4.0);
        QVERIFY(!d.saveEnabled());
    }

    // Held past a short busy time-out: the save fails cleanly, then goes through once.
    void theLockOutlastsTheTimeOut()
    {
        const BusyTimeOut shortWait(300);
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        Drive::enter();
        const int stored = f.consignmentCount();
        const int logged = f.logRows();
        const QString barcode = f.barcodeOfProduct(25);

        LockingWriter writer(f.companyFile());
        QVERIFY2(writer.hold(), qPrintable(writer.error()));
        // Reading is not held up by the other writer: the lookup works.
        d.scan(barcode);
        QCOMPARE(d.text(C::Code, C::Consignment), QString("P0025"));
        Drive::type("SN-LOCK-7");
        const QStringList before = d.state();

        Drive::save();
        f.backToScreen();
        QCOMPARE(f.shownErrors().size(), 1);
        QCOMPARE(f.logRows(), logged + 1);
        const QString raw = f.lastLogMessage();
        QCOMPARE(raw, QString("database is locked"));
        QCOMPARE(f.shownErrors().first().errorText, ErrorHandler::composeErrorText(raw));
        QCOMPARE(f.shownErrors().first().logRowsWhileShown, logged + 1);
        QCOMPARE(d.state(), before);
        QVERIFY(f.dialogs().texts().isEmpty());
        QCOMPARE(f.consignmentCount(), stored);

        writer.release();
        f.clearShownErrors();
        Drive::save();
        QVERIFY(f.shownErrors().isEmpty());
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        QCOMPARE(f.consignmentCount(), stored + 1);
        QCOMPARE(f.lastLine().value("SerialNumber").toString(), QString("SN-LOCK-7"));
        // The failed attempt left no transaction open: the next line goes through as well.
        d.scan(f.barcodeOfProduct(3));
        d.retype(C::Quantity, "1", C::Consignment);
        Drive::save();
        QCOMPARE(f.consignmentCount(), stored + 2);
        QVERIFY(f.shownErrors().isEmpty());
    }

    // After the program has ended, the database file alone holds every line: a copy of nothing
    // but DEMO.sqlite (no write-ahead log beside it), taken while another connection to the
    // database is still open, has the last line saved.
    void theDatabaseFileAloneIsCompleteAfterTheProgramEnds()
    {
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        Drive::enter();
        d.scan(f.barcodeOfProduct(3));
        d.retype(C::Quantity, "7", C::Consignment);
        Drive::save();
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        const int stored = f.consignmentCount(); // the fixture's own connection stays open
        f.endProgram();

        QCOMPARE(DemoDatabases::scalarInCopyOf(f.companyFile(), "Select Count(*) From Tarvo_Consignment").toInt(), stored);
        QCOMPARE(DemoDatabases::scalarInCopyOf(f.companyFile(), "Select Quantity From Tarvo_Consignment Order By Id Desc Limit 1")
                     .toDouble(),
                 7.0);
    }

    // A write transaction of the configuration database (another workstation logging an error,
    // say) does not hold up a save on the company database, which only reads from it.
    void aWriterOfTheConfigurationDatabaseDoesNotHoldUpASave()
    {
        const BusyTimeOut shortWait(300);
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = f.openScreen();
        ConsignmentDriver d(s);
        Drive::enter();
        const int stored = f.consignmentCount();
        LockingWriter writer(f.configFile());
        QVERIFY2(writer.hold(), qPrintable(writer.error()));

        d.scan(f.barcodeOfProduct(3));
        d.retype(C::Quantity, "6", C::Consignment);
        Drive::save();
        QVERIFY(f.shownErrors().isEmpty());
        QCOMPARE(f.dialogs().texts(), QStringList{Saved});
        QCOMPARE(f.consignmentCount(), stored + 1);
        // The configuration tables are still read through the company connection meanwhile.
        QCOMPARE(f.dbs().scalar("Select Code From QLM_Config.Username Where Id = 1").toString(), QString("SOMCHAI"));
        d = ConsignmentDriver(f.openScreen());
        QCOMPARE(d.current().userKeyIn, QString("SOMCHAI"));
        QVERIFY(!d.text(C::Branch).isEmpty());
        QVERIFY(!writer.released());
    }

    // The configuration database is reached from the company connection wherever the folder is,
    // blanks, signs and Thai in its name included, and only for reading.
    void theConfigurationDatabaseIsAttachedForReading()
    {
        FaultFixture f;
        const QString folder = QDir(f.dbs().dir()).filePath("สาขา 1 #2 %3");
        QVERIFY(QDir().mkpath(folder));
        f.dbs().company().close();
        f.dbs().config().close();
        DM->DMdata->close();
        DMConfig->DmCfg->close();
        for (const QString name : {"DEMO.sqlite", "QLM_CONFIG.sqlite"})
            QVERIFY(QFile::copy(QDir(f.dbs().dir()).filePath(name), QDir(folder).filePath(name)));
        Database company("DMDATA");
        company.params = QStringList{"DATABASE NAME=DEMO", "SERVER NAME=sqlite:" + folder};
        company.open();
        Query q(&company);
        q.setSql({"Select Code From QLM_Config.Username Where Id = 1"});
        q.open();
        QCOMPARE(q.fieldByName("Code").asString(), QString("SOMCHAI"));
        q.close();
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, company.execute("Update QLM_Config.Username Set FullName = 'x' Where Id = 1"));
        company.execute("Update Customer Set NameShort = NameShort Where Id = 1"); // its own tables are written
    }
};

int main(int argc, char **argv)
{
    TarvoApplication app(argc, argv);
    TestCompanyLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_companylock.moc"
