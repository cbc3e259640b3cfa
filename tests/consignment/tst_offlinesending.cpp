// The offline mode's sending side through the real ODBC stack (QODBC, unixODBC, FreeTDS) against
// the TDS stand-in, on real journal files: lines saved while the server is away wait in the
// journal and go once, in order, with their request ids when it is back; a lost answer is
// resolved with the same id; a refusal is parked and the rest go on; a program killed while
// sending resends with the same id after its restart; and a clerk's day on the program's own
// screen, with the server away for part of it.
#include "app/Screens.h"
#include "consignment/CompanyLink.h"
#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "consignment/JournalStore.h"
#include "consignment/OfflineMode.h"
#include "consignment/OfflineSender.h"
#include "consignment/OfflineStatusStrip.h"
#include "data/U_DM.h"
#include "platform/ui/ExceptionRouter.h"
#include "support/ConsignmentDriver.h"
#include "support/ProgramOnDemo.h"
#include "support/ScriptedDialogService.h"
#include "support/StandInLine.h"
#include "support/TdsStandIn.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QSqlQuery>
#include <QTest>
#include <algorithm>
#include <memory>

using namespace platform;

namespace {

const QString saveWithId =
    QStringLiteral("^Exec Save_Tarvo_Consignment @P1, @P2, @P3, @P4, @P5, @P6, @P7, @P8, @P9, @P10, @P11, @P12$");
const QString keptLocally = QStringLiteral("บันทึกไว้ในเครื่องแล้ว จะส่งให้อัตโนมัติ");

QJsonArray answered(const QString &outcome)
{
    return QJsonArray{TdsStandIn::resultSet({"RequestOutcome varchar", "ConsignmentId int"}, {QJsonArray{outcome, 1001}})};
}

// The stand-in with the program's answers, its QLM.INI with the offline mode on, and the
// journal beside it.
class Workstation
{
public:
    Workstation()
    {
        const QString why = server.start();
        if (!why.isEmpty())
            qFatal("the stand-in did not start: %s", qPrintable(why));
        server.setBaseRules(QStringLiteral("tests/tds/program.json"));
        ini = server.dir() + QStringLiteral("/QLM.INI");
        // A save waits long enough for the stand-in on a loaded machine.
        server.writeIni(ini, QStringLiteral("LoginTimeout=2\n\n[OFFLINE]\nEnabled=yes\nSaveWait=30\n"));
        settings = OfflineSettings::read(ini, QStringLiteral("DEMO"));
    }
    std::unique_ptr<OfflineMode> start()
    {
        return std::make_unique<OfflineMode>(OfflineMode::Setup{settings, TdsStandIn::params(QStringLiteral("DEMO")), ini});
    }
    // The values of every save the stand-in received since its log was cleared, in order.
    QList<QVariantList> saves() const
    {
        QList<QVariantList> list;
        for (const QJsonObject &e : server.log()) {
            if (e.value("kind").toString() != "rpc" || !e.value("text").toString().startsWith("Exec Save_Tarvo_Consignment"))
                continue;
            QVariantList values;
            for (const QJsonValue &p : e.value("params").toArray())
                values << p.toObject().value("value").toVariant();
            list << values;
        }
        return list;
    }
    QStringList savedIds() const
    {
        QStringList ids;
        for (const QVariantList &values : saves())
            ids << (values.size() == 12 ? values.last().toString() : QStringLiteral("without id"));
        return ids;
    }

    TdsStandIn server;
    QString ini;
    OfflineSettings settings;
};

// The line's request id as the stand-in logs a uniqueidentifier: its bytes in hex, in the order
// of the wire (the first three fields little-endian).
QString id(const JournalEntry &e)
{
    QByteArray b = e.requestId.toRfc4122();
    std::reverse(b.begin(), b.begin() + 4);
    std::reverse(b.begin() + 4, b.begin() + 6);
    std::reverse(b.begin() + 6, b.begin() + 8);
    return QString::fromLatin1(b.toHex());
}

QStringList ids(const QList<JournalEntry> &entries)
{
    QStringList list;
    for (const JournalEntry &e : entries)
        list << id(e);
    return list;
}

JournalState stateOf(OfflineMode &mode, qint64 seq)
{
    return mode.journal().entry(seq)->state;
}

} // namespace

