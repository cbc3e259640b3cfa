#pragma once

#include "platform/sql/ParamList.h"
#include "platform/sql/PreparedStatement.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

struct sqlite3;

namespace platform {

class Database;

// What the embedded engine offers in place of server-side objects: procedures written in C++ and
// registered by name, and scalar functions installed on every embedded connection.
namespace SqliteServerObjects {

struct ProcedureParam {
    QString name;        // with its leading "@"
    bool output = false; // outputs are written back into the parameter list
};

// A procedure runs inside one transaction on the connection it is called on; an exception rolls
// everything back. Inputs are read from params by name; outputs are set there.
using ProcedureBody = std::function<void(Database &db, ParamList &params)>;
// The body of a procedure that may answer with a result set, as a T-SQL procedure ending in a
// Select does: it fills rows (or leaves them empty), and a query that opens the Exec statement
// gets them.
using RowsProcedureBody = std::function<void(Database &db, ParamList &params, ResultRows &rows)>;

struct Procedure {
    QString name;
    QList<ProcedureParam> params; // in declaration order: an Exec statement passes values by position
    ProcedureBody body;           // or, for a procedure that answers with rows, rowsBody
    RowsProcedureBody rowsBody = {};
};

// A scalar function: its arguments as the engine hands them (integers, doubles, text, NULL).
using ScalarFunction = std::function<QVariant(const QVariantList &args)>;

void registerProcedure(const Procedure &procedure);
const Procedure *findProcedure(const QString &name); // by name, any letter case; nullptr if none

// nArgs -1: any number of arguments.
void registerFunction(const QString &name, int nArgs, const ScalarFunction &function);

// Installs every registered function (and the built-ins GetDate, Year, Month, Day) on a handle.
void installFunctions(sqlite3 *handle);

} // namespace SqliteServerObjects

} // namespace platform
