#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace platform {

// Rewrites a report expression into the JavaScript that the script engine compiles.
// Expressions are JavaScript with these report rules:
// - a free name (`Amount`, `RPTITLE`, `Page`) is looked up at run time, without regard to
//   case: a field of the master row, then a variable, then a built-in value;
// - `Dataset.Field` reads a field of the named dataset;
// - `SUM(x)`, `COUNT()`, `COUNT(x)`, `AVG(x)`, `MIN(x)`, `MAX(x)` are aggregates over data rows;
// - `IIF(c, a, b)` and the built-in functions are matched without regard to case;
// - any other call `Name(a, b, c)` goes to the host with its name as written and up to three
//   argument texts, which the host evaluates on request;
// - a lone `=` compares (`==`) and `<>` means `!=`, as report writers expect.
// Faults raise ReportError.
class ReportExpressionTranslator
{
public:
    struct Hooks {
        // Registers a host call and returns its id; the hook compiles the argument texts, so that
        // their faults surface before the report runs.
        std::function<int(const QString &name, const QStringList &arguments)> hostCall;
        // Registers an aggregate (upper-case function, argument text or empty) and returns its
        // id. Left empty where aggregates are not allowed.
        std::function<int(const QString &function, const QString &argument)> aggregate;
    };

    explicit ReportExpressionTranslator(QStringList datasetNames);

    QString translate(const QString &expression, const Hooks &hooks) const;

    static bool isBuiltInFunction(const QString &name);

private:
    QStringList m_datasetNames;
};

} // namespace platform
