// The pieces a branch works with while the company database cannot be reached, on real files:
// the switch in QLM.INI, the journal every line is written to before it is sent, and the copy
// of what a clerk needs to scan, compared with the online look-up on the demo company.
#include "consignment/ConsignmentStore.h"
#include "consignment/Fr_TarvoAdjAndConsignmentSql.h"
#include "consignment/OfflineJournal.h"
#include "consignment/OfflineSettings.h"
#include "consignment/ScanCopy.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "support/DemoDatabases.h"
#include "support/SaleLine.h"
#include "tools/DbInit.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <thread>

using namespace platform;

namespace {

ConsignmentLine lineWithSerial(const QString &serial)
{
    ConsignmentLine line = saleLine(QStringLiteral("BR02"), 2, QStringLiteral("8850000000025"), 1, 12.5, QDate(2026, 12, 9));
    line.serialNumber = serial;
    return line;
}

QVariant pragma(const OfflineJournal &journal, const QString &name)
{
    QSqlQuery q(journal.file().database());
    q.exec(QStringLiteral("PRAGMA ") + name);
    return q.next() ? q.value(0) : QVariant();
}

QList<qint64> seqs(const QList<JournalEntry> &entries)
{
    QList<qint64> list;
    for (const JournalEntry &e : entries)
        list << e.seq;
    return list;
}

// The entry page's look-up as it runs online: the last row of QProduct, with the product's
// blocked flag, which the look-up does not read (it finds blocked products too).
std::optional<ScanProduct> onlineLookUp(DemoDatabases &dbs, const QString &barcode)
{
    Query q(&dbs.company());
    q.setStatement(ConsignmentSql::QProduct);
    q.setParam(QStringLiteral("Barcode"), barcode);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    q.last();
    const QString code = q.fieldByName(QStringLiteral("Code")).asString();
    return ScanProduct{
        q.fieldByName(QStringLiteral("BarCode")).asString(),
        code,
        q.fieldByName(QStringLiteral("Prodname")).asString(),
        q.fieldByName(QStringLiteral("UnitName")).asString(),
        q.fieldByName(QStringLiteral("UseSerial")).asString(),
        q.fieldByName(QStringLiteral("Price")).asFloat(),
        DemoDatabases::scalar(dbs.company(), QStringLiteral("Select Blocked From Product Where Code = '%1'").arg(code))
                .toString() == QLatin1String("Y")};
}

bool savedOnline(DemoDatabases &dbs, const ConsignmentLine &line)
{
    ConsignmentStore store(&dbs.company());
    try {
        store.save(line);
        return true;
    } catch (const EDatabaseError &) {
        return false;
    }
}

} // namespace

