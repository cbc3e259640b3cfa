#include "platform/sql/StoredProc.h"

#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/Field.h"
#include "platform/sql/NamedParams.h"
#include "platform/sql/ProcedureCall.h"

#include <QSqlError>
#include <QSqlQuery>

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
{
}

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
    // SET NOCOUNT ON; DECLARE @Out1 type, ...; EXEC @Result = Name @In = ?, @Out1 = @Out1 OUTPUT; SELECT ...
    QStringList declares;
    QStringList arguments;
    QStringList selects;
    QVariantList values;
    QString resultName;
    for (const Param &p : m_params) {
        if (p.direction == Direction::Result) {
            resultName = p.name;
            declares << QStringLiteral("%1 int").arg(p.name);
            selects << p.name;
        } else if (p.direction == Direction::Output) {
            declares << QStringLiteral("%1 %2").arg(p.name, sqlServerType(p.type));
            arguments << QStringLiteral("%1 = %1 OUTPUT").arg(p.name);
            selects << p.name;
        } else {
            arguments << QStringLiteral("%1 = ?").arg(p.name);
            values << p.value;
        }
    }
    QString batch = QStringLiteral("SET NOCOUNT ON;");
    if (!declares.isEmpty())
        batch += QStringLiteral(" DECLARE ") + declares.join(QStringLiteral(", ")) + u';';
    batch += QStringLiteral(" EXEC ");
    if (!resultName.isEmpty())
        batch += resultName + QStringLiteral(" = ");
    batch += m_name;
    if (!arguments.isEmpty())
        batch += u' ' + arguments.join(QStringLiteral(", "));
    batch += u';';
    if (!selects.isEmpty())
        batch += QStringLiteral(" SELECT ") + selects.join(QStringLiteral(", ")) + u';';

    QSqlQuery q(m_database->sqlDatabase());
    q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!q.prepare(batch))
        throw EDatabaseError(Database::errorText(q.lastError()));
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec())
        throw EDatabaseError(Database::errorText(q.lastError()));
    if (!selects.isEmpty()) {
        // The outputs come in the last result set.
        do {
            if (q.isSelect() && q.next()) {
                int column = 0;
                for (Param &p : m_params)
                    if (p.direction != Direction::Input)
                        p.value = converted(q.value(column++), p.type);
            }
        } while (q.nextResult());
    }
    q.finish();
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
