// The SQL Server path of the data layer through the real ODBC stack (QODBC, unixODBC, FreeTDS)
// against the TDS stand-in: the login and session, statement time-outs, numbers and Thai text
// on the wire, errors that follow other results, procedure batches and transactions, one request
// per statement, a connection lost and opened again, text the code page cannot hold, a wait
// bounded by its time limit.
#include "platform/core/Exceptions.h"
#include "platform/sql/ConnectionSettings.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/sql/ServerErrors.h"
#include "platform/sql/ServerWait.h"
#include "platform/sql/StoredProc.h"
#include "support/TdsStandIn.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUuid>
#include <memory>

using namespace platform;

namespace {

QJsonObject resultSet(const QStringList &columns, const QList<QJsonArray> &rows)
{
    return TdsStandIn::resultSet(columns, rows);
}

QList<QJsonObject> entriesOf(const QList<QJsonObject> &log, const QString &kind)
{
    QList<QJsonObject> found;
    for (const QJsonObject &e : log)
        if (e.value("kind").toString() == kind)
            found << e;
    return found;
}

// What an EDatabaseError raised by run says, or "" when nothing was raised.
template <typename F>
QString failure(F run)
{
    try {
        run();
    } catch (const EDatabaseError &e) {
        return e.message().isEmpty() ? QStringLiteral("(empty message)") : e.message();
    }
    return QString();
}

// The log entries of the requests whose text matches.
QList<QJsonObject> requestsOf(const QList<QJsonObject> &log, const QString &pattern)
{
    const QRegularExpression re(pattern);
    QList<QJsonObject> found;
    for (const QJsonObject &e : log)
        if (re.match(e.value("text").toString()).hasMatch())
            found << e;
    return found;
}

// Nothing went out on a connection after the server or the driver ended it.
bool nothingSentAfterDisconnect(const QList<QJsonObject> &log)
{
    QSet<int> ended;
    for (const QJsonObject &e : log) {
        const int conn = e.value("conn").toInt();
        if (ended.contains(conn))
            return false;
        if (e.value("kind").toString() == "disconnect")
            ended.insert(conn);
    }
    return true;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestSqlServerPath : public QObject
{
    Q_OBJECT
    TdsStandIn m_server;
    QString m_ini;

    std::unique_ptr<Database> connect(const QStringList &extra = {"MAX QUERY TIME=600", "TDS PACKET SIZE=4096"},
                                      const QString &database = "DEMO")
    {
        auto db = std::make_unique<Database>("DMDATA");
        db->setIniPath(m_ini);
        db->params = TdsStandIn::params(database, extra);
        db->open();
        return db;
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString why = m_server.start();
        QVERIFY2(why.isEmpty(), qPrintable(why));
        m_ini = m_server.dir() + "/QLM.INI";
        QVERIFY(m_server.writeIni(m_ini, "Password=se;cr}et\n"));
    }

    void init()
    {
        m_server.clearRules();
        m_server.clearLog();
    }

    void loginOnceAndSessionSettings()
    {
        auto db = connect();
        const QString cs = db->settings().databaseName;
        QCOMPARE(cs.count("UID="), 1);
        QCOMPARE(cs.count("PWD="), 1);
        const QList<QJsonObject> log = m_server.log();
        const QList<QJsonObject> logins = entriesOf(log, "login");
        QCOMPARE(logins.size(), 1);
        QCOMPARE(logins[0].value("user").toString(), QString("qlm"));
        QCOMPARE(logins[0].value("password").toString(), QString("se;cr}et"));
        QCOMPARE(logins[0].value("database").toString(), QString("DEMO"));
        QCOMPARE(logins[0].value("language").toString(), QString("us_english"));
        QCOMPARE(logins[0].value("app").toString(), QCoreApplication::applicationName());
        QCOMPARE(logins[0].value("tds_version").toString(), QString("74000004"));
        // The session settings go as a batch of their own (inside a prepared statement or a
        // cursor they would end with it); the only cursor is Qt's own at connect.
        QCOMPARE(m_server.texts(), QStringList{Database::sqlServerSessionSettings()});
        QCOMPARE(entriesOf(log, "batch").last().value("text").toString(), Database::sqlServerSessionSettings());
        for (const QJsonObject &rpc : entriesOf(log, "rpc"))
            if (rpc.value("proc").toString() == "sp_cursoropen")
                QCOMPARE(rpc.value("params").toArray().at(1).toObject().value("value").toString(),
                         QString("SET QUOTED_IDENTIFIER ON"));
    }

    void connectionStringFromTheSettingsFile_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QStringList>("contains");
        QTest::addColumn<QString>("error");
        const QString freeTds = "Driver=FreeTDS\nPort=1433\n";
        QTest::newRow("several options") << freeTds + "Encryption=require\nOptions=MARS_Connection=no;TextSize=64512\n"
                                         << QStringList{"Encryption=require;",      "MARS_Connection=no;",
                                                        "TDS_Version=7.4;",         "PORT=1433;",
                                                        "Language=us_english;",     "ClientCharset=UTF-8;",
                                                        "SQL_ATTR_LOGIN_TIMEOUT=15"}
                                         << QString();
        QTest::newRow("login time-out") << freeTds + "LoginTimeout=4\n" << QStringList{"SQL_ATTR_LOGIN_TIMEOUT=4"} << QString();
        QTest::newRow("no login time-out") << freeTds + "LoginTimeout=0\n" << QStringList() << "LoginTimeout 0";
        QTest::newRow("save time-out") << freeTds + "SaveTimeout=4\n" << QStringList() << QString();
        QTest::newRow("no save time-out") << freeTds + "SaveTimeout=0\n" << QStringList() << "SaveTimeout 0";
        QTest::newRow("2008 R2") << freeTds + "Options=TDS_Version=7.3\n" << QStringList{"TDS_Version=7.3;"} << QString();
        QTest::newRow("version left to guess") << freeTds + "Options=TDS_Version=auto\n" << QStringList() << "TDS_Version auto";
        QTest::newRow("language of its own") << freeTds + "Options=Language=Thai\n" << QStringList() << "must not set Language";
        QTest::newRow("password FreeTDS cannot take") << freeTds + "Password=a};b\n" << QStringList() << "PWD";
        QTest::newRow("Microsoft's driver") << "Driver=ODBC Driver 17 for SQL Server\nPort=1433\nPassword=a};b\n"
                                            << QStringList{"SERVER=sqlhost,1433;", "PWD={a}};b};", "Language=us_english;",
                                                           "Encrypt=no;"}
                                            << QString();
        // Encryption: the key in each driver's own words; the other driver's keywords, or the
        // driver's own in Options, are refused rather than ignored.
        QTest::newRow("encryption requested by default") << freeTds << QStringList{"Encryption=request;"} << QString();
        QTest::newRow("encryption off") << freeTds + "Encryption=Off\n" << QStringList{"Encryption=off;"} << QString();
        QTest::newRow("encryption required, Microsoft's driver")
            << "Driver=ODBC Driver 18 for SQL Server\nEncryption=require\nOptions=TrustServerCertificate=no\n"
            << QStringList{"Encrypt=yes;", "TrustServerCertificate=no;"} << QString();
        QTest::newRow("unknown encryption level") << freeTds + "Encryption=yes\n" << QStringList() << "Encryption yes is not off";
        QTest::newRow("Microsoft's keyword for FreeTDS") << freeTds + "Options=TDS_Version=7.4;Encrypt=yes\n"
                                                         << QStringList() << "does not know Encrypt and would ignore it";
        QTest::newRow("certificate option for FreeTDS") << freeTds + "Options=TrustServerCertificate=yes\n"
                                                        << QStringList() << "does not know TrustServerCertificate";
        QTest::newRow("FreeTDS's keyword for Microsoft's driver")
            << "Driver=ODBC Driver 18 for SQL Server\nOptions=Encryption=require\n"
            << QStringList() << "does not know Encryption";
        QTest::newRow("encryption in Options") << freeTds + "Options=encryption=off\n"
                                               << QStringList() << "must not set encryption: use the key Encryption";
        QTest::newRow("the package's sample")
            << QString::fromUtf8(readFile(qEnvironmentVariable("TARVO_SOURCE_DIR") + "/packaging/examples/QLM.INI"))
            << QStringList{"Encryption=request;", "TDS_Version=7.4;", "PORT=1433;"} << QString();
    }
    void connectionStringFromTheSettingsFile()
    {
        QFETCH(QString, ini);
        QFETCH(QStringList, contains);
        QFETCH(QString, error);
        QTemporaryDir dir;
        QFile f(dir.filePath("QLM.INI"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write((ini.contains("[DATABASE]") ? ini : "[DATABASE]\n" + ini).toUtf8());
        f.close();
        const ConnectionSettings s = ConnectionSettings::resolve(
            {"DATABASE NAME=DEMO", "SERVER NAME=sqlhost", "USER NAME=qlm", "PASSWORD=marigold"}, f.fileName());
        QVERIFY2(s.error.contains(error), qPrintable(s.error));
        QCOMPARE(s.error.isEmpty(), error.isEmpty());
        for (const QString &part : contains)
            QVERIFY2((s.databaseName + ' ' + s.connectOptions).contains(part),
                     qPrintable(s.databaseName + ' ' + s.connectOptions));
        if (!ini.contains("ODBC Driver") && error.isEmpty())
            QCOMPARE(s.databaseName.count("TDS_Version="), 1);
        if (error.isEmpty())
            QCOMPARE(s.saveTimeoutSeconds, ini.contains("SaveTimeout=4") ? 4 : ConnectionSettings::defaultSaveTimeoutSeconds);
    }

    void everyStatementHasTheTimeOut_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("query") << "query";
        QTest::newRow("procedure") << "procedure";
        QTest::newRow("batch") << "batch";
    }
    void everyStatementHasTheTimeOut()
    {
        QFETCH(QString, kind);
        m_server.answer("Slow", "silent");
        m_server.answer("^SELECT 2 AS After", QJsonArray{resultSet({"After int"}, {QJsonArray{2}})});
        auto db = connect({"MAX QUERY TIME=1"});
        const QString message = failure([&] {
            if (kind == "query") {
                Query q(db.get());
                q.setSql({"SELECT 1 AS Slow WHERE 1 = :One"});
                q.setParam("One", 1);
                q.open();
            } else if (kind == "procedure") {
                StoredProc sp(db.get(), "SlowProcedure");
                sp.addParam("Result", QMetaType::Int, StoredProc::Direction::Result);
                sp.execProc();
            } else {
                db->execute("WAITFOR DELAY '00:00:05' -- Slow");
            }
        });
        QVERIFY2(message.contains("Timeout expired"), qPrintable(message));
        QCOMPARE(entriesOf(m_server.log(), "attention").size(), 1);
        // The statement was cancelled; the connection in doubt is replaced by a new one.
        Query after(db.get());
        after.setSql({"SELECT 2 AS After"});
        after.open();
        QCOMPARE(after.fieldByName("After").asInteger(), 2);
        QCOMPARE(entriesOf(m_server.log(), "login").size(), 2);
        QVERIFY(nothingSentAfterDisconnect(m_server.log()));
    }

    void numbersRoundTripExactly()
    {
        const QList<double> values{19.99, 0.3, 29.925, 1e-7, 123456789.123};
        QJsonArray row;
        QStringList columns;
        for (int i = 0; i < values.size(); ++i) {
            columns << QString("F%1 float").arg(i) << QString("M%1 money").arg(i);
            row << values[i] << values[i];
        }
        m_server.answer("^Select @P1, @P2", QJsonArray{resultSet(columns, {row})});
        auto db = connect();
        Query q(db.get());
        q.setSql({"Select :F0, :F1, :F2, :F3, :F4"});
        for (int i = 0; i < values.size(); ++i)
            q.setParam(QString("F%1").arg(i), values[i]);
        q.open();
        const QJsonArray sent = entriesOf(m_server.log(), "rpc").last().value("params").toArray();
        QCOMPARE(sent.size(), values.size());
        for (int i = 0; i < values.size(); ++i) {
            QCOMPARE(sent[i].toObject().value("type").toString(), QString("floatn"));
            QCOMPARE(sent[i].toObject().value("value").toDouble(), values[i]);
            QCOMPARE(q.fieldByName(QString("F%1").arg(i)).value(), QVariant(values[i]));
            QCOMPARE(q.fieldByName(QString("M%1").arg(i)).asFloat(), i == 3 ? 0.0 : values[i]); // money keeps 4 decimals
        }
    }

    void thaiTextUnderAThaiCollation()
    {
        const QString longText = QString("ไทย").repeated(1500); // read in more than one piece
        m_server.answer(
            "^Select @P1 Name",
            QJsonArray{resultSet({"Name varchar", "Wide nvarchar", "Long varchar"}, {QJsonArray{"ไทย", "ไทย", longText}})});
        auto db = connect();
        Query q(db.get());
        q.setSql({"Select :Name Name"});
        q.setParam("Name", "ไทย");
        q.open();
        const QJsonObject sent = entriesOf(m_server.log(), "rpc").last().value("params").toArray().at(0).toObject();
        QCOMPARE(sent.value("type").toString(), QString("varchar"));
        QCOMPARE(sent.value("collation").toString(), QString("1e04d00000")); // Thai_CI_AS
        QCOMPARE(sent.value("raw").toString(), QString("e4b7c2"));           // ไทย in code page 874
        QCOMPARE(sent.value("value").toString(), QString("ไทย"));
        QCOMPARE(q.fieldByName("Name").asString(), QString("ไทย"));
        QCOMPARE(q.fieldByName("Wide").asString(), QString("ไทย"));
        QCOMPARE(q.fieldByName("Long").asString(), longText);
    }

    void thaiTextALatinDatabaseCannotHoldIsAnError()
    {
        m_server.setCollations({{"LATIN", "SQL_Latin1_General_CP1_CI_AS"}});
        m_server.answer("^Select @P1 Name", QJsonArray{resultSet({"Name varchar"}, {QJsonArray{"x"}})});
        auto db = connect({"MAX QUERY TIME=600"}, "LATIN");
        Query q(db.get());
        q.setSql({"Select :Name Name"});
        q.setParam("Name", "ไทย");
        const QString message = failure([&] { q.open(); });
        m_server.setCollations({});
        QVERIFY2(message.contains("Error converting characters into server's character set"), qPrintable(message));
        for (const QJsonObject &rpc : entriesOf(m_server.log(), "rpc"))
            QVERIFY(rpc.value("text").toString() != "Select @P1 Name"); // nothing went out
        // The driver broke off the request half-way; the connection is opened again.
        q.setParam("Name", "x");
        q.open();
        QCOMPARE(q.fieldByName("Name").asString(), QString("x"));
    }

    void errorsAfterOtherResultsAreRaised_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QJsonArray>("answer");
        const QJsonObject count{{"rowcount", 1}};
        const QJsonObject rows = resultSet({"A int"}, {QJsonArray{1}});
        const QJsonObject refused{{"error", QJsonArray{50000, "Cannot insert duplicate key row in object 'X'."}}};
        QTest::newRow("after a row count") << "exec" << QJsonArray{count, refused};
        QTest::newRow("after rows") << "open" << QJsonArray{rows, refused};
        QTest::newRow("between result sets") << "open" << QJsonArray{rows, refused, rows};
        QTest::newRow("batch, after a row count") << "batch" << QJsonArray{count, count, refused};
    }
    void errorsAfterOtherResultsAreRaised()
    {
        QFETCH(QString, kind);
        QFETCH(QJsonArray, answer);
        m_server.answer("Refused", answer);
        auto db = connect();
        const QString message = failure([&] {
            if (kind == "batch") {
                db->execute("Update X Set A = 1 -- Refused");
                return;
            }
            Query q(db.get());
            q.setSql({"Exec Refused :A"});
            q.setParam("A", 1);
            kind == "exec" ? q.execSql() : q.open();
        });
        QVERIFY2(message.contains("Cannot insert duplicate key row in object 'X'."), qPrintable(message));
    }

    void procedureOutputsComeFromTheLastResultSet()
    {
        const QJsonObject own = resultSet({"Noise int"}, {QJsonArray{7}});
        const QJsonObject outputs =
            resultSet({" int", " nvarchar", " int", " datetime"}, {QJsonArray{0, "ฝากขาย", 12, "2024-03-15T10:20:30.000"}});
        m_server.answer("EXEC @Result = MENUCAPTION", QJsonArray{own, outputs});
        auto db = connect();
        StoredProc sp(db.get(), "MENUCAPTION");
        sp.addParam("Result", QMetaType::Int, StoredProc::Direction::Result);
        sp.addParam("@MENUID", QMetaType::Int, StoredProc::Direction::Input);
        sp.addParam("@CAPTION", QMetaType::QString, StoredProc::Direction::Output);
        sp.addParam("@SALESID", QMetaType::Int, StoredProc::Direction::Output);
        sp.addParam("@WHEN", QMetaType::QDateTime, StoredProc::Direction::Output);
        sp.setParam("@MENUID", 1);
        sp.execProc();
        QCOMPARE(sp.paramValue("@CAPTION").toString(), QString("ฝากขาย"));
        QCOMPARE(sp.paramValue("@SALESID").toInt(), 12);
        QCOMPARE(sp.paramValue("@WHEN").toDateTime(), QDateTime(QDate(2024, 3, 15), QTime(10, 20, 30)));
        QCOMPARE(m_server.texts().last(),
                 QString("SET NOCOUNT ON; DECLARE @Result int, @CAPTION nvarchar(4000), @SALESID int, @WHEN datetime;"
                         " EXEC @Result = MENUCAPTION @MENUID = @P1, @CAPTION = @CAPTION OUTPUT, @SALESID = @SALESID OUTPUT,"
                         " @WHEN = @WHEN OUTPUT; SELECT @Result, @CAPTION, @SALESID, @WHEN;"));
    }

    void transactionsUseTheDriversCalls()
    {
        m_server.answer("^Update Stock", QJsonArray());
        auto db = connect();
        db->beginTransaction();
        db->execute("Update Stock Set Quantity = 1");
        db->commit();
        db->beginTransaction();
        db->execute("Update Stock Set Quantity = 2");
        db->rollback();
        QStringList requests;
        for (const QJsonObject &e : entriesOf(m_server.log(), "transaction"))
            requests << e.value("request").toString();
        QVERIFY2(requests.mid(0, 2) == QStringList({"begin", "commit"}) && requests.contains("rollback"),
                 qPrintable(requests.join(' ')));
        for (const QString &text : m_server.texts())
            QVERIFY2(!text.contains("TRANSACTION", Qt::CaseInsensitive) && !text.startsWith("COMMIT"), qPrintable(text));
    }

    // What the Encryption key makes FreeTDS ask for in its pre-login (the ENCRYPTION option). The
    // stand-in offers no encryption: a request goes on in clear, a requirement gives up.
    void encryptionOnTheWire_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<int>("asked");
        QTest::addColumn<bool>("connects");
        QTest::newRow("default") << QString() << 0 << true; // encrypt the login when the server can
        QTest::newRow("request") << "Encryption=request\n" << 0 << true;
        QTest::newRow("off") << "Encryption=off\n" << 2 << true; // not supported by the client
        QTest::newRow("require") << "Encryption=require\n" << 1 << false;
    }
    void encryptionOnTheWire()
    {
        QFETCH(QString, ini);
        QFETCH(int, asked);
        QFETCH(bool, connects);
        QVERIFY(m_server.writeIni(m_ini, "Password=se;cr}et\n" + ini));
        const auto restoreIni = qScopeGuard([this] { m_server.writeIni(m_ini, "Password=se;cr}et\n"); });
        const QString message = failure([&] { connect(); });
        const QList<QJsonObject> prelogins = entriesOf(m_server.log(), "prelogin");
        QVERIFY(!prelogins.isEmpty());
        for (const QJsonObject &prelogin : prelogins)
            QCOMPARE(prelogin.value("encryption").toInt(-1), asked);
        QCOMPARE(entriesOf(m_server.log(), "login").size(), connects ? 1 : 0);
        QVERIFY2(message.isEmpty() == connects, qPrintable(message));
    }

