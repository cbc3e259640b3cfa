// Every statement entry against the texts the system fixes: the T-SQL text line for line, the
// same parameters and result columns for the embedded engine's text, and the embedded text
// runs on a real database.
#include "AllStatements.h"
#include "SelectList.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/NamedParams.h"
#include "platform/sql/Query.h"
#include "support/DemoDatabases.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTest>

using namespace platform;

namespace {

// The golden text of a statement; when there is none, *message says so.
QStringList goldenLines(const QString &name, QString *message)
{
    QFile f(qEnvironmentVariable("TARVO_SOURCE_DIR") + "/tests/golden/statements/" + name + ".sql");
    if (!f.open(QIODevice::ReadOnly)) {
        *message = "no golden text " + f.fileName();
        return {};
    }
    QString text = QString::fromUtf8(f.readAll());
    if (text.endsWith('\n'))
        text.chop(1);
    return text.split('\n');
}

QStringList upper(QStringList list)
{
    for (QString &s : list)
        s = s.toUpper();
    return list;
}

} // namespace

class TestStatements : public QObject
{
    Q_OBJECT
    DemoDatabases m_dbs;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDir(qEnvironmentVariable("TARVO_SOURCE_DIR") + "/tests/golden/statements").exists(),
                 "TARVO_SOURCE_DIR must name the source tree");
    }

    void entries_data()
    {
        QTest::addColumn<const Statement *>("statement");
        QSet<QString> names;
        for (const Statement *s : allStatements()) {
            if (names.contains(s->name))
                continue; // the same entry listed by two components
            names.insert(s->name);
            QTest::newRow(s->name) << s;
        }
    }

    void entries()
    {
        QFETCH(const Statement *, statement);
        QString why;
        const QStringList golden = goldenLines(statement->name, &why);
        QVERIFY2(why.isEmpty(), qPrintable(why));
        QCOMPARE(statement->tsql, golden);

        const QString tsql = statement->tsql.join('\n');
        const QString lite = statement->lines(SqlDialect::Sqlite).join('\n');
        QCOMPARE(markerNames(lite), markerNames(tsql));

        const QStringList tsqlColumns = selectListNames(tsql);
        if (tsqlColumns.isEmpty())
            return; // not a select with a named list: nothing more to compare
        Query q(&m_dbs.company());
        q.setSql(statement->lines(SqlDialect::Sqlite));
        for (const QString &name : markerNames(lite))
            q.setParam(name, QVariant());
        try {
            q.open();
        } catch (const EDatabaseError &e) {
            QFAIL(qPrintable("the embedded text does not run: " + e.message()));
        }
        QCOMPARE(upper(q.fieldNames()), upper(tsqlColumns));
    }

    void everyGoldenTextHasItsEntry()
    {
        QSet<QString> names;
        for (const Statement *s : allStatements())
            names.insert(s->name);
        const QDir dir(qEnvironmentVariable("TARVO_SOURCE_DIR") + "/tests/golden/statements");
        QStringList missing;
        for (const QString &file : dir.entryList({"*.sql"}))
            if (!names.contains(file.chopped(4)))
                missing << file.chopped(4);
        QVERIFY2(missing.isEmpty(), qPrintable("golden texts without an entry: " + missing.join(", ")));
    }

    void selectListReader()
    {
        QCOMPARE(
            selectListNames("Select U.Code UserCode, C.Code CusCode, LTrim(RTrim(C.NameShort)) CusName , C.Id CusId\nfrom X"),
            QStringList({"UserCode", "CusCode", "CusName", "CusId"}));
        QCOMPARE(selectListNames("Select 1 DocType, H.IvDate DocDate, 'รับ 'ConsigTypeText, -D.Quantity Quantity,\n"
                                 "(Case When a = 'R'Then 1 Else 2\nEnd)Quantity2 From T Union All Select 2, 3"),
                 QStringList({"DocType", "DocDate", "ConsigTypeText", "Quantity", "Quantity2"}));
        QCOMPARE(selectListNames("SELECT   *\nFROM Config"), QStringList());
        QCOMPARE(selectListNames("Update Menu Set Version = 3"), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestStatements)
#include "tst_statements.moc"
