// Two clerks saving lines for the same branch at once, as two processes on the same embedded
// database files: no line is lost or doubled and the branch's on-hand balances agree with them.
#include "db/setup/DemoData.h"
#include "platform/sql/Database.h"
#include "support/DemoDatabases.h"

#include <QProcess>
#include <QTest>

class TestConcurrency : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void twoProcessesSaveForTheSameBranch()
    {
        DemoDatabases dbs;
        const QDate today = QDate::currentDate();
        auto balance = [&](int unit) {
            return dbs
                .scalar(QString("select coalesce(sum(Quantity), 0) from ProductOnhandCustomer where CusCode = 'C0002'"
                                " and Barcode = '%1' and BalanceYear = %2 and PeriodNo = %3")
                            .arg(DemoData::barcodeOfUnit(unit))
                            .arg(today.year())
                            .arg(today.month()))
                .toDouble();
        };
        QMap<int, double> before;
        for (int unit = 1; unit <= 5; ++unit)
            before[unit] = balance(unit);
        const int linesBefore = dbs.scalar("select count(*) from Tarvo_Consignment").toInt();
        dbs.company().close(); // the test's own connection stays out of the way

        const int perProcess = 120;
        const QString tool = qEnvironmentVariable("TARVO_BINARY_DIR") + "/tests/save_lines";
        QProcess a, b;
        a.start(tool, {dbs.server(), QString::number(perProcess), "A"});
        b.start(tool, {dbs.server(), QString::number(perProcess), "B"});
        QVERIFY(a.waitForFinished(120000));
        QVERIFY(b.waitForFinished(120000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);

        QCOMPARE(dbs.scalar("select count(*) from Tarvo_Consignment").toInt(), linesBefore + 2 * perProcess);
        QCOMPARE(dbs.scalar("select count(*) from Tarvo_Consignment where UserKeyIn = 'A'").toInt(), perProcess);
        QCOMPARE(dbs.scalar("select count(*) from Tarvo_Consignment where UserKeyIn = 'B'").toInt(), perProcess);
        // Each process: line i sells (or every third takes back) 1 + i % 4 of unit 1 + i % 5.
        QMap<int, double> expected = before;
        for (int i = 0; i < perProcess; ++i)
            expected[1 + i % 5] += 2 * ((i % 3 == 2) ? 1 : -1) * (1.0 + i % 4);
        for (int unit = 1; unit <= 5; ++unit)
            QCOMPARE(balance(unit), expected[unit]);
    }

    // Two processes sending the same lines with the same request ids at once, as two resends of
    // one line might race: each line is stored once, by one of them, with one on-hand change.
    void twoProcessesSendTheSameRequestIds()
    {
        DemoDatabases dbs;
        const QDate today = QDate::currentDate();
        const QString balanceOfUnit1 = QString("select coalesce(sum(Quantity), 0) from ProductOnhandCustomer"
                                               " where CusCode = 'C0002' and Barcode = '%1' and BalanceYear = %2"
                                               " and PeriodNo = %3")
                                           .arg(DemoData::barcodeOfUnit(1))
                                           .arg(today.year())
                                           .arg(today.month());
        const double before = dbs.scalar(balanceOfUnit1).toDouble();
        const int linesBefore = dbs.scalar("select count(*) from Tarvo_Consignment").toInt();
        dbs.company().close();

        const int count = 120;
        const QString tool = qEnvironmentVariable("TARVO_BINARY_DIR") + "/tests/save_lines";
        QProcess a, b;
        a.start(tool, {dbs.server(), QString::number(count), "A", "ids"});
        b.start(tool, {dbs.server(), QString::number(count), "B", "ids-backwards"});
        QVERIFY(a.waitForStarted() && b.waitForStarted());
        a.write("go\n");
        b.write("go\n");
        QVERIFY(a.waitForFinished(120000));
        QVERIFY(b.waitForFinished(120000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        const QList<QByteArray> outA = a.readAllStandardOutput().trimmed().split(' ');
        const QList<QByteArray> outB = b.readAllStandardOutput().trimmed().split(' ');
        QCOMPARE(outA.size(), 2);
        QCOMPARE(outB.size(), 2);
        QCOMPARE(outA[0].toInt() + outB[0].toInt(), count); // stored
        QCOMPARE(outA[1].toInt() + outB[1].toInt(), count); // found already stored

        QCOMPARE(dbs.scalar("select count(*) from Tarvo_Consignment").toInt(), linesBefore + count);
        QCOMPARE(dbs.scalar("select count(*) from Tarvo_ConsignmentRequest").toInt(), count);
        double expected = before;
        for (int i = 0; i < count; i += 5) // unit 1: lines 0, 5, 10, ...
            expected += ((i % 3 == 2) ? 1 : -1) * (1.0 + i % 4);
        QCOMPARE(dbs.scalar(balanceOfUnit1).toDouble(), expected);
    }
};

QTEST_GUILESS_MAIN(TestConcurrency)
#include "tst_concurrency.moc"