    void driverWordingsReachTheProgram()
    {
        // FreeTDS's own words for a server that never answers the login, a connection that the
        // server ends during a statement, and every statement after that.
        TdsStandIn silent({"--silent"});
        QVERIFY(silent.start().isEmpty());
        QVERIFY(silent.writeIni(m_ini, "LoginTimeout=1\n"));
        QString message = failure([&] { connect(); });
        QVERIFY2(message.contains("Unable to connect to data source"), qPrintable(message));

        QVERIFY(m_server.writeIni(m_ini, "Password=se;cr}et\n"));
        m_server.answer("Lost", "close");
        auto db = connect();
        Query q(db.get());
        q.setSql({"Select 1 Lost"});
        message = failure([&] { q.open(); });
        QVERIFY2(message.contains("Unexpected EOF from the server"), qPrintable(message));
        // The connection the server ended is not used again: the next statement logs in anew.
        m_server.clearRules();
        m_server.answer("^Select 1 Lost", QJsonArray{resultSet({"Lost int"}, {QJsonArray{1}})});
        q.open();
        QCOMPARE(q.fieldByName("Lost").asInteger(), 1);
        QVERIFY(nothingSentAfterDisconnect(m_server.log()));
    }

    // A read whose connection went is sent once more on a new one; a write is not, and says its
    // outcome is unknown; the next statement logs in again and works.
    void aLostConnectionIsOpenedAgain()
    {
        m_server.answer("^Select 1 AS Once", QJsonArray{resultSet({"Once int"}, {QJsonArray{1}})});
        m_server.answer("^Select 1 AS Once", "close", 1);
        m_server.answer("^Update Stock", QJsonArray{});
        m_server.answer("^Update Stock", "close", 1);
        auto db = connect();
        Query read(db.get());
        read.setSql({"Select 1 AS Once"});
        read.open();
        QCOMPARE(read.fieldByName("Once").asInteger(), 1);
        QList<QJsonObject> sent = requestsOf(m_server.log(), "^Select 1 AS Once");
        QCOMPARE(sent.size(), 2);
        QVERIFY(sent[0].value("conn").toInt() != sent[1].value("conn").toInt());

        Query write(db.get());
        write.setSql({"Update Stock Set Quantity = :Quantity"});
        write.setParam("Quantity", 3);
        QString unknown;
        try {
            write.execSql();
        } catch (const EOutcomeUnknown &e) {
            unknown = e.message();
        }
        QVERIFY2(unknown.contains("Unexpected EOF from the server"), qPrintable(unknown));
        QCOMPARE(requestsOf(m_server.log(), "^Update Stock").size(), 1);

        write.execSql();
        read.open();
        const QList<QJsonObject> log = m_server.log();
        QCOMPARE(requestsOf(log, "^Update Stock").size(), 2);
        QCOMPARE(entriesOf(log, "login").size(), 3);
        QVERIFY(nothingSentAfterDisconnect(log));
    }