class TestOfflineSending : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Stored while the server answers; while it is stopped the save returns at once as kept
    // (nothing sent, nothing lost); back, each waiting line goes exactly once, in order, with its
    // id, and the link is online again. The journal commits synchronously (FULL).
    void linesWaitWhileTheServerIsAwayAndGoOnceWithTheirIds()
    {
        Workstation w;
        auto mode = w.start();
        QSqlQuery pragma(mode->journal().file().database());
        QVERIFY(pragma.exec("PRAGMA synchronous") && pragma.next());
        QCOMPARE(pragma.value(0).toInt(), 2);
        JournalStore store(*mode);
        QCOMPARE(store.save(standInLine(1)), SaveOutcome::Stored);
        QCOMPARE(w.savedIds(), QStringList{id(mode->journal().entries().first())});
        QCOMPARE(w.saves().first().mid(0, 11),
                 QVariantList({"BR01", "SOMCHAI", 1, "S", "8850000000001", "", 1, 19.99, "N", 19.99,
                               QDate::currentDate().toString(Qt::ISODate)}));

        w.server.stop();
        QCOMPARE(store.save(standInLine(2)), SaveOutcome::KeptLocally);
        QTRY_VERIFY(!mode->link().online());
        QCOMPARE(store.save(standInLine(3)), SaveOutcome::KeptLocally);
        mode->waitForSender();
        const QList<JournalEntry> waiting = mode->journal().waiting();
        QCOMPARE(waiting.size(), 2);
        QCOMPARE(waiting[0].line, standInLine(2));
        QCOMPARE(waiting[1].line, standInLine(3));

        w.server.clearLog();
        QVERIFY(w.server.start().isEmpty());
        mode->sendSoon(); // the minute's round
        QTRY_VERIFY(mode->journal().waiting().isEmpty());
        QTRY_VERIFY(mode->link().online());
        QCOMPARE(w.savedIds(), ids(waiting));
        for (const JournalEntry &e : waiting)
            QCOMPARE(stateOf(*mode, e.seq), JournalState::Stored);
        mode->sendSoon();
        QCOMPARE(store.save(standInLine(4)), SaveOutcome::Stored);
        QCOMPARE(w.saves().size(), 3);
    }

    // The server ends the connection after the line has reached it: the line waits again with an
    // unknown outcome; the next round sends the same values with the same id, the server answers
    // "already stored", and nothing goes a third time. One line in the journal.
    void aLostAnswerIsResolvedWithTheSameId()
    {
        Workstation w;
        w.server.answer(saveWithId, answered("AlreadyStored"));
        w.server.answer(saveWithId, "close", 1);
        auto mode = w.start();
        JournalStore store(*mode);
        QCOMPARE(store.save(standInLine(5)), SaveOutcome::KeptLocally);
        const JournalEntry kept = mode->journal().entries().first();
        QVERIFY(kept.outcomeUnknown);
        QCOMPARE(kept.state, JournalState::New);
        mode->sendSoon();
        QTRY_COMPARE(stateOf(*mode, kept.seq), JournalState::AlreadyStored);
        mode->sendSoon();
        QTRY_VERIFY(mode->link().online());
        const QList<QVariantList> saves = w.saves();
        QCOMPARE(saves.size(), 2);
        QCOMPARE(saves[1], saves[0]);
        QCOMPARE(saves[0].last().toString(), id(kept));
        QCOMPARE(mode->journal().entries().size(), 1);
        QCOMPARE(mode->journal().entry(kept.seq)->attempts, 2);
    }

    // A company database whose procedure does not take the id gets the eleven-value call; when
    // its answer is lost the line is never sent again by itself (it could be stored twice): it is
    // parked for a person, saying why, and the next line goes.
    void withoutTheIdALostAnswerIsParked()
    {
        Workstation w;
        w.server.answer("From sys.parameters", QJsonArray{TdsStandIn::resultSet({"TakesRequestId int"}, {QJsonArray{0}})});
        w.server.answer("^Exec Save_Tarvo_Consignment @P1, @P2 ,@P3,", "close", 1);
        auto mode = w.start();
        JournalStore store(*mode);
        QCOMPARE(store.save(standInLine(1)), SaveOutcome::KeptLocally);
        const qint64 lost = mode->journal().entries().first().seq;
        mode->sendSoon();
        QTRY_COMPARE(stateOf(*mode, lost), JournalState::Refused);
        QCOMPARE(mode->journal().entry(lost)->reason, OfflineSender::unresolvableReason);
        QCOMPARE(store.save(standInLine(2)), SaveOutcome::Stored);
        QCOMPARE(w.savedIds(), QStringList({"without id", "without id"}));
    }

    // Lines a workstation kept earlier go at the start: the first is refused and parked with the
    // server's words, the next still goes, a later one with the refused serial number is held
    // behind it and never sent.
    void aRefusalIsParkedAndTheOthersGo()
    {
        Workstation w;
        const QString reason = QStringLiteral("Serial Number SN-7 ขายไปแล้ว");
        w.server.answer(saveWithId, QJsonArray{QJsonObject{{"error", QJsonArray{50000, reason}}}}, 1);
        qint64 refused = 0, plain = 0, sameSerial = 0;
        {
            OfflineJournal journal(w.settings.journalFile);
            refused = journal.add(standInLine(1, "SN-7")).seq;
            plain = journal.add(standInLine(2)).seq;
            sameSerial = journal.add(standInLine(1, "sn-7 ")).seq;
        }
        auto mode = w.start();
        QTRY_COMPARE(stateOf(*mode, plain), JournalState::Stored);
        QCOMPARE(stateOf(*mode, refused), JournalState::Refused);
        QVERIFY2(mode->journal().entry(refused)->reason.contains(reason), qPrintable(mode->journal().entry(refused)->reason));
        QCOMPARE(stateOf(*mode, sameSerial), JournalState::Held);
        // Saved now, a line with that serial number is held too, and the store says so: it does
        // not go by itself.
        JournalStore store(*mode);
        QCOMPARE(store.save(standInLine(1, "SN-7")), SaveOutcome::Held);
        mode->waitForSender();
        QCOMPARE(w.saves().size(), 2);
        QCOMPARE(w.savedIds(), QStringList({id(*mode->journal().entry(refused)), id(*mode->journal().entry(plain))}));
    }

    // A workstation killed (SIGKILL) while its line waits for the server's answer: after the
    // restart the line, left under way, goes again with the same id and values, and is stored
    // once ("already stored": the server had it). The clerk sees nothing of it but the strip's
    // count of lines waiting until the line has gone.
    void aProgramKilledWhileSendingResendsWithTheSameId()
    {
        Workstation w;
        w.server.answer(saveWithId, "silent");
        QProcess child;
        child.start(QCoreApplication::applicationDirPath() + "/offline_send_child", {w.server.dir()});
        QVERIFY(child.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(w.saves().size() == 1, 20000);
        child.kill();
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        {
            OfflineJournal left(w.settings.journalFile);
            QCOMPARE(left.entries().size(), 1);
            QCOMPARE(left.entries().first().state, JournalState::Sending);
        }
        w.server.clearRules();
        w.server.answer(saveWithId, answered("AlreadyStored"));
        auto mode = w.start();
        const JournalEntry e = mode->journal().entries().first();
        QTRY_COMPARE(stateOf(*mode, e.seq), JournalState::AlreadyStored);
        const QList<QVariantList> saves = w.saves();
        QCOMPARE(saves.size(), 2);
        QCOMPARE(saves[1], saves[0]);
        QCOMPARE(saves[0].last().toString(), id(e));
    }

    // A clerk's day on the program's own screen (the offline mode switched on in QLM.INI): a line
    // stored at once; the server losing every save's answer for a while, then stopped, the lines
    // are kept, the clerk is told so and the page is emptied each time (a scan typed while the box
    // is up is taken); a status strip counts them; once the server takes saves again they go, each
    // once and in order; a refusal shows the server's error as any refusal, empties the page and
    // is parked.
    void aClerksDay()
    {
        Workstation w;
        const QString oldDir = QDir::currentPath();
        QDir::setCurrent(w.server.dir());
        QFile dat("Server.Dat");
        QVERIFY(dat.open(QIODevice::WriteOnly));
        dat.write("127.0.0.1\r\n");
        dat.close();
        ScriptedDialogService dialogs;
        QStringList errors;
        startProgram({}, [&errors] {
            DM->showErrorDialog = [](const QString &) {};
            ExceptionRouter::setHandler([&errors](const QString &message) { errors << message; });
        });
        std::unique_ptr<QWidget> window(createScreen(1, 1));
        auto *screen = qobject_cast<TFrTarvoAdjAndConsignment *>(window.get());
        QVERIFY(screen);
        auto *mode = screen->findChild<OfflineMode *>();
        auto *strip = screen->findChild<OfflineStatusStrip *>();
        QVERIFY(mode && strip);
        screen->show();
        screen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(screen));
        ConsignmentDriver clerk(screen);
        clerk.chooseBranch();
        auto enterLine = [&](const QString &quantity) {
            clerk.scan("8850000000001");
            clerk.typeQuantity(quantity);
        };

        enterLine("1");
        clerk.save();
        QCOMPARE(dialogs.texts(), QStringList{"บันทึกเรียบร้อย"});

        // Kept: the clerk is told so and the page is emptied for the next item.
        auto keptAndEmptied = [&] {
            QCOMPARE(dialogs.texts(), QStringList{keptLocally});
            QVERIFY(clerk.text(ConsignmentDriver::Barcode).isEmpty());
            QVERIFY(!clerk.saveEnabled());
            dialogs.clear();
        };
        w.server.answer(saveWithId, "close"); // every save from now on loses its answer
        dialogs.clear();
        for (const char *quantity : {"2", "3"}) {
            enterLine(quantity);
            clerk.save();
            keptAndEmptied();
        }
        enterLine("4");
        w.server.stop(); // and now the server is away altogether
        clerk.save();
        keptAndEmptied();
        QVERIFY(w.server.start().isEmpty());
        enterLine("5");
        QCOMPARE(clerk.saveThenScanAtOnce("8850000000001"), QStringList{keptLocally});
        QCOMPARE(clerk.text(ConsignmentDriver::Barcode), QString("8850000000001"));
        QCOMPARE(clerk.productName(), QString("น้ำดื่มตราช้าง 600 มล."));
        mode->waitForSender();
        QTRY_VERIFY2(strip->text().contains("รอส่ง 4 รายการ"), qPrintable(strip->text()));
        QVERIFY(errors.isEmpty());

        w.server.clearRules();
        w.server.clearLog();
        mode->sendSoon();
        QTRY_VERIFY(mode->journal().waiting().isEmpty());
        QTRY_VERIFY2(strip->text().startsWith("ออนไลน์") && !strip->text().contains("รอส่ง"), qPrintable(strip->text()));
        QList<JournalEntry> all = mode->journal().entries();
        QCOMPARE(all.size(), 5);
        QCOMPARE(w.savedIds(), ids(all.mid(1)));
        for (int i = 0; i < all.size(); ++i) {
            QCOMPARE(all[i].line.quantity, i + 1.0);
            QCOMPARE(all[i].state, JournalState::Stored);
        }

        const QString reason = QStringLiteral("ไม่สามารถบันทึกได้ ปิดงวดบัญชีแล้ว");
        w.server.answer(saveWithId, QJsonArray{QJsonObject{{"error", QJsonArray{50000, reason}}}}, 1);
        dialogs.clear();
        clerk.typeQuantity("6");
        clerk.save();
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].contains(reason), qPrintable(errors[0]));
        QVERIFY(dialogs.texts().isEmpty());
        QVERIFY(clerk.text(ConsignmentDriver::Barcode).isEmpty());
        QCOMPARE(mode->journal().entries().last().state, JournalState::Refused);
        QTRY_VERIFY2(strip->text().contains("ถูกปฏิเสธ 1 รายการ"), qPrintable(strip->text()));

        enterLine("7");
        clerk.save();
        QCOMPARE(dialogs.texts(), QStringList{"บันทึกเรียบร้อย"});
        all = mode->journal().entries();
        QCOMPARE(all.size(), 7);
        QCOMPARE(all.last().state, JournalState::Stored);
        QCOMPARE(w.savedIds(), ids(all.mid(1)));

        window.reset(); // the offline mode ends with its screen: its threads are done
        endProgram();
        ExceptionRouter::setHandler({});
        QDir::setCurrent(oldDir);
    }
};

QTEST_MAIN(TestOfflineSending)
#include "tst_offlinesending.moc"
