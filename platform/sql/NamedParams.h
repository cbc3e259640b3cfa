#pragma once

#include "platform/sql/ParamList.h"
#include "platform/sql/SqlDialect.h"

#include <QStringList>
#include <QVariantList>

namespace platform {

// A statement with its ":Name" markers replaced by positional "?" markers.
struct PositionalStatement {
    QString text;      // the statement with "?" where each marker stood
    QStringList names; // the marker names in the order they occur (a name may repeat)
};

// Finds ":Name" markers outside string literals ('...', "..."), bracketed names ([...]) and
// comments (-- to the line end, /* ... */). A name starts with a letter or "_" and goes on
// with letters, digits and "_". "::" is left alone.
PositionalStatement toPositional(const QString &sql);

// The distinct marker names of a statement, upper-cased, in order of first occurrence.
QStringList markerNames(const QString &sql);

// The values for the markers of a statement, one per occurrence, matched by name without
// regard to case. A marker without a value raises EDatabaseError: a statement never runs
// with a silently NULL parameter. Dates and date-times are turned into the text the embedded
// engine stores when the dialect is SQLite.
QVariantList positionalValues(const QStringList &names, const ParamList &params, SqlDialect dialect);

// A value as the embedded engine stores it: dates as "YYYY-MM-DD", date-times as
// "YYYY-MM-DD HH:MM:SS"; everything else unchanged.
QVariant toSqliteValue(const QVariant &value);

// Whether a value is bound as NULL, as Qt's drivers bind it: a variant without value, or a null
// string, byte array, date or time.
bool isNullValue(const QVariant &value);

} // namespace platform