    // A text parameter the server's code page cannot hold is refused by its name before
    // anything is sent.
    void textTheCodePageCannotHoldIsRefused()
    {
        auto db = connect();
        m_server.clearLog();
        Query q(db.get());
        q.setSql({"Select 1 From Tarvo_Consignment Where SerialNumber = :Serial"});
        q.setParam("Serial", "SN-中-1");
        StoredProc sp(db.get(), "Save_Serial");
        sp.addParam("@SerialNumber", QMetaType::QString, StoredProc::Direction::Input);
        sp.setParam("@SerialNumber", "ไทย中");
        QStringList refused;
        for (const std::function<void()> &run :
             {std::function<void()>([&] { q.open(); }), std::function<void()>([&] { sp.execProc(); })}) {
            try {
                run();
            } catch (const ETextNotSendable &e) {
                refused << e.parameter() + ' ' + e.character();
                QVERIFY2(e.message().contains("U+4E2D") && !e.message().contains("中"), qPrintable(e.message()));
            }
        }
        QCOMPARE(refused, QStringList({"Serial 中", "SerialNumber 中"}));
        QVERIFY(entriesOf(m_server.log(), "rpc").isEmpty() && entriesOf(m_server.log(), "batch").isEmpty());
    }

    // One request per statement: sent directly with its values (sp_executesql), nothing prepared
    // or unprepared, and text declared with one size whatever its length.
    void oneRequestPerStatement()
    {
        m_server.answer("^Select @P1 AS Name", QJsonArray{resultSet({"Name varchar"}, {QJsonArray{"x"}})});
        auto db = connect();
        m_server.clearLog();
        Query q(db.get());
        q.setSql({"Select :Name AS Name"});
        for (const QString &name : {QString("ไทย"), QString("ไทย").repeated(40), QString("")}) {
            q.setParam("Name", name);
            q.open();
        }
        const QList<QJsonObject> rpcs = entriesOf(m_server.log(), "rpc");
        QCOMPARE(rpcs.size(), 3);
        for (const QJsonObject &rpc : rpcs) {
            QCOMPARE(rpc.value("proc").toString(), QString("sp_executesql"));
            QCOMPARE(rpc.value("declaration").toString().toLower(), QString("@p1 varchar(8000)"));
        }
        QCOMPARE(rpcs[1].value("params").toArray().at(0).toObject().value("value").toString(), QString("ไทย").repeated(40));
        const QJsonValue empty = rpcs[2].value("params").toArray().at(0).toObject().value("value");
        QVERIFY(empty.isString() && empty.toString().isEmpty()); // an empty text, not NULL

        // A request id goes as a uniqueidentifier (its first three groups in little-endian order).
        m_server.answer("^Select @P1 AS Id", QJsonArray{resultSet({"Id varchar"}, {QJsonArray{"x"}})});
        q.setSql({"Select :Id AS Id"});
        q.setParam("Id", QUuid("{00112233-4455-6677-8899-aabbccddeeff}"));
        q.open();
        const QJsonObject id = entriesOf(m_server.log(), "rpc").last().value("params").toArray().at(0).toObject();
        QCOMPARE(id.value("type").toString(), QString("uniqueidentifier"));
        QCOMPARE(id.value("value").toString(), QString("33221100554477668899aabbccddeeff"));
    }

