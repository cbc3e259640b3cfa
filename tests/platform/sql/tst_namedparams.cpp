#include "platform/core/Exceptions.h"
#include "platform/sql/NamedParams.h"

#include <QDate>
#include <QTest>

using namespace platform;

class TestNamedParams : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void markersBecomePositional_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("plain") << "select * from t where a = :A and b=:b"
                               << "select * from t where a = ? and b=?" << QStringList{"A", "b"};
        QTest::newRow("repeated") << "x between :Begin and :End or y between :begin and :END"
                                  << "x between ? and ? or y between ? and ?" << QStringList{"Begin", "End", "begin", "END"};
        QTest::newRow("in quotes") << "select ':NotA', \":NorThis\" , :Real"
                                   << "select ':NotA', \":NorThis\" , ?" << QStringList{"Real"};
        QTest::newRow("doubled quote") << "select 'it''s :no', :yes"
                                       << "select 'it''s :no', ?" << QStringList{"yes"};
        QTest::newRow("brackets") << "select [a:b], :c"
                                  << "select [a:b], ?" << QStringList{"c"};
        QTest::newRow("line comment") << "select 1 -- :gone\nwhere x=:kept"
                                      << "select 1 -- :gone\nwhere x=?" << QStringList{"kept"};
        QTest::newRow("block comment") << "/* :gone */ select :kept /* :also\n gone */"
                                       << "/* :gone */ select ? /* :also\n gone */" << QStringList{"kept"};
        QTest::newRow("thai comment") << "Select 1 -- So ที่ยังไม่ Clear (+)\nWhere a = :GetCode"
                                      << "Select 1 -- So ที่ยังไม่ Clear (+)\nWhere a = ?" << QStringList{"GetCode"};
        QTest::newRow("time text and casts") << "select '10:30', a::int, :p"
                                             << "select '10:30', a::int, ?" << QStringList{"p"};
        QTest::newRow("exec commas") << "Exec P :UserCode, :UserKeyIn ,:Customer"
                                     << "Exec P ?, ? ,?" << QStringList{"UserCode", "UserKeyIn", "Customer"};
    }
    void markersBecomePositional()
    {
        QFETCH(QString, sql);
        QFETCH(QString, text);
        QFETCH(QStringList, names);
        const PositionalStatement ps = toPositional(sql);
        QCOMPARE(ps.text, text);
        QCOMPARE(ps.names, names);
    }

    void valuesMatchNamesWithoutCase()
    {
        ParamList params;
        params.set("ChkFree", "Y");
        params.set("begin", QDate(2024, 1, 31));
        params.set("CHKFREE", "N"); // the same parameter, set again
        const QVariantList v = positionalValues({"Chkfree", "BEGIN", "chkfree"}, params, SqlDialect::SqlServer);
        QCOMPARE(v.size(), 3);
        QCOMPARE(v[0].toString(), QString("N"));
        QCOMPARE(v[1].toDate(), QDate(2024, 1, 31));
        QCOMPARE(v[2].toString(), QString("N"));
        QCOMPARE(params.names(), QStringList({"ChkFree", "begin"}));
    }

    void missingParameterIsRefused()
    {
        ParamList params;
        params.set("a", 1);
        try {
            positionalValues({"a", "Missing"}, params, SqlDialect::Sqlite);
            QFAIL("a missing parameter was bound");
        } catch (const EDatabaseError &e) {
            QVERIFY(e.message().contains("Missing"));
        }
        // A parameter set to NULL on purpose is a value.
        params.set("Missing", QVariant());
        QCOMPARE(positionalValues({"a", "Missing"}, params, SqlDialect::Sqlite).size(), 2);
    }

    void datesBecomeStoredTextForTheEmbeddedEngine()
    {
        ParamList params;
        params.set("d", QDate(2024, 2, 29));
        params.set("t", QDateTime(QDate(2024, 12, 1), QTime(7, 5, 9)));
        const QVariantList lite = positionalValues({"d", "t"}, params, SqlDialect::Sqlite);
        QCOMPARE(lite[0].toString(), QString("2024-02-29"));
        QCOMPARE(lite[1].toString(), QString("2024-12-01 07:05:09"));
        const QVariantList server = positionalValues({"d"}, params, SqlDialect::SqlServer);
        QCOMPARE(server[0].typeId(), int(QMetaType::QDate));
    }

    void distinctMarkerNames()
    {
        QCOMPARE(markerNames("a=:CusCode and b=:cuscode and c=:Begin -- :x"), QStringList({"CUSCODE", "BEGIN"}));
    }
};

QTEST_GUILESS_MAIN(TestNamedParams)
#include "tst_namedparams.moc"
