// The consignment screen with the offline mode switched on, read from this workstation's own
// files while the company database cannot be reached: the look-ups, the branch list and the
// serial check answer from the scan copy as the server does; the views show the journal's lines
// the server has not stored, each line once; the supervisor's list deals with refused lines.
// Real SQLite files, real widgets driven by keys; the journal's transitions are driven directly,
// as the sender would.
#include "app/Screens.h"
#include "consignment/ConsignmentRequestSql.h"
#include "consignment/Fr_OfflineJournal.h"
#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "consignment/OfflineJournal.h"
#include "consignment/OfflineWorkstation.h"
#include "consignment/ScanCopy.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/TarvoApplication.h"
#include "reliability/FaultFixture.h"
#include "support/ConsignmentDriver.h"
#include "support/JournalListDriver.h"
#include "support/ScreenFixture.h"
#include "support/ScriptedDialogService.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace platform;

namespace {

using Grid = ConsignmentDriver::Grid;

const QString QlmIni = QStringLiteral("QLM.INI");

// The offline mode on the shown screen, with its files beside the working directory's QLM.INI.
OfflineWorkstation *switchOn(TFrTarvoAdjAndConsignment *s)
{
    auto *w = new OfflineWorkstation(OfflineSettings::read(QDir::current().filePath(QlmIni), QStringLiteral("DEMO")), s);
    s->setOffline(w);
    return w;
}

// A line of branch 1 (BR01, customer 1) as the screen would have written it to the journal.
ConsignmentLine line(ProgramOnDemo &f, const char *type, int product, double quantity, double price, const QDate &day,
                     const QString &serial = QString())
{
    ConsignmentLine l;
    l.userCode = QStringLiteral("BR01");
    l.userKeyIn = QStringLiteral("SOMCHAI");
    l.customer = 1;
    l.consigType = QLatin1String(type);
    l.barcode = f.barcodeOfProduct(product);
    l.serialNumber = serial;
    l.quantity = quantity;
    l.price = price;
    l.oldPrice = price;
    l.editDate = day;
    l.shown.productName = f.scalar(QStringLiteral("Select ThaiName From Product Where Id = %1").arg(product)).toString();
    l.shown.unitName = QStringLiteral("ชิ้น");
    return l;
}

// The company database stores a journal's line with its request id, as the sender sends it.
void storeOnServer(ProgramOnDemo &f, const JournalEntry &e)
{
    const ConsignmentLine &l = e.line;
    Query q(&f.dbs().company());
    q.setStatement(ConsignmentRequestSql::SaveLineWithRequestId);
    for (const auto &[name, value] :
         std::initializer_list<std::pair<const char *, QVariant>>{{"UserCode", l.userCode},
                                                                  {"UserKeyIn", l.userKeyIn},
                                                                  {"Customer", l.customer},
                                                                  {"ConsigType", l.consigType},
                                                                  {"Barcode", l.barcode},
                                                                  {"SerialNumber", l.serialNumber},
                                                                  {"Quantity", l.quantity},
                                                                  {"Price", l.price},
                                                                  {"ChkFree", l.chkFree()},
                                                                  {"OldPrice", l.oldPrice},
                                                                  {"EditDate", l.editDate},
                                                                  {"RequestId", e.requestId.toString(QUuid::WithoutBraces)}})
        q.setParam(QLatin1String(name), value);
    q.execSql();
}

void appendToIni(const QString &text)
{
    QFile f(QDir::current().filePath(QlmIni));
    QVERIFY(f.open(QIODevice::Append));
    f.write(text.toUtf8());
}

} // namespace

