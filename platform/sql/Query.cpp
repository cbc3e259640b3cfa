#include "platform/sql/Query.h"

#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/NamedParams.h"
#include "platform/sql/ProcedureCall.h"
#include "platform/sql/QueryModel.h"

#include <QRegularExpression>

namespace platform {

Query::Query(Database *database, QObject *parent)
    : QObject(parent)
    , m_database(database)
{
    if (database)
        connect(database, &Database::aboutToClose, this, [this] { m_prepared.reset(); });
}

Query::~Query() = default;

void Query::textChanged()
{
    m_positionalValid = false;
}

void Query::setStatement(const Statement &statement)
{
    close();
    m_statement = &statement;
    m_lines.clear();
    m_overrides.clear();
    textChanged();
}

void Query::setSql(const QStringList &lines)
{
    close();
    m_statement = nullptr;
    m_lines = lines;
    m_overrides.clear();
    textChanged();
}

void Query::setSqlLine(int index, const QString &text)
{
    textChanged();
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

// A statement that only reads: it starts with SELECT or WITH (after blanks and comments). Such a
// statement may be sent again when its connection was lost; anything else might change data.
bool isReadStatement(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^(\\s|--[^\\n]*\\n|/\\*.*?\\*/)*(select|with)\\b"),
                                       QRegularExpression::CaseInsensitiveOption |
                                           QRegularExpression::DotMatchesEverythingOption);
    return re.match(text).hasMatch();
}

} // namespace

const PositionalStatement &Query::positional()
{
    const SqlDialect dialect = m_database->dialect();
    if (!m_positionalValid || m_positionalDialect != dialect) {
        m_positional = toPositional(sqlText());
        m_positionalDialect = dialect;
        m_positionalValid = true;
    }
    return m_positional;
}

PreparedStatement &Query::prepared(const QString &text)
{
    if (m_prepared && m_preparedText == text && m_preparedGeneration == m_database->connectionGeneration())
        return *m_prepared;
    m_prepared.reset();
    m_prepared = PreparedStatement::prepare(*m_database, text);
    m_preparedText = text;
    m_preparedGeneration = m_database->connectionGeneration();
    return *m_prepared;
}

void Query::open()
{
    close();
    m_database->ensureOpen();
    const QString text = sqlText();
    if (m_database->dialect() == SqlDialect::Sqlite && isExecStatement(text)) {
        // The procedure's own result set, if it answers with one.
        try {
            runExec(text, &m_rows);
        } catch (const EDatabaseError &) {
            m_rows.clear();
            throw;
        }
    } else {
        const PositionalStatement &ps = positional();
        const QVariantList values = positionalValues(ps.names, m_params, m_database->dialect());
        try {
            if (m_database->dialect() == SqlDialect::SqlServer)
                m_database->runOnServer(ps.text, values, ps.names,
                                        isReadStatement(ps.text) ? Database::Access::Read : Database::Access::Write,
                                        m_timeLimitSeconds, &m_rows);
            else
                prepared(ps.text).query(values, m_rows);
        } catch (const EDatabaseError &) {
            // Prepared again next time: after a lost connection the old statement is of no use.
            m_prepared.reset();
            m_rows.clear();
            throw;
        }
    }
    becomeOpen();
}

void Query::openRows(ResultRows rows)
{
    close();
    m_rows = std::move(rows);
    becomeOpen();
}

void Query::becomeOpen()
{
    m_open = true;
    if (m_model)
        m_model->reload();
    m_current = -1;
    first();
    Q_EMIT opened();
}

void Query::close()
{
    if (!m_open && m_rows.cells.isEmpty() && m_rows.columns.isEmpty())
        return;
    m_open = false;
    if (m_model)
        m_model->clearRows();
    m_rows.clear();
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
    const PositionalStatement &ps = positional();
    const QVariantList values = positionalValues(ps.names, m_params, m_database->dialect());
    if (m_database->dialect() == SqlDialect::SqlServer) {
        m_database->runOnServer(ps.text, values, ps.names, Database::Access::Write, m_timeLimitSeconds, nullptr);
        return;
    }
    try {
        prepared(ps.text).execute(values);
    } catch (const EDatabaseError &) {
        m_prepared.reset();
        throw;
    }
}

void Query::runExec(const QString &text, ResultRows *rows)
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
    call.run(*m_database, procParams, rows);
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
    m_eof = isEmpty();
    setCurrent(isEmpty() ? -1 : 0);
}

void Query::last()
{
    m_eof = true;
    m_bof = isEmpty();
    setCurrent(isEmpty() ? -1 : recordCount() - 1);
}

void Query::next()
{
    m_bof = false;
    if (m_current + 1 >= recordCount()) {
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
    if (row < 0 || row >= recordCount())
        return;
    m_bof = m_eof = false;
    setCurrent(row);
}

int Query::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_rows.columns.size(); ++i)
        if (m_rows.columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

Field Query::fieldByName(const QString &name) const
{
    const int column = fieldIndex(name);
    if (column < 0)
        throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(name));
    if (m_current < 0 || m_current >= recordCount())
        return Field(m_rows.columns[column], QVariant());
    return Field(m_rows.columns[column], value(m_current, column));
}

QueryModel *Query::model()
{
    if (!m_model)
        m_model = new QueryModel(this, this);
    return m_model;
}

} // namespace platform
