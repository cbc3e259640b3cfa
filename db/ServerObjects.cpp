#include "db/ServerObjects.h"

#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/SqliteServerObjects.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
#include <QUuid>
#include <cmath>

using namespace platform;

namespace {

using SqliteServerObjects::ProcedureParam;

// Runs one statement with positional values and returns the query positioned before its rows.
QSqlQuery run(Database &db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery q(db.sqlDatabase());
    if (!q.prepare(sql))
        throw EDatabaseError(Database::errorText(q.lastError()));
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec())
        throw EDatabaseError(Database::errorText(q.lastError()));
    return q;
}

QVariant scalar(Database &db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery q = run(db, sql, values);
    return q.next() ? q.value(0) : QVariant();
}

QString now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString text(const QVariant &v)
{
    return v.isNull() ? QString() : v.toString();
}

// LTrim(RTrim(x)) of T-SQL: blanks only, not tabs or line breaks.
QString trimBlanks(const QString &s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s[begin] == u' ')
        ++begin;
    while (end > begin && s[end - 1] == u' ')
        --end;
    return s.mid(begin, end - begin);
}

void menuCaption(Database &db, ParamList &p)
{
    for (const char *out : {"@CAPTION", "@ACCESS_R", "@ADD_R", "@MODIFY_R", "@DELETE_R", "@USERCODE"})
        p.set(QLatin1String(out), QString());
    p.set(QStringLiteral("@SALESID"), 0);
    const QVariant menu = p.value(QStringLiteral("@MENUID"));
    const QVariant user = p.value(QStringLiteral("@USERID"));
    QSqlQuery m = run(db, QStringLiteral("Select Coalesce(Description, '') From Menu Where Id = ?"), {menu});
    if (!m.next())
        return;
    QSqlQuery u = run(db, QStringLiteral("Select Code, Coalesce(SalesId, 0) From Username Where Id = ?"), {user});
    if (!u.next())
        return;
    p.set(QStringLiteral("@CAPTION"), m.value(0));
    p.set(QStringLiteral("@USERCODE"), u.value(0));
    p.set(QStringLiteral("@SALESID"), u.value(1));
    QSqlQuery r = run(db,
                      QStringLiteral("Select Coalesce(Access_R, ''), Coalesce(Add_R, ''), Coalesce(Modify_R, ''),"
                                     " Coalesce(Delete_R, '') From UserMenuRight Where UserId = ? And MenuId = ?"),
                      {user, menu});
    if (r.next()) {
        p.set(QStringLiteral("@ACCESS_R"), r.value(0));
        p.set(QStringLiteral("@ADD_R"), r.value(1));
        p.set(QStringLiteral("@MODIFY_R"), r.value(2));
        p.set(QStringLiteral("@DELETE_R"), r.value(3));
    }
}

void addErrorLog(Database &db, ParamList &p)
{
    run(db,
        QStringLiteral("Insert Into ErrorLog (CompName, LogName, Username, Menu, ErrorDate, ErrorMsg)"
                       " Values (?, ?, ?, ?, ?, ?)"),
        {p.value(QStringLiteral("@CompName")), p.value(QStringLiteral("@LogName")), p.value(QStringLiteral("@UserId")),
         p.value(QStringLiteral("@MenuId")), now(), p.value(QStringLiteral("@ErrorMsg"))});
}

void userAddLog(Database &db, ParamList &p)
{
    run(db,
        QStringLiteral("Insert Into UserLog (UserId, MenuId, FunctionListId, DocumentId, Remark, LogTime)"
                       " Values (?, ?, ?, ?, ?, ?)"),
        {p.value(QStringLiteral("@UserId")), p.value(QStringLiteral("@MenuId")), p.value(QStringLiteral("@FunctionListId")),
         p.value(QStringLiteral("@DocumentId")), p.value(QStringLiteral("@Remark")), now()});
}

void serverTime(Database &, ParamList &p)
{
    p.set(QStringLiteral("@ServerTime"), now());
}

// A request id as Tarvo_ConsignmentRequest holds it: lower-case text without braces, whichever
// form it came in (a QUuid, or text with or without braces); NULL for none. Text that is no
// uniqueidentifier is refused as SQL Server refuses it.
QVariant requestKey(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    if (value.typeId() == QMetaType::QUuid)
        return value.toUuid().toString(QUuid::WithoutBraces);
    const QString text = value.toString().trimmed();
    const QUuid id = QUuid::fromString(text);
    if (id.isNull() && QString(text).remove(u'{').remove(u'}') != QUuid().toString(QUuid::WithoutBraces))
        throw EDatabaseError(QStringLiteral("Conversion failed when converting from a character string to uniqueidentifier."));
    return id.toString(QUuid::WithoutBraces);
}

// The one row a save with a request id answers with.
void answerRequest(ResultRows &rows, const QString &outcome, const QVariant &line)
{
    rows.columns = {QStringLiteral("RequestOutcome"), QStringLiteral("ConsignmentId")};
    rows.cells = {outcome, line.toLongLong()};
}

