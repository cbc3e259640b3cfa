#include "platform/report/ReportValueText.h"

#include "platform/report/ReportNumberFormat.h"

#include <QDateTime>
#include <QLocale>
#include <cmath>

namespace platform {

QString ReportValueText::plainNumber(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::floor(value) == value && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}

QString ReportValueText::text(const QVariant &value, const QString &numberFormat, const QString &dateFormat)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        if (!numberFormat.isEmpty())
            return ReportNumberFormat::format(value.toDouble(), numberFormat);
        if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int)
            return QString::number(value.toLongLong());
        return plainNumber(value.toDouble());
    case QMetaType::QDate:
    case QMetaType::QDateTime: {
        const QDateTime dateTime =
            value.typeId() == QMetaType::QDate ? value.toDate().startOfDay() : value.toDateTime().toLocalTime();
        if (!dateFormat.isEmpty())
            return QLocale::c().toString(dateTime, dateFormat);
        const bool midnight = dateTime.time() == QTime(0, 0);
        return QLocale::c().toString(dateTime, midnight ? QStringLiteral("dd/MM/yyyy") : QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    }
    default:
        return value.toString();
    }
}

} // namespace platform