class TestOfflineReading : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Scanned online, then with the company database gone (the first look-up fails on the link,
    // which is reported; the next ones go straight to the copy): the same product and price, a
    // blocked product found as online finds it, the same not-found message; a serial number on
    // sale (stored, or sold in a line still waiting in the journal) refused with the words and
    // Thai explanation the server's refusal gets; the branch list from the copy. Nothing reaches
    // the company database meanwhile.
    void lookUpsAndSerialCheckFromTheCopyAsOnline()
    {
        FaultFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        OfflineWorkstation *w = switchOn(s);
        ConsignmentDriver d(s);
        const QString branch = d.branchShown();
        const QString plainCode = f.barcodeOfProduct(3), blockedCode = f.barcodeOfProduct(13),
                      serialCode = f.barcodeOfProduct(25);
        struct Seen {
            QString code, name, price;
            bool serial;
            bool operator==(const Seen &) const = default;
        };
        auto look = [&](const QString &barcode) {
            d.scan(barcode);
            return Seen{d.productCode(), d.productName(), d.price(), d.serialShown()};
        };
        auto sell = [&](const QString &serial) {
            d.scan(serialCode);
            d.typeSerial(serial);
            d.save();
            f.backToScreen(); // after an error dialog
        };
        const QString unknown = QStringLiteral("9990000000000");

        const Seen plain = look(plainCode);
        const Seen blocked = look(blockedCode);
        QVERIFY(!blocked.code.isEmpty());
        d.scan(unknown);
        const QString notFound = f.dialogs().last().text;
        sell(QStringLiteral("SN 7001"));
        QCOMPARE(f.dialogs().last().text, Saved);
        f.clearShownErrors();
        sell(QStringLiteral("SN 7001"));
        QCOMPARE(f.shownErrors().size(), 1);
        const QString refused = f.shownErrors()[0].errorText;
        QVERIFY2(refused.startsWith(QStringLiteral("ข้อมูลที่เพิ่มซ้ำกับข้อมูลที่มีอยู่แล้ว")), qPrintable(refused));
        const int stored = f.consignmentCount();
        ScanCopy::refresh(f.dbs().company(), w->settings().scanCopyFile);
        w->journal().add(line(f, "S", 25, 1, 10, QDate::currentDate(), QStringLiteral("SN 7002")));

        f.takeCompanyAway();
        QVERIFY(w->link().online());
        QCOMPARE(look(plainCode), plain);
        QVERIFY(!w->link().online());
        QCOMPARE(look(blockedCode), blocked);
        d.scan(unknown);
        QCOMPARE(f.dialogs().last().text, notFound);
        f.clearShownErrors();
        sell(QStringLiteral("SN 7001"));
        sell(QStringLiteral("SN 7002"));
        QCOMPARE(f.shownErrors().size(), 2);
        QCOMPARE(f.shownErrors()[0].errorText, refused);
        QCOMPARE(f.shownErrors()[1].errorText, QString(refused).replace(QStringLiteral("7001"), QStringLiteral("7002")));
        QCOMPARE(w->journal().entries().size(), 1);

        s->hide();
        s->show();
        QCOMPARE(d.branchShown(), branch);
        QVERIFY(d.items(ConsignmentDriver::Branch).size() > 1);
        f.bringCompanyBack();
        QCOMPARE(f.consignmentCount(), stored);
    }

    // A waiting line shows once, marked, with its own total and its change on hand; stored by the
    // server while the journal still says "sending", it shows once as stored; so too once the
    // journal knows. A refused line is marked and counts in no total. With the link down the views
    // show the journal's lines alone.
    void viewsShowALineOnceWaitingThenOnceStored()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        OfflineWorkstation *w = switchOn(s);
        ConsignmentDriver d(s);
        const QDate day(2001, 1, 5);
        const JournalEntry e = w->journal().add(line(f, "S", 3, 2, 10, day));
        auto daily = [&] {
            d.showPage(ConsignmentDriver::Daily);
            d.summarise(QDate(2001, 1, 1), QDate(2001, 1, 31));
        };
        auto onhand = [&] {
            d.showPage(ConsignmentDriver::Onhand);
            d.showOnhand(QStringLiteral("2001"), 1);
        };
        auto checkStored = [&] {
            daily();
            QCOMPARE(d.rows(Grid::Daily), 1);
            QCOMPARE(d.cellOf(Grid::Daily, 0, QStringLiteral("State")), QString());
            QCOMPARE(d.total(), QStringLiteral("20.00"));
            QVERIFY2(d.waitingText().startsWith(QStringLiteral("รอส่ง 0 รายการ")), qPrintable(d.waitingText()));
            onhand();
            QCOMPARE(d.rows(Grid::Onhand), 1);
            QCOMPARE(d.cellOf(Grid::Onhand, 0, QStringLiteral("Quantity")), QStringLiteral("-2"));
            QCOMPARE(d.cellOf(Grid::Onhand, 0, QStringLiteral("Waiting")), QString());
        };

        daily();
        QCOMPARE(d.rows(Grid::Daily), 1);
        QCOMPARE(d.cellOf(Grid::Daily, 0, QStringLiteral("State")), QStringLiteral("รอส่ง"));
        QCOMPARE(d.cellOf(Grid::Daily, 0, QStringLiteral("Total")), QStringLiteral("20"));
        QCOMPARE(d.total(), QStringLiteral("0.00"));
        QCOMPARE(d.waitingText(), QStringLiteral("รอส่ง 1 รายการ มูลค่า 20.00"));
        onhand();
        QCOMPARE(d.rows(Grid::Onhand), 1);
        QCOMPARE(d.cellOf(Grid::Onhand, 0, QStringLiteral("Quantity")), QStringLiteral("0"));
        QCOMPARE(d.cellOf(Grid::Onhand, 0, QStringLiteral("Waiting")), QStringLiteral("-2"));

        w->journal().markSending(e.seq);
        storeOnServer(f, e);
        checkStored();
        w->journal().markStored(e.seq, false, 1);
        checkStored();

        const qint64 r = w->journal().add(line(f, "S", 3, 1, 5, day)).seq;
        w->journal().markSending(r);
        w->journal().markRefused(r, QStringLiteral("Barcode is not a product unit."));
        daily();
        QCOMPARE(d.rows(Grid::Daily), 2);
        QCOMPARE(d.cellOf(Grid::Daily, 1, QStringLiteral("State")), QStringLiteral("ถูกปฏิเสธ"));
        QCOMPARE(d.total(), QStringLiteral("20.00"));
        QCOMPARE(d.waitingText(), QStringLiteral("รอส่ง 0 รายการ มูลค่า 0.00 ถูกปฏิเสธ 1 รายการ"));

        w->link().reportLost();
        daily();
        QCOMPARE(d.rows(Grid::Daily), 1);
        QVERIFY(d.waitingText().startsWith(QStringLiteral("ติดต่อเครื่องแม่ข่ายไม่ได้")));
        onhand();
        QCOMPARE(d.rows(Grid::Onhand), 0);
    }

    // The supervisor's list (its key): a refused line, one held behind it and a waiting one. A
    // discard needs a reason and a yes; the line stays with its reason, time and who, and the line
    // held behind it waits again. A resent refused line waits again. A journal file of the first
    // version opens with its lines and takes discards.
    void supervisorListDiscardsWithReasonAndResends()
    {
        ScreenFixture f;
        TFrTarvoAdjAndConsignment *s = openOnBranch1(f);
        OfflineWorkstation *w = switchOn(s);
        OfflineJournal &journal = w->journal();
        const QDate today = QDate::currentDate();
        const qint64 refused = journal.add(line(f, "S", 25, 1, 10, today, QStringLiteral("SN 1"))).seq;
        const qint64 held = journal.add(line(f, "S", 25, 1, 10, today, QStringLiteral("SN 1"))).seq;
        const qint64 other = journal.add(line(f, "S", 25, 1, 10, today, QStringLiteral("SN 2"))).seq;
        journal.markSending(refused);
        journal.markRefused(refused, QStringLiteral("ข้อมูลที่เพิ่มซ้ำกับข้อมูลที่มีอยู่แล้ว"));
        journal.markSending(other);
        journal.markRefused(other, QStringLiteral("Barcode is not a product unit."));

        ConsignmentDriver d(s);
        TFrOfflineJournal *list = d.openJournalList();
        QVERIFY(list);
        JournalListDriver j(list);
        QCOMPARE(j.rows(), 3);
        QCOMPARE(j.cell(j.rowOf(held), QStringLiteral("State")), QStringLiteral("รอรายการที่ %1").arg(refused));
        QCOMPARE(j.cell(j.rowOf(refused), QStringLiteral("Reason")), QStringLiteral("ข้อมูลที่เพิ่มซ้ำกับข้อมูลที่มีอยู่แล้ว"));
        QCOMPARE(j.cell(j.rowOf(refused), QStringLiteral("Attempts")), QStringLiteral("1"));

        j.select(refused);
        j.discard(QString());
        QCOMPARE(f.dialogs().last().text, QStringLiteral("ระบุเหตุผลที่ยกเลิก"));
        QCOMPARE(journal.entry(refused)->state, JournalState::Refused);
        f.dialogs().answerYes();
        j.discard(QStringLiteral("ขายซ้ำ ลูกค้าคืนแล้ว"));
        const JournalEntry discarded = *journal.entry(refused);
        QCOMPARE(discarded.state, JournalState::Discarded);
        QCOMPARE(discarded.discardReason, QStringLiteral("ขายซ้ำ ลูกค้าคืนแล้ว"));
        QCOMPARE(discarded.discardedBy, d.current().userKeyIn);
        QVERIFY(discarded.discardedAt.isValid());
        QCOMPARE(journal.entry(held)->state, JournalState::New);
        QCOMPARE(j.rowOf(refused), -1);
        j.showDiscarded(true);
        QCOMPARE(j.cell(j.rowOf(refused), QStringLiteral("DiscardReason")), QStringLiteral("ขายซ้ำ ลูกค้าคืนแล้ว"));

        j.select(held);
        j.resend();
        QCOMPARE(f.dialogs().last().text, QStringLiteral("ส่งใหม่ได้เฉพาะรายการที่ถูกปฏิเสธ"));
        j.select(other);
        j.resend();
        QCOMPARE(journal.entry(other)->state, JournalState::New);
        QCOMPARE(j.cell(j.rowOf(other), QStringLiteral("State")), QStringLiteral("รอส่ง"));

        // A file of the first version: no discard columns, user_version 0.
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("OLD.journal.sqlite"));
        qint64 old = 0;
        {
            OfflineJournal first(file);
            old = first.add(line(f, "S", 25, 1, 10, today, QStringLiteral("SN 3"))).seq;
            first.markSending(old);
            first.markRefused(old, QStringLiteral("x"));
            for (const char *column : {"DiscardReason", "DiscardedAt", "DiscardedBy"})
                first.file().exec(QStringLiteral("Alter Table JournalLine Drop Column %1").arg(QLatin1String(column)));
            first.file().exec(QStringLiteral("PRAGMA user_version = 0"));
        }
        OfflineJournal reopened(file);
        QCOMPARE(reopened.entry(old)->line.serialNumber, QStringLiteral("SN 3"));
        reopened.discard(old, QStringLiteral("ทดสอบ"), QStringLiteral("SUP"));
        QCOMPARE(reopened.entry(old)->discardedBy, QStringLiteral("SUP"));
    }

    // The program's own wiring: without the switch the screen has none of the offline mode's
    // controls, files or columns; with it, it has them.
    void switchDecidesWhatAppears()
    {
        ScreenFixture f;
        const QString journalFile = QDir::current().filePath(QStringLiteral("DEMO.journal.sqlite"));
        std::unique_ptr<QWidget> off(createScreen(1, 1));
        ConsignmentDriver d(qobject_cast<TFrTarvoAdjAndConsignment *>(off.get()));
        QVERIFY(!d.offline() && !d.offlineControls());
        QCOMPARE(d.grid(Grid::Daily)->fieldOf(0), QStringLiteral("DocDate"));
        QVERIFY(d.grid(Grid::Onhand)->fieldOf(4).isEmpty());
        QVERIFY(!QFile::exists(journalFile));

        appendToIni(QStringLiteral("\n[OFFLINE]\nEnabled=yes\n"));
        std::unique_ptr<QWidget> on(createScreen(1, 1));
        ConsignmentDriver o(qobject_cast<TFrTarvoAdjAndConsignment *>(on.get()));
        QVERIFY(o.offline() && o.offlineControls());
        QCOMPARE(o.grid(Grid::Daily)->fieldOf(0), QStringLiteral("State"));
        QCOMPARE(o.grid(Grid::Onhand)->fieldOf(4), QStringLiteral("Waiting"));
        QVERIFY(QFile::exists(journalFile));
    }
};

int main(int argc, char **argv)
{
    TarvoApplication app(argc, argv);
    TestOfflineReading test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_offlinereading.moc"
