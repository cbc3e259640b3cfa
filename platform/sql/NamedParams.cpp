#include "platform/sql/NamedParams.h"

#include "platform/core/Exceptions.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace platform {

namespace {

bool isNameStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool isNamePart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// Calls onMarker(start, length, name) for each marker found in sql.
template <typename F>
void scanMarkers(const QString &sql, F onMarker)
{
    const int n = sql.size();
    int i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            // A quote inside a literal is written twice; scanning on past the closing quote
            // and re-entering handles that.
            const QChar quote = c;
            ++i;
            while (i < n && sql[i] != quote)
                ++i;
            ++i;
        } else if (c == u'[') {
            while (i < n && sql[i] != u']')
                ++i;
            ++i;
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            while (i < n && sql[i] != u'\n' && sql[i] != u'\r')
                ++i;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            i += 2;
            while (i < n && !(sql[i] == u'*' && i + 1 < n && sql[i + 1] == u'/'))
                ++i;
            i += 2;
        } else if (c == u':' && i + 1 < n && sql[i + 1] == u':') {
            i += 2;
        } else if (c == u':' && i + 1 < n && isNameStart(sql[i + 1])) {
            int j = i + 1;
            while (j < n && isNamePart(sql[j]))
                ++j;
            onMarker(i, j - i, sql.mid(i + 1, j - i - 1));
            i = j;
        } else {
            ++i;
        }
    }
}

} // namespace

PositionalStatement toPositional(const QString &sql)
{
    PositionalStatement out;
    out.text.reserve(sql.size());
    int copied = 0;
    scanMarkers(sql, [&](int start, int length, const QString &name) {
        out.text += QStringView(sql).mid(copied, start - copied);
        out.text += u'?';
        out.names << name;
        copied = start + length;
    });
    out.text += QStringView(sql).mid(copied);
    return out;
}

QStringList markerNames(const QString &sql)
{
    QStringList names;
    scanMarkers(sql, [&](int, int, const QString &name) {
        const QString upper = name.toUpper();
        if (!names.contains(upper))
            names << upper;
    });
    return names;
}

QVariant toSqliteValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    default:
        return value;
    }
}

QVariantList positionalValues(const QStringList &names, const ParamList &params, SqlDialect dialect)
{
    QVariantList values;
    values.reserve(names.size());
    for (const QString &name : names) {
        if (!params.contains(name))
            throw EDatabaseError(QStringLiteral("Parameter '%1' has no value").arg(name));
        const QVariant v = params.value(name);
        values << (dialect == SqlDialect::Sqlite ? toSqliteValue(v) : v);
    }
    return values;
}

// NULL as the Qt driver binds it: a variant without value, or a null string, byte array, date or time.
bool isNullValue(const QVariant &v)
{
    if (v.isNull())
        return true;
    switch (v.typeId()) {
    case QMetaType::QString:
        return static_cast<const QString *>(v.constData())->isNull();
    case QMetaType::QByteArray:
        return static_cast<const QByteArray *>(v.constData())->isNull();
    case QMetaType::QDate:
        return static_cast<const QDate *>(v.constData())->isNull();
    case QMetaType::QTime:
        return static_cast<const QTime *>(v.constData())->isNull();
    case QMetaType::QDateTime:
        return static_cast<const QDateTime *>(v.constData())->isNull();
    default:
        return false;
    }
}

} // namespace platform
