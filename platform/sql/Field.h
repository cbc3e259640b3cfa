#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace platform {

// One column value of a dataset's current row, with the conversions screens use.
// Conversions of text that is not a number or a date raise EConvertError.
class Field
{
public:
    Field(const QString &name, const QVariant &value)
        : m_name(name)
        , m_value(value)
    {}

    const QString &name() const { return m_name; }
    const QVariant &value() const { return m_value; }
    bool isNull() const { return !m_value.isValid() || m_value.isNull(); }

    QString asString() const;     // NULL gives ""
    int asInteger() const;        // NULL gives 0
    qint64 asLargeInt() const;    // NULL gives 0
    double asFloat() const;       // NULL gives 0
    QDateTime asDateTime() const; // NULL gives an invalid date-time
    QDate asDate() const { return asDateTime().date(); }

private:
    QString m_name;
    QVariant m_value;
};

// Reads the date and date-time texts the embedded engine stores ("YYYY-MM-DD",
// "YYYY-MM-DD HH:MM:SS" with optional fractions, or "T" between date and time).
QDateTime parseStoredDateTime(const QString &text);

} // namespace platform
