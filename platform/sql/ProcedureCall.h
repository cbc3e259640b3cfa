#pragma once

#include "platform/sql/ParamList.h"
#include "platform/sql/PreparedStatement.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace platform {

class Database;

// A call of a procedure registered for the embedded engine, either from an
// "Exec Name :a, 'text', 12" statement or from a stored-procedure component.
struct ProcedureCall {
    struct Argument {
        bool isMarker = false; // ":Name": text holds the name
        QString text;
        QVariant literal; // a quoted text, a number or NULL
    };

    QString name;
    QList<Argument> arguments;

    // Parses an Exec statement; raises EDatabaseError when it is not one.
    static ProcedureCall parseExec(const QString &text);

    // The procedure's input parameter names in declaration order; raises EDatabaseError
    // "Could not find stored procedure 'X'." when no such procedure is registered.
    QStringList inputNames() const;

    // Runs the procedure with its parameters in one transaction: everything or nothing. The rows
    // it answers with go to rows when given (none for most procedures).
    void run(Database &db, ParamList &params, ResultRows *rows = nullptr) const;
};

} // namespace platform
