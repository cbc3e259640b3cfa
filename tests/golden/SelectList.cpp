#include "SelectList.h"

#include <QRegularExpression>

namespace {

// Splits text at commas that are outside parentheses and quotes.
QStringList splitTopLevel(const QString &text)
{
    QStringList items;
    QString current;
    int depth = 0;
    bool quoted = false;
    for (QChar c : text) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted) {
            if (c == u'(')
                ++depth;
            else if (c == u')')
                --depth;
            else if (c == u',' && depth == 0) {
                items << current.trimmed();
                current.clear();
                continue;
            }
        }
        current += c;
    }
    items << current.trimmed();
    return items;
}

// The end of the first select list: the first top-level FROM.
int fromPosition(const QString &text)
{
    int depth = 0;
    bool quoted = false;
    static const QRegularExpression from(QStringLiteral("^\\bfrom\\b"), QRegularExpression::CaseInsensitiveOption);
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\'')
            quoted = !quoted;
        if (quoted)
            continue;
        if (c == u'(')
            ++depth;
        else if (c == u')')
            --depth;
        else if (depth == 0 && (i == 0 || !text[i - 1].isLetterOrNumber()) && from.match(QStringView(text).mid(i)).hasMatch())
            return i;
    }
    return int(text.size());
}

} // namespace

QStringList selectListNames(const QString &sql)
{
    // Comments out of the way first.
    QString text = sql;
    text.remove(QRegularExpression(QStringLiteral("--[^\\n]*")));
    text.remove(QRegularExpression(QStringLiteral("/\\*.*?\\*/"), QRegularExpression::DotMatchesEverythingOption));
    static const QRegularExpression select(QStringLiteral("^\\s*select\\s+(top\\s+\\d+\\s+)?(distinct\\s+)?"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = select.match(text);
    if (!m.hasMatch())
        return {};
    const QString body = text.mid(m.capturedEnd());
    const QString list = body.left(fromPosition(body));
    QStringList names;
    static const QRegularExpression trailingName(QStringLiteral("([A-Za-z_][A-Za-z0-9_]*)\\s*$"));
    for (const QString &item : splitTopLevel(list)) {
        if (item == QLatin1String("*"))
            return {};
        const QRegularExpressionMatch n = trailingName.match(item);
        names << (n.hasMatch() ? n.captured(1) : item);
    }
    return names;
}
