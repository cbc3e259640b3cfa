#include "platform/sql/Field.h"

#include "platform/core/Exceptions.h"

#include <cmath>
#include <limits>

namespace platform {

namespace {

bool isNumericText(const QVariant &v)
{
    return v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray;
}

double textToDouble(const QString &text)
{
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return d;
}

QString shortest(double d)
{
    QString s = QString::number(d, 'g', 15);
    if (s.contains(u'e')) {
        s = QString::number(d, 'g', QLocale::FloatingPointShortest).toUpper();
        s.replace(QStringLiteral("E+"), QStringLiteral("E"));
    }
    return s;
}

} // namespace

QDateTime parseStoredDateTime(const QString &text)
{
    const QString t = text.trimmed();
    if (t.size() == 10) {
        const QDate d = QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
        return d.isValid() ? QDateTime(d, QTime(0, 0)) : QDateTime();
    }
    QString normal = t;
    if (normal.size() > 10 && normal[10] == u'T')
        normal[10] = u' ';
    for (const char *format : {"yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm"}) {
        const QDateTime dt = QDateTime::fromString(normal.left(int(qstrlen(format))), QLatin1String(format));
        if (dt.isValid())
            return dt;
    }
    return QDateTime();
}

QString Field::asString() const
{
    if (isNull())
        return QString();
    switch (m_value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return shortest(m_value.toDouble());
    case QMetaType::QDate:
        return m_value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QDateTime: {
        const QDateTime dt = m_value.toDateTime();
        if (dt.time() == QTime(0, 0))
            return dt.date().toString(QStringLiteral("dd/MM/yyyy"));
        return dt.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    }
    default:
        return m_value.toString();
    }
}

int Field::asInteger() const
{
    const qint64 v = asLargeInt();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(asString()));
    return int(v);
}

qint64 Field::asLargeInt() const
{
    if (isNull())
        return 0;
    switch (m_value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return qint64(std::llround(m_value.toDouble()));
    case QMetaType::Bool:
        return m_value.toBool() ? 1 : 0;
    default:
        break;
    }
    bool ok = false;
    const qint64 v = m_value.toLongLong(&ok);
    if (ok)
        return v;
    if (isNumericText(m_value)) {
        // Exact decimals arrive as text: "12.0000" is still an integer.
        const QString text = m_value.toString().trimmed();
        const double d = text.toDouble(&ok);
        if (ok && d == std::floor(d) && std::fabs(d) < 9.2e18)
            return qint64(d);
    }
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(m_value.toString()));
}

double Field::asFloat() const
{
    if (isNull())
        return 0.0;
    if (isNumericText(m_value))
        return textToDouble(m_value.toString());
    bool ok = false;
    const double d = m_value.toDouble(&ok);
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(m_value.toString()));
    return d;
}

QDateTime Field::asDateTime() const
{
    if (isNull())
        return QDateTime();
    switch (m_value.typeId()) {
    case QMetaType::QDateTime:
        return m_value.toDateTime();
    case QMetaType::QDate:
        return QDateTime(m_value.toDate(), QTime(0, 0));
    default:
        break;
    }
    const QDateTime dt = parseStoredDateTime(m_value.toString());
    if (!dt.isValid())
        throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(m_value.toString()));
    return dt;
}

} // namespace platform
