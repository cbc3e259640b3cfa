#pragma once

#include <QList>
#include <QString>

// The fixed table that explains known database and run-time failures in Thai, and the text
// the error dialog shows for an exception message. The application-wide handler itself is
// TDM::ApplicationEvents1Exception (defined in ErrorHandler.cpp).
namespace ErrorHandler {

struct TranslationRow {
    QString trigger; // an English fragment of the failure's message
    QString thai;    // what the user is told
};

// The rows in the order they are searched: the suite's fourteen, then the wordings of today's
// engine and drivers for a lock, a time-out and a lost connection.
const QList<TranslationRow> &translationTable();

// Rows searched before the table: the program's own reports that quote a driver's message after
// their words (a save whose answer was lost, a wait cancelled by the user), whose explanation
// must win over the row the driver's words would find.
const QList<TranslationRow> &programReportRows();

// The text with the ASCII letters a to z upper-cased; everything else (Thai) unchanged.
QString upperCaseAscii(const QString &text);

// The Thai message of the first row (of programReportRows(), then of the table) whose trigger
// occurs anywhere in the message, compared without regard to the case of ASCII letters; "" when
// no row occurs.
QString translateError(const QString &message);

// What the error dialog shows: the Thai message, a carriage return, the message upper-cased
// (ASCII letters only), a carriage return.
QString composeErrorText(const QString &message);

} // namespace ErrorHandler
