#include "platform/report/ReportTemplateText.h"

#include "platform/report/ReportError.h"

namespace platform {

QList<ReportTemplateText::Part> ReportTemplateText::parse(const QString &text)
{
    QList<Part> parts;
    QString literal;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('[')) {
            literal.append(c);
            ++i;
            continue;
        }
        if (i + 1 < n && text.at(i + 1) == QLatin1Char('[')) {
            literal.append(c);
            i += 2;
            continue;
        }
        // A field: find its closing bracket outside quotes, counting nested brackets.
        qsizetype j = i + 1;
        int depth = 1;
        QChar quote;
        while (j < n && depth > 0) {
            const QChar d = text.at(j);
            if (!quote.isNull()) {
                if (d == QLatin1Char('\\'))
                    ++j;
                else if (d == quote)
                    quote = QChar();
            } else if (d == QLatin1Char('\'') || d == QLatin1Char('"')) {
                quote = d;
            } else if (d == QLatin1Char('[')) {
                ++depth;
            } else if (d == QLatin1Char(']')) {
                --depth;
            }
            ++j;
        }
        if (depth > 0)
            throw ReportError(QStringLiteral("the field \"%1\" has no closing bracket").arg(text.mid(i)));
        if (!literal.isEmpty())
            parts.append({false, literal});
        literal.clear();
        const QString expression = text.mid(i + 1, j - i - 2).trimmed();
        if (expression.isEmpty())
            throw ReportError(QStringLiteral("an empty field [] in \"%1\"").arg(text));
        parts.append({true, expression});
        i = j;
    }
    if (!literal.isEmpty())
        parts.append({false, literal});
    return parts;
}

} // namespace platform