// See db/mssql/04_company_procedures.sql for the rules; both must behave the same. SQL Server
// compares texts without regard to trailing blanks (and, under the Thai collation, to case):
// the barcode and serial number comparisons below do the same, and texts are trimmed of blanks
// only, as LTrim and RTrim trim them. The procedure runs in one write transaction (BEGIN
// IMMEDIATE), so the look at the request id below already holds the lock that the server's
// UpdLock, HoldLock takes: a second connection with the same id waits and then finds it.
void saveTarvoConsignment(Database &db, ParamList &p, ResultRows &rows)
{
    const QVariant request = requestKey(p.value(QStringLiteral("@RequestId")));
    if (!request.isNull()) {
        const QVariant stored =
            scalar(db, QStringLiteral("Select Consignment From Tarvo_ConsignmentRequest Where RequestId = ?"), {request});
        if (!stored.isNull()) {
            answerRequest(rows, QStringLiteral("AlreadyStored"), stored);
            return;
        }
    }

    const QVariant customer = p.value(QStringLiteral("@Customer"));
    const QVariant cusCode = scalar(db, QStringLiteral("Select Code From Customer Where Id = ?"), {customer});
    if (cusCode.isNull())
        throw EDatabaseError(QStringLiteral("Cannot insert the value NULL into column 'Customer', table 'Tarvo_Consignment'; "
                                            "column does not allow nulls. INSERT fails. Customer id %1 is not a customer.")
                                 .arg(customer.toLongLong()));

    const QString type = trimBlanks(text(p.value(QStringLiteral("@ConsigType")))).toUpper();
    if (type != QLatin1String("S") && type != QLatin1String("R") && type != QLatin1String("A"))
        throw EDatabaseError(QStringLiteral("Consignment type '%1' is not S, R or A.").arg(type));

    const QString code = trimBlanks(text(p.value(QStringLiteral("@Barcode"))));
    // The range finds the barcode with any trailing blanks through the index (a blank sorts
    // before "!"); RTrim then keeps only those.
    QSqlQuery unit = run(db,
                         QStringLiteral("Select U.Id, P.Id, P.Code, P.UseSerial From ProductUnits U"
                                        " Inner Join Product P On (P.Id = U.Product)"
                                        " Where U.BarCode >= ? And U.BarCode < ? || '!'"
                                        " And RTrim(U.BarCode, ' ') = ? Collate NoCase And U.BarCode <> ''"
                                        " Order By U.Id Limit 1"),
                         {code, code, code});
    if (!unit.next())
        throw EDatabaseError(QStringLiteral("Barcode '%1' is not a product unit.").arg(code));
    const qint64 unitId = unit.value(0).toLongLong();
    const qint64 product = unit.value(1).toLongLong();
    const QString prodCode = unit.value(2).toString();
    const bool useSerial = unit.value(3).toString() == QLatin1String("Y");
    unit.finish();

    const QVariant serial = p.value(QStringLiteral("@SerialNumber"));
    if (useSerial && trimBlanks(text(serial)).isEmpty())
        throw EDatabaseError(QStringLiteral("Product %1 has serial numbers: the serial number is missing.").arg(prodCode));
    if (useSerial && type == QLatin1String("S")) {
        const qint64 onSale =
            scalar(db,
                   QStringLiteral("Select Coalesce(Sum(Case ConsigType When 'S' Then 1 When 'R' Then -1 Else 0 End), 0)"
                                  " From Tarvo_Consignment Where Customer = ? And Product = ?"
                                  " And RTrim(SerialNumber, ' ') = RTrim(?, ' ') Collate NoCase"),
                   {customer, product, serial})
                .toLongLong();
        if (onSale > 0)
            throw EDatabaseError(QStringLiteral("Cannot insert duplicate key row in object 'dbo.Tarvo_Consignment' with unique "
                                                "index 'IX_Tarvo_Consignment_Serial'. The duplicate key value is (%1, %2, %3).")
                                     .arg(customer.toLongLong())
                                     .arg(prodCode, text(serial)));
    }

    const QDate day = QDate::fromString(text(p.value(QStringLiteral("@EditDate"))).left(10), QStringLiteral("yyyy-MM-dd"));
    if (!day.isValid())
        throw EDatabaseError(QStringLiteral("The conversion of a varchar data type to a datetime data type resulted in an "
                                            "out-of-range value."));
    const double quantity = p.value(QStringLiteral("@Quantity")).toDouble();
    const QString chkFree =
        p.value(QStringLiteral("@ChkFree")).isNull() ? QStringLiteral("N") : text(p.value(QStringLiteral("@ChkFree"))).toUpper();
    QVariant userCode = p.value(QStringLiteral("@UserCode"));
    if (userCode.isNull())
        userCode = QString();

    const QVariant line =
        run(db,
            QStringLiteral("Insert Into Tarvo_Consignment (UserCode, UserKeyIn, Customer, ConsigType, Product, ProductUnits,"
                           " Barcode, SerialNumber, Quantity, Price, ChkFree, OldPrice, ConsigDate, CreateTime)"
                           " Values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {userCode, p.value(QStringLiteral("@UserKeyIn")), customer, type, product, unitId, code, serial, quantity,
             p.value(QStringLiteral("@Price")), chkFree, p.value(QStringLiteral("@OldPrice")),
             day.toString(QStringLiteral("yyyy-MM-dd")), now()})
            .lastInsertId();
    if (!request.isNull())
        run(db,
            QStringLiteral("Insert Into Tarvo_ConsignmentRequest (RequestId, Consignment, Workstation, CreateTime)"
                           " Values (?, ?, ?, ?)"),
            {request, line, QSysInfo::machineHostName(), now()});

    const double delta = type == QLatin1String("S") ? -quantity : quantity;
    const int year = day.year();
    const int period = day.month();
    for (int pno = period; pno <= 12; ++pno) {
        const QVariantList key{cusCode, prodCode, code, year, pno};
        const bool exists = scalar(db,
                                   QStringLiteral("Select Count(*) From ProductOnhandCustomer Where CusCode = ? And ProdCode = ?"
                                                  " And Barcode = ? And BalanceYear = ? And PeriodNo = ?"),
                                   key)
                                .toLongLong() > 0;
        if (!exists)
            run(db,
                QStringLiteral("Insert Into ProductOnhandCustomer (CusCode, ProdCode, Barcode, BalanceYear, PeriodNo, Quantity)"
                               " Select ?, ?, ?, ?, ?, Coalesce((Select Quantity From ProductOnhandCustomer"
                               " Where CusCode = ? And ProdCode = ? And Barcode = ? And BalanceYear = ? And PeriodNo < ?"
                               " Order By PeriodNo Desc Limit 1), 0)"),
                key + key);
    }
    run(db,
        QStringLiteral("Update ProductOnhandCustomer Set Quantity = Quantity + ? Where CusCode = ? And ProdCode = ?"
                       " And Barcode = ? And ((BalanceYear = ? And PeriodNo >= ?) Or BalanceYear > ?)"),
        {delta, cusCode, prodCode, code, year, period, year});
    if (!request.isNull())
        answerRequest(rows, QStringLiteral("Stored"), line);
}

} // namespace

