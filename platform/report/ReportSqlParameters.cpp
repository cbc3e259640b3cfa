#include "platform/report/ReportSqlParameters.h"

namespace platform {

QStringList ReportSqlParameters::names(const QString &sql)
{
    QStringList result;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto isNameChar = [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); };
    while (i < n) {
        const QChar c = sql.at(i);
        const QChar next = i + 1 < n ? sql.at(i + 1) : QChar();
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            ++i;
            while (i < n && sql.at(i) != close)
                ++i;
            ++i;
        } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            while (i < n && sql.at(i) != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == QLatin1Char(':') && next == QLatin1Char(':')) {
            i += 2;
        } else if (c == QLatin1Char(':') && (next.isLetter() || next == QLatin1Char('_'))) {
            qsizetype j = i + 1;
            while (j < n && isNameChar(sql.at(j)))
                ++j;
            const QString name = sql.mid(i + 1, j - i - 1);
            if (!result.contains(name, Qt::CaseInsensitive))
                result.append(name);
            i = j;
        } else {
            ++i;
        }
    }
    return result;
}

} // namespace platform
