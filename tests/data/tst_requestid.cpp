// Whether the company database's save procedure takes a request id, asked once per connection,
// and the answer of a save that passes one: on the embedded engine, and through the real ODBC
// stack against the TDS stand-in.
#include "consignment/ConsignmentRequestSql.h"
#include "data/RequestIdSupport.h"
#include "data/SaveRequestAnswer.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "support/DemoDatabases.h"
#include "support/TdsStandIn.h"

#include <QJsonArray>
#include <QTest>
#include <QUuid>

using namespace platform;

namespace {

int requestsMatching(const TdsStandIn &server, const QString &fragment)
{
    return int(server.texts().filter(fragment).size());
}

} // namespace

class TestRequestId : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void askedOncePerEmbeddedConnection()
    {
        DemoDatabases dbs(false);
        RequestIdSupport support(&dbs.company());
        QVERIFY(support.saveTakesRequestId());
        // A database file made before the key table existed: the answer changes with the next
        // connection, or once forgotten.
        dbs.company().execute("Drop Table Tarvo_ConsignmentRequest");
        QVERIFY(support.saveTakesRequestId());
        support.forget();
        QVERIFY(!support.saveTakesRequestId());
        dbs.company().execute("Create Table Tarvo_ConsignmentRequest (RequestId Text Not Null Primary Key,"
                              " Consignment Integer Not Null, Workstation Text, CreateTime Text Not Null)");
        QVERIFY(!support.saveTakesRequestId());
        dbs.company().close();
        QVERIFY(support.saveTakesRequestId());
    }

    void overOdbcToTheServer()
    {
        TdsStandIn server;
        const QString why = server.start();
        QVERIFY2(why.isEmpty(), qPrintable(why));
        QVERIFY(server.writeIni(server.dir() + "/QLM.INI"));
        Database db("DMDATA");
        db.setIniPath(server.dir() + "/QLM.INI");
        db.params = TdsStandIn::params("DEMO");
        server.answer("From sys.parameters", QJsonArray{TdsStandIn::resultSet({"TakesRequestId int"}, {QJsonArray{1}})});
        RequestIdSupport support(&db);
        QVERIFY(support.saveTakesRequestId());
        QVERIFY(support.saveTakesRequestId());
        QCOMPARE(requestsMatching(server, "From sys.parameters"), 1);
        // A server without the new procedure, reached on the next connection.
        server.answer("From sys.parameters", QJsonArray{TdsStandIn::resultSet({"TakesRequestId int"}, {QJsonArray{0}})});
        db.close();
        QVERIFY(!support.saveTakesRequestId());
        QCOMPARE(requestsMatching(server, "From sys.parameters"), 2);

        // The save with its id: twelve values, the id last; the answer row read.
        server.answer("^Exec Save_Tarvo_Consignment @P1, @P2, @P3, @P4, @P5, @P6, @P7, @P8, @P9, @P10, @P11, @P12$",
                      QJsonArray{TdsStandIn::resultSet({"RequestOutcome varchar", "ConsignmentId int"},
                                                       {QJsonArray{"AlreadyStored", 41}})});
        const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        Query save(&db);
        save.setStatement(ConsignmentRequestSql::SaveLineWithRequestId);
        const QVariantList values{"BR01", "SOMCHAI", 1, "S", "8850000000001", "", 2.0, 19.99, "N", 19.99, QDate(2024, 3, 15), id};
        const QStringList names{"UserCode", "UserKeyIn", "Customer", "ConsigType", "Barcode",  "SerialNumber",
                                "Quantity", "Price",     "ChkFree",  "OldPrice",   "EditDate", "RequestId"};
        for (int i = 0; i < names.size(); ++i)
            save.setParam(names[i], values[i]);
        save.open();
        const SaveRequestAnswer answer = SaveRequestAnswer::read(save);
        QVERIFY(answer.alreadyStored);
        QCOMPARE(answer.line, 41);
        QJsonArray sent;
        for (const QJsonObject &e : server.log())
            if (e.value("text").toString().startsWith("Exec Save_Tarvo_Consignment"))
                sent = e.value("params").toArray();
        QCOMPARE(sent.size(), 12);
        QCOMPARE(sent.last().toObject().value("value").toString(), id);

        // A server that stored the line but said nothing of the id is no answer.
        server.answer("^Exec Save_Tarvo_Consignment", QJsonArray());
        save.open();
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, SaveRequestAnswer::read(save));
    }
};

QTEST_GUILESS_MAIN(TestRequestId)
#include "tst_requestid.moc"
