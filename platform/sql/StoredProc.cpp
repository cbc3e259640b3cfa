#include "platform/sql/StoredProc.h"

#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/Field.h"
#include "platform/sql/NamedParams.h"
#include "platform/sql/PreparedStatement.h"
#include "platform/sql/ProcedureCall.h"

#include <QRegularExpression>

namespace platform {

namespace {

QString sqlServerType(QMetaType::Type type)
{
    switch (type) {
    case QMetaType::Int:
    case QMetaType::Bool:
        return QStringLiteral("int");
    case QMetaType::LongLong:
        return QStringLiteral("bigint");
    case QMetaType::Double:
        return QStringLiteral("float");
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        return QStringLiteral("datetime");
    default:
        return QStringLiteral("nvarchar(4000)");
    }
}

// A parameter's name as a T-SQL variable: with its "@", letters, digits and "_" only.
QString variableName(const QString &name)
{
    static const QRegularExpression identifier(QStringLiteral("^@[A-Za-z_][A-Za-z0-9_]*$"));
    const QString variable = name.startsWith(u'@') ? name : u'@' + name;
    if (!identifier.match(variable).hasMatch())
        throw EDatabaseError(QStringLiteral("'%1' is not a parameter name").arg(name));
    return variable;
}

QVariant converted(const QVariant &value, QMetaType::Type type)
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    if (type == QMetaType::QDateTime && value.typeId() == QMetaType::QString)
        return parseStoredDateTime(value.toString());
    QVariant v = value;
    if (v.canConvert(QMetaType(type)) && v.convert(QMetaType(type)))
        return v;
    return value;
}

} // namespace

StoredProc::StoredProc(Database *database, const QString &procedureName, QObject *parent)
    : QObject(parent)
    , m_database(database)
    , m_name(procedureName)
{}

void StoredProc::addParam(const QString &name, QMetaType::Type type, Direction direction)
{
    m_params.append({name, type, direction, QVariant()});
}

StoredProc::Param *StoredProc::find(const QString &name)
{
    for (Param &p : m_params)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return &p;
    return nullptr;
}

const StoredProc::Param *StoredProc::find(const QString &name) const
{
    return const_cast<StoredProc *>(this)->find(name);
}

void StoredProc::setParam(const QString &name, const QVariant &value)
{
    Param *p = find(name);
    if (!p)
        throw EDatabaseError(QStringLiteral("%1: Parameter '%2' not found").arg(m_name, name));
    p->value = value;
}

QVariant StoredProc::paramValue(const QString &name) const
{
    const Param *p = find(name);
    if (!p)
        throw EDatabaseError(QStringLiteral("%1: Parameter '%2' not found").arg(m_name, name));
    return p->value;
}

void StoredProc::close()
{
    for (Param &p : m_params)
        if (p.direction != Direction::Input)
            p.value = QVariant();
}

void StoredProc::execProc()
{
    m_database->ensureOpen();
    if (m_database->dialect() == SqlDialect::Sqlite)
        execSqlite();
    else
        execSqlServer();
}

void StoredProc::execSqlServer()
{
    // SET NOCOUNT ON; DECLARE @Result int, @Out1 type; EXEC @Result = Name @In = ?, @Out1 = @Out1 OUTPUT;
    // SELECT @Result, @Out1. Every name becomes a variable with its "@" (the result parameter
    // is commonly declared as plain "Result").
    static const QRegularExpression procedureName(QStringLiteral("^[A-Za-z_][\\w.\\[\\]]*$"));
    if (!procedureName.match(m_name).hasMatch())
        throw EDatabaseError(QStringLiteral("'%1' is not a procedure name").arg(m_name));
    QStringList declares;
    QStringList arguments;
    QStringList selects;
    QVariantList values;
    QStringList names;
    QString resultVariable;
    for (const Param &p : m_params) {
        const QString variable = variableName(p.name);
        if (p.direction == Direction::Result) {
            resultVariable = variable;
            declares << QStringLiteral("%1 int").arg(variable);
            selects << variable;
        } else if (p.direction == Direction::Output) {
            declares << QStringLiteral("%1 %2").arg(variable, sqlServerType(p.type));
            arguments << QStringLiteral("%1 = %1 OUTPUT").arg(variable);
            selects << variable;
        } else {
            arguments << QStringLiteral("%1 = ?").arg(variable);
            values << p.value;
            names << variable.mid(1);
        }
    }
    QString batch = QStringLiteral("SET NOCOUNT ON;");
    if (!declares.isEmpty())
        batch += QStringLiteral(" DECLARE ") + declares.join(QStringLiteral(", ")) + u';';
    batch += QStringLiteral(" EXEC ");
    if (!resultVariable.isEmpty())
        batch += resultVariable + QStringLiteral(" = ");
    batch += m_name;
    if (!arguments.isEmpty())
        batch += u' ' + arguments.join(QStringLiteral(", "));
    batch += u';';
    if (!selects.isEmpty())
        batch += QStringLiteral(" SELECT ") + selects.join(QStringLiteral(", ")) + u';';

    // The outputs are the batch's last result set (the procedure may return sets of its own).
    ResultRows rows;
    m_database->runOnServer(batch, values, names, Database::Access::Write, m_timeLimitSeconds, &rows);
    if (selects.isEmpty())
        return;
    if (rows.rowCount() < 1 || rows.columns.size() != selects.size())
        throw EDatabaseError(QStringLiteral("%1 did not return its output parameters").arg(m_name));
    int column = 0;
    for (Param &p : m_params)
        if (p.direction != Direction::Input)
            p.value = converted(rows.cells[column++], p.type);
}

void StoredProc::execSqlite()
{
    ProcedureCall call;
    call.name = m_name;
    ParamList values;
    for (const Param &p : m_params)
        if (p.direction == Direction::Input)
            values.set(p.name, toSqliteValue(p.value));
    call.run(*m_database, values);
    for (Param &p : m_params)
        if (p.direction != Direction::Input)
            p.value = converted(values.value(p.name), p.type);
}

} // namespace platform