double tarvoRPFloat(double value)
{
    const double scaled = value * 1e6;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9e15)
        return value;
    return std::round(scaled) / 1e6;
}

void registerServerObjects()
{
    using namespace SqliteServerObjects;
    registerProcedure({QStringLiteral("MENUCAPTION"),
                       {{QStringLiteral("@MENUID")},
                        {QStringLiteral("@USERID")},
                        {QStringLiteral("@CAPTION"), true},
                        {QStringLiteral("@ACCESS_R"), true},
                        {QStringLiteral("@ADD_R"), true},
                        {QStringLiteral("@MODIFY_R"), true},
                        {QStringLiteral("@DELETE_R"), true},
                        {QStringLiteral("@USERCODE"), true},
                        {QStringLiteral("@SALESID"), true}},
                       menuCaption});
    registerProcedure({QStringLiteral("AddErrorLog"),
                       {{QStringLiteral("@CompName")},
                        {QStringLiteral("@LogName")},
                        {QStringLiteral("@UserId")},
                        {QStringLiteral("@MenuId")},
                        {QStringLiteral("@ErrorMsg")}},
                       addErrorLog});
    registerProcedure({QStringLiteral("UserAddLog"),
                       {{QStringLiteral("@UserId")},
                        {QStringLiteral("@MenuId")},
                        {QStringLiteral("@FunctionListId")},
                        {QStringLiteral("@DocumentId")},
                        {QStringLiteral("@Remark")}},
                       userAddLog});
    registerProcedure({QStringLiteral("ServerTime"), {{QStringLiteral("@ServerTime"), true}}, serverTime});
    registerProcedure({QStringLiteral("Save_Tarvo_Consignment"),
                       {{QStringLiteral("@UserCode")},
                        {QStringLiteral("@UserKeyIn")},
                        {QStringLiteral("@Customer")},
                        {QStringLiteral("@ConsigType")},
                        {QStringLiteral("@Barcode")},
                        {QStringLiteral("@SerialNumber")},
                        {QStringLiteral("@Quantity")},
                        {QStringLiteral("@Price")},
                        {QStringLiteral("@ChkFree")},
                        {QStringLiteral("@OldPrice")},
                        {QStringLiteral("@EditDate")},
                        {QStringLiteral("@RequestId")}},
                       {},
                       saveTarvoConsignment});
    registerFunction(QStringLiteral("Tarvo_RPFloat"), 1, [](const QVariantList &a) {
        const QVariant v = a.value(0);
        if (v.isNull())
            return QVariant();
        return QVariant(tarvoRPFloat(v.toDouble()));
    });
}