class TestOffline : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void switchOffUnlessSaidYes()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("QLM.INI"));
        QVERIFY(!OfflineSettings::read(ini, QStringLiteral("DEMO")).enabled); // no file
        for (const auto &[text, on] : {std::pair{"[DATABASE]\nDriver=FreeTDS\n", false},
                                       {"[OFFLINE]\nEnabled=no\n", false},
                                       {"[offline]\r\nenabled = Yes\r\nSaveWait=61\r\n", true}}) {
            QFile f(ini);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(text);
            f.close();
            QCOMPARE(OfflineSettings::read(ini, QStringLiteral("DEMO")).enabled, on);
        }
        QCOMPARE(OfflineSettings::read(ini, QStringLiteral("DEMO")).saveWaitSeconds, 3); // out of range
        QFile wait(ini);
        QVERIFY(wait.open(QIODevice::WriteOnly | QIODevice::Truncate));
        wait.write("[OFFLINE]\nEnabled=yes\nSaveWait= 10\n");
        wait.close();
        const OfflineSettings s = OfflineSettings::read(ini, QStringLiteral(" demo "));
        QCOMPARE(s.saveWaitSeconds, 10);
        QCOMPARE(s.journalFile, dir.filePath(QStringLiteral("DEMO.journal.sqlite")));
        QCOMPARE(s.scanCopyFile, dir.filePath(QStringLiteral("DEMO.scan.sqlite")));
    }

    // Each line keeps its eleven values, what the page showed and its request id; the file is in
    // WAL mode with every commit synchronous; transitions go only from the state they start from;
    // a line the program left while sending waits again, with its id, as outcome unknown.
    void journalKeepsLinesThroughTransitionsAndRestart()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("DEMO.journal.sqlite"));
        ConsignmentLine first = lineWithSerial(QStringLiteral(" SN 0043 "));
        first.entry = ConsignmentLine::Entry::Adjustment;
        first.consigType = QStringLiteral(" a ");
        first.quantity = -2.0000000000000004;
        first.price = 0;
        first.free = true;
        first.oldPrice = 1234567.891;
        first.shown = {QStringLiteral("P0025"), QStringLiteral("กาแฟ ตราช้าง"), QStringLiteral("ขวด"), QStringLiteral("2"),
                       QStringLiteral("0")};
        const ConsignmentLine second = lineWithSerial(QString());
        qint64 sent = 0;
        QUuid sentId;
        {
            OfflineJournal journal(file);
            QCOMPARE(pragma(journal, QStringLiteral("journal_mode")).toString(), QStringLiteral("wal"));
            QCOMPARE(pragma(journal, QStringLiteral("synchronous")).toInt(), 2); // FULL
            const JournalEntry a = journal.add(first);
            const JournalEntry b = journal.add(second);
            QCOMPARE(a.line, first);
            QCOMPARE(a.state, JournalState::New);
            QVERIFY(!a.requestId.isNull() && a.requestId != b.requestId);
            QCOMPARE(seqs(journal.waiting()), (QList<qint64>{a.seq, b.seq}));

            journal.markSending(a.seq);
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, journal.markSending(a.seq));
            journal.markStored(a.seq, false, 4711);
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, journal.markRefused(a.seq, QStringLiteral("late")));
            const JournalEntry stored = *journal.entry(a.seq);
            QCOMPARE(stored.state, JournalState::Stored);
            QCOMPARE(stored.consignmentId, 4711);
            QCOMPARE(stored.attempts, 1);
            QVERIFY(stored.settledAt.isValid() && stored.lastAttemptAt.isValid());

            journal.markSending(b.seq); // and the program ends here
            sent = b.seq;
            sentId = b.requestId;
        }
        OfflineJournal reopened(file);
        QCOMPARE(reopened.waiting().size(), 0); // a second journal object leaves a send under way alone
        QCOMPARE(reopened.recoverUnfinishedSends(), 1);
        QCOMPARE(pragma(reopened, QStringLiteral("synchronous")).toInt(), 2);
        const QList<JournalEntry> waiting = reopened.waiting();
        QCOMPARE(waiting.size(), 1);
        QCOMPARE(waiting[0].seq, sent);
        QCOMPARE(waiting[0].requestId, sentId);
        QCOMPARE(waiting[0].line, second);
        QVERIFY(waiting[0].outcomeUnknown);
        QCOMPARE(waiting[0].attempts, 1);
        reopened.markSending(sent);
        reopened.markNoAnswer(sent); // the link failed again
        reopened.markSending(sent);
        reopened.markStored(sent, true, 4712);
        QCOMPARE(reopened.entry(sent)->state, JournalState::AlreadyStored);
        QCOMPARE(reopened.entry(sent)->attempts, 3);
        QCOMPARE(reopened.entries()[0].line, first);
        QCOMPARE(reopened.counts(), (QMap<JournalState, int>{{JournalState::Stored, 1}, {JournalState::AlreadyStored, 1}}));
    }

    // A refused line holds back the later lines with its serial number (as the company database
    // compares it), also those saved after the refusal; the others still go. Sent again, the
    // refused line and those behind it wait again in their order.
    void serialHeldBehindRefusal()
    {
        QTemporaryDir dir;
        OfflineJournal journal(dir.filePath(QStringLiteral("DEMO.journal.sqlite")));
        const qint64 refused = journal.add(lineWithSerial(QStringLiteral("SN 0043"))).seq;
        const qint64 plain = journal.add(lineWithSerial(QString())).seq;
        const qint64 sameSerial = journal.add(lineWithSerial(QStringLiteral("sn 0043  "))).seq;
        const qint64 otherSerial = journal.add(lineWithSerial(QStringLiteral("SN 0044"))).seq;
        journal.markSending(refused);
        journal.markRefused(refused, QStringLiteral("ไม่พบ Serial Number"));
        QCOMPARE(journal.entry(refused)->reason, QStringLiteral("ไม่พบ Serial Number"));
        QCOMPARE(journal.entry(sameSerial)->state, JournalState::Held);
        QCOMPARE(journal.entry(sameSerial)->heldBehind, refused);
        const qint64 later = journal.add(lineWithSerial(QStringLiteral("SN 0043"))).seq;
        QCOMPARE(journal.entry(later)->state, JournalState::Held);
        QCOMPARE(seqs(journal.waiting()), (QList<qint64>{plain, otherSerial}));

        journal.resend(refused);
        QCOMPARE(seqs(journal.waiting()), (QList<qint64>{refused, plain, sameSerial, otherSerial, later}));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, journal.resend(refused));
    }

    // The copy answers a scan as the online look-up does: a normal product, a blocked one (found,
    // as online, with its flag), a serial-numbered one, an unknown barcode; the branch list; a
    // serial number on sale is refused online exactly where the copy says so. A refresh on a worker
    // thread does not disturb a reader in the middle of a read: it sees the old copy whole, then
    // the new one.
    void scanCopyAnswersAsOnline()
    {
        DemoDatabases dbs;
        const QString file = dbs.dir() + QStringLiteral("/DEMO.scan.sqlite");
        ScanCopy copy(file);
        QVERIFY(!copy.refreshedAt().isValid());
        QVERIFY(!copy.product(dbs.barcodeOfProduct(3)));

        ConsignmentLine onSale = lineWithSerial(QStringLiteral("SN 0043"));
        onSale.barcode = dbs.barcodeOfProduct(25);
        ConsignmentLine returned = onSale;
        returned.serialNumber = QStringLiteral("SN 0044");
        QVERIFY(savedOnline(dbs, onSale));
        QVERIFY(savedOnline(dbs, returned));
        returned.consigType = QStringLiteral("R");
        QVERIFY(savedOnline(dbs, returned));
        returned.consigType = QStringLiteral("S");

        const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
        const ScanCopyRefresh refresh = ScanCopy::refresh(dbs.company(), file);
        QVERIFY(refresh.barcodes > 300 && refresh.branches == 6);
        QVERIFY(copy.refreshedAt() >= before);

        for (int product : {3, 13, 25}) {
            const QString barcode = dbs.barcodeOfProduct(product);
            QCOMPARE(copy.product(barcode), onlineLookUp(dbs, barcode));
        }
        QVERIFY(copy.product(dbs.barcodeOfProduct(13))->blocked);
        QCOMPARE(copy.product(dbs.barcodeOfProduct(25))->useSerial, QStringLiteral("Y"));
        QVERIFY(!copy.product(QStringLiteral("9990000000000")) && !onlineLookUp(dbs, QStringLiteral("9990000000000")));

        Query branches(&dbs.company());
        branches.setStatement(ConsignmentSql::QBranch);
        branches.open();
        QList<ScanBranch> online;
        for (branches.first(); !branches.eof(); branches.next())
            online << ScanBranch{branches.fieldByName(QStringLiteral("UserCode")).asString(),
                                 branches.fieldByName(QStringLiteral("CusCode")).asString(),
                                 branches.fieldByName(QStringLiteral("CusName")).asString(),
                                 branches.fieldByName(QStringLiteral("CusId")).asInteger()};
        QCOMPARE(copy.branches(), online);

        const QString code = copy.product(onSale.barcode)->productCode;
        QVERIFY(copy.serialOnSale(2, code, QStringLiteral("sn 0043 ")));
        QVERIFY(!copy.serialOnSale(3, code, QStringLiteral("SN 0043")));
        QVERIFY(!copy.serialOnSale(2, code, QStringLiteral("SN 0044")));
        QVERIFY(!savedOnline(dbs, onSale));
        QVERIFY(savedOnline(dbs, returned));

        // A reader inside a read transaction while the copy is refreshed with a changed price.
        const QString barcode = dbs.barcodeOfProduct(3);
        const double price = copy.product(barcode)->price;
        dbs.company().execute(QStringLiteral("Update ProductPrice Set Price = Price + 1 Where PriceType = 19"));
        QSqlQuery(copy.file().database()).exec(QStringLiteral("BEGIN"));
        QCOMPARE(copy.product(barcode)->price, price);
        QString failure; // the refresh on a worker thread with a company connection of its own
        std::thread worker([&] {
            Database company(QStringLiteral("DMDATA"));
            company.params = dbInitParams(dbs.server(), QStringLiteral("DEMO"));
            try {
                ScanCopy::refresh(company, file);
            } catch (const Exception &e) {
                failure = e.message();
            }
        });
        worker.join();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(copy.product(barcode)->price, price);
        QSqlQuery(copy.file().database()).exec(QStringLiteral("COMMIT"));
        QCOMPARE(copy.product(barcode)->price, price + 1);
        QCOMPARE(copy.product(barcode), onlineLookUp(dbs, barcode));
    }
};

QTEST_GUILESS_MAIN(TestOffline)
#include "tst_offline.moc"