    // A statement with a time limit is cancelled when it passes, whether the server then answers
    // the cancel or not; meanwhile events go on, the wait is announced, and only a read may be
    // cancelled by the clerk. The connection is opened again for the next statement.
    void aBoundedWaitEnds_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<bool>("write");
        QTest::newRow("save, silent server") << "silent" << true;
        QTest::newRow("save, server deaf even to the cancel") << "deaf" << true;
        QTest::newRow("view cancelled by the clerk") << "silent" << false;
        QTest::newRow("view cancelled by the clerk, server deaf even to the cancel") << "deaf" << false;
    }
    void aBoundedWaitEnds()
    {
        QFETCH(QString, server);
        QFETCH(bool, write);
        m_server.answer("Slow", server);
        m_server.answer("^SELECT 2 AS After", QJsonArray{resultSet({"After int"}, {QJsonArray{2}})});
        int begins = 0, ends = 0;
        bool offeredCancel = false;
        ServerWait::setHooks({[&](const std::function<void()> &cancel) {
                                  ++begins;
                                  offeredCancel = bool(cancel);
                                  if (cancel && !write)
                                      QTimer::singleShot(100, cancel); // the clerk presses Esc
                              },
                              [&] { ++ends; }});
        // A thread left waiting on a deaf server ends with the driver's statement time-out, and
        // the connection waits for it when it goes: a short one here.
        auto db = server == "deaf" && !write ? connect({"MAX QUERY TIME=5", "TDS PACKET SIZE=4096"}) : connect();
        QTimer ticker;
        int ticks = 0;
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(20);
        Query q(db.get());
        q.setSql({write ? "Exec SaveSlow :A" : "Select 1 AS Slow Where 1 = :A"});
        q.setParam("A", 1);
        if (write)
            q.setTimeLimit(1);
        bool outcomeUnknown = false;
        const QString message = failure([&] {
            try {
                write ? q.execSql() : q.open();
            } catch (const EOutcomeUnknown &) {
                outcomeUnknown = true;
                throw;
            }
        });
        ticker.stop();
        ServerWait::setHooks({});
        QVERIFY2(!message.isEmpty(), "the statement did not fail");
        if (!write) // the clerk is told it was their cancel, whether or not the driver saw it end
            QVERIFY2(message.startsWith(ECancelledByUser::words()), qPrintable(message));
        else if (server == "deaf") // the driver never saw the cancel end: control came back without it
            QVERIFY2(message.contains("did not answer within 1 seconds"), qPrintable(message));
        QCOMPARE(outcomeUnknown, write);
        QVERIFY(ticks > 0);
        QCOMPARE(begins, 1);
        QCOMPARE(ends, 1);
        QCOMPARE(offeredCancel, !write);
        const QList<QJsonObject> log = m_server.log();
        int cancels = entriesOf(log, "attention").size();
        for (const QJsonObject &e : entriesOf(log, "unanswered"))
            cancels += e.value("packet").toInt() == 6;
        QCOMPARE(cancels, 1);
        Query after(db.get());
        after.setSql({"SELECT 2 AS After"});
        after.open();
        QCOMPARE(after.fieldByName("After").asInteger(), 2);
    }
};

QTEST_GUILESS_MAIN(TestSqlServerPath)
#include "tst_sqlserverpath.moc"
