#pragma once

#include "platform/sql/Field.h"
#include "platform/sql/NamedParams.h"
#include "platform/sql/ParamList.h"
#include "platform/sql/PreparedStatement.h"
#include "platform/sql/Statement.h"

#include <QObject>
#include <QStringList>
#include <QVector>
#include <memory>

namespace platform {

class Database;
class QueryModel;

// A statement on one connection, held as lines, with named parameters and, once open, a
// read-only set of rows with a current row. Parameter values are kept across close and open.
//
// The SQL is either a statement entry (its text chosen by the connection's engine; single lines
// may be replaced) or lines set directly. "Exec Name :a, ..." runs a procedure; open() gives its rows.
class Query : public QObject
{
    Q_OBJECT
public:
    explicit Query(Database *database, QObject *parent = nullptr);
    ~Query() override;

    Database *database() const { return m_database; }

    // SQL
    void setStatement(const Statement &statement);
    void setSql(const QStringList &lines);
    void setSqlLine(int index, const QString &text); // replaces one line of the current text
    QStringList sqlLines() const;                    // the text as it will be sent
    QString sqlText() const { return sqlLines().join(u'\n'); }
    const Statement *statement() const { return m_statement; }

    // Parameters
    ParamList &params() { return m_params; }
    void setParam(const QString &name, const QVariant &value) { m_params.set(name, value); }

    // Running
    void open(); // raises EDatabaseError; the query stays closed then
    // Opens the query on rows kept elsewhere (a local copy), as if its statement had answered
    // them; the statement and its parameters stay for the next open().
    void openRows(ResultRows rows);
    void close();
    void execSql(); // a statement that returns no rows
    bool isOpen() const { return m_open; }

    // On SQL Server: the longest the statement may wait for the server (seconds; 0 = the
    // connection's statement time-out). When it passes, the statement is cancelled; one that
    // changes data then raises EOutcomeUnknown.
    void setTimeLimit(int seconds) { m_timeLimitSeconds = seconds; }

    // Navigation over the open rows
    int recordCount() const { return m_rows.rowCount(); }
    bool isEmpty() const { return m_rows.cells.isEmpty(); }
    void first();
    void last();
    void next();
    void prior();
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    int recNo() const { return m_current; } // 0-based; -1 when there is no row
    void setRecNo(int row);

    // Columns and values of the current row
    const QStringList &fieldNames() const { return m_rows.columns; }
    int fieldIndex(const QString &name) const;    // -1 if none
    Field fieldByName(const QString &name) const; // raises EDatabaseError for an unknown column
    QVariant value(int row, int column) const { return m_rows.cells[row * m_rows.columns.size() + column]; }
    const ResultRows &rows() const { return m_rows; } // every open row

    // A read-only item model over the rows whose current row follows the dataset's.
    QueryModel *model();

Q_SIGNALS:
    void opened();
    void closed();
    void currentRowChanged(int row);

private:
    void becomeOpen();
    void setCurrent(int row);
    void runExec(const QString &text, ResultRows *rows = nullptr);
    const PositionalStatement &positional();
    PreparedStatement &prepared(const QString &text);
    void textChanged();

    Database *m_database;
    const Statement *m_statement = nullptr;
    QStringList m_lines;            // lines set directly
    QMap<int, QString> m_overrides; // replaced lines of a statement entry
    ParamList m_params;
    bool m_open = false;
    ResultRows m_rows;
    int m_current = -1;
    bool m_eof = true;
    bool m_bof = true;
    QueryModel *m_model = nullptr;
    int m_timeLimitSeconds = 0;
    // The text with positional markers, built again only when the lines or the engine change.
    PositionalStatement m_positional;
    bool m_positionalValid = false;
    SqlDialect m_positionalDialect = SqlDialect::Sqlite;
    // The statement prepared for the last text, reused while the text and the connection stay.
    std::unique_ptr<PreparedStatement> m_prepared;
    QString m_preparedText;
    int m_preparedGeneration = -1;
};

} // namespace platform
