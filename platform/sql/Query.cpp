#include "platform/sql/Query.h"

#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/NamedParams.h"
#include "platform/sql/ProcedureCall.h"
#include "platform/sql/QueryModel.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

Query::Query(Database *database, QObject *parent)
    : QObject(parent)
    , m_database(database)
{
    connect(database, &Database::aboutToClose, this, [this] { m_prepared.reset(); });
}

Query::~Query() = default;

void Query::setStatement(const Statement &statement)
{
    close();
    m_statement = &statement;
    m_lines.clear();
    m_overrides.clear();
}

void Query::setSql(const QStringList &lines)
{
    close();
    m_statement = nullptr;
    m_lines = lines;
    m_overrides.clear();
}

void Query::setSqlLine(int index, const QString &text)
{
    if (m_statement) {
        m_overrides.insert(index, text);
        return;
    }
    while (m_lines.size() <= index)
        m_lines << QString();
    m_lines[index] = text;
}

QStringList Query::sqlLines() const
{
    if (!m_statement)
        return m_lines;
    QStringList lines = m_statement->lines(m_database->dialect());
    for (auto it = m_overrides.constBegin(); it != m_overrides.constEnd(); ++it) {
        while (lines.size() <= it.key())
            lines << QString();
        lines[it.key()] = it.value();
    }
    return lines;
}

namespace {

// "Exec Name ..." on the embedded engine is dispatched to a registered procedure.
bool isExecStatement(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^\\s*exec(ute)?\\s+"), QRegularExpression::CaseInsensitiveOption);
    return re.match(text).hasMatch();
}

} // namespace

void Query::fetchRows(QSqlQuery &q)
{
    const QSqlRecord record = q.record();
    m_columns.clear();
    for (int i = 0; i < record.count(); ++i)
        m_columns << record.fieldName(i);
    const int n = m_columns.size();
    while (q.next()) {
        QVector<QVariant> row(n);
        for (int i = 0; i < n; ++i)
            row[i] = q.value(i);
        m_rows.append(std::move(row));
    }
    if (q.lastError().type() != QSqlError::NoError) {
        const QString text = Database::errorText(q.lastError());
        m_rows.clear();
        q.finish();
        throw EDatabaseError(text);
    }
    q.finish();
}

QSqlQuery &Query::prepared(const QString &text)
{
    if (m_prepared && m_preparedText == text && m_preparedGeneration == m_database->connectionGeneration())
        return *m_prepared;
    m_prepared.reset();
    auto q = std::make_unique<QSqlQuery>(m_database->sqlDatabase());
    q->setForwardOnly(true);
    if (m_database->dialect() == SqlDialect::SqlServer)
        q->setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!q->prepare(text))
        throw EDatabaseError(Database::errorText(q->lastError()));
    m_prepared = std::move(q);
    m_preparedText = text;
    m_preparedGeneration = m_database->connectionGeneration();
    return *m_prepared;
}

void Query::open()
{
    close();
    m_database->ensureOpen();
    const QString text = sqlText();
    const PositionalStatement ps = toPositional(text);
    const QVariantList values = positionalValues(ps.names, m_params, m_database->dialect());

    QSqlQuery &q = prepared(ps.text);
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (!q.exec()) {
        const QString error = Database::errorText(q.lastError());
        m_prepared.reset();
        throw EDatabaseError(error);
    }
    m_rows.clear();
    fetchRows(q);
    m_open = true;
    if (m_model)
        m_model->reload();
    m_current = -1;
    first();
    Q_EMIT opened();
}

void Query::close()
{
    if (!m_open && m_rows.isEmpty())
        return;
    m_open = false;
    if (m_model)
        m_model->clearRows();
    m_rows.clear();
    m_columns.clear();
    m_current = -1;
    m_eof = m_bof = true;
    Q_EMIT closed();
}

void Query::execSql()
{
    close();
    m_database->ensureOpen();
    const QString text = sqlText();
    if (m_database->dialect() == SqlDialect::Sqlite && isExecStatement(text)) {
        runExec(text);
        return;
    }
    const PositionalStatement ps = toPositional(text);
    const QVariantList values = positionalValues(ps.names, m_params, m_database->dialect());
    QSqlQuery &q = prepared(ps.text);
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (!q.exec()) {
        const QString error = Database::errorText(q.lastError());
        m_prepared.reset();
        throw EDatabaseError(error);
    }
    q.finish();
}

void Query::runExec(const QString &text)
{
    ProcedureCall call = ProcedureCall::parseExec(text);
    ParamList procParams;
    const QStringList inputs = call.inputNames();
    for (int i = 0; i < call.arguments.size(); ++i) {
        const ProcedureCall::Argument &arg = call.arguments[i];
        if (i >= inputs.size())
            throw EDatabaseError(QStringLiteral("Procedure or function %1 has too many arguments specified.").arg(call.name));
        if (arg.isMarker) {
            if (!m_params.contains(arg.text))
                throw EDatabaseError(QStringLiteral("Parameter '%1' has no value").arg(arg.text));
            procParams.set(inputs[i], toSqliteValue(m_params.value(arg.text)));
        } else {
            procParams.set(inputs[i], arg.literal);
        }
    }
    call.run(*m_database, procParams);
}

void Query::setCurrent(int row)
{
    if (row == m_current)
        return;
    m_current = row;
    Q_EMIT currentRowChanged(row);
}

void Query::first()
{
    m_bof = true;
    m_eof = m_rows.isEmpty();
    setCurrent(m_rows.isEmpty() ? -1 : 0);
}

void Query::last()
{
    m_eof = true;
    m_bof = m_rows.isEmpty();
    setCurrent(m_rows.isEmpty() ? -1 : int(m_rows.size()) - 1);
}

void Query::next()
{
    m_bof = false;
    if (m_current + 1 >= m_rows.size()) {
        m_eof = true;
        return;
    }
    m_eof = false;
    setCurrent(m_current + 1);
}

void Query::prior()
{
    m_eof = false;
    if (m_current <= 0) {
        m_bof = true;
        return;
    }
    m_bof = false;
    setCurrent(m_current - 1);
}

void Query::setRecNo(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    m_bof = m_eof = false;
    setCurrent(row);
}

int Query::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

Field Query::fieldByName(const QString &name) const
{
    const int column = fieldIndex(name);
    if (column < 0)
        throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(name));
    if (m_current < 0 || m_current >= m_rows.size())
        return Field(m_columns[column], QVariant());
    return Field(m_columns[column], m_rows[m_current][column]);
}

QueryModel *Query::model()
{
    if (!m_model)
        m_model = new QueryModel(this, this);
    return m_model;
}
