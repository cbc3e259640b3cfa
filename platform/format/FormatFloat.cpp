#include "platform/format/FormatFloat.h"

#include "platform/format/DecimalDigits.h"

#include <QList>
#include <QStringView>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

constexpr int maxFixedIntegerDigits = 18;   // beyond this FormatFloat falls back to FloatToStr
constexpr int maxGeneralIntegerDigits = 15; // FloatToStr writes fixed up to this many
constexpr int minGeneralPointPosition = -4; // 0.00001 is 0.1 x 10^-4

bool isQuote(QChar c)
{
    return c == u'\'' || c == u'"';
}

// Splits at ';' outside quotes; at most three sections count.
QList<QStringView> splitSections(QStringView pattern)
{
    QList<QStringView> sections;
    qsizetype start = 0;
    QChar quote;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (isQuote(c)) {
            quote = c;
        } else if (c == u';') {
            sections.append(pattern.mid(start, i - start));
            start = i + 1;
            if (sections.size() == 3)
                return sections;
        }
    }
    sections.append(pattern.mid(start));
    return sections;
}

// Position of the exponent marker 'E+'/'E-' at index i, if there is one.
bool isExponentAt(QStringView section, qsizetype i)
{
    const QChar c = section.at(i);
    return (c == u'E' || c == u'e') && i + 1 < section.size() && (section.at(i + 1) == u'+' || section.at(i + 1) == u'-');
}

struct Layout {
    int integerPlaces = 0;
    int fractionPlaces = 0;
    int firstIntegerZero = -1; // index among the integer places of the first '0'
    int lastFractionZero = 0;  // 1-based index among the decimal places of the last '0'
    bool grouping = false;
    bool scientific = false;
    int exponentDigits = 0;
};

Layout scanSection(QStringView section)
{
    Layout layout;
    bool pointSeen = false;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section.at(i);
        if (isQuote(c)) {
            const qsizetype close = section.indexOf(c, i + 1);
            i = close < 0 ? section.size() : close;
        } else if (c == u'0' || c == u'#') {
            if (pointSeen) {
                ++layout.fractionPlaces;
                if (c == u'0')
                    layout.lastFractionZero = layout.fractionPlaces;
            } else {
                if (c == u'0' && layout.firstIntegerZero < 0)
                    layout.firstIntegerZero = layout.integerPlaces;
                ++layout.integerPlaces;
            }
        } else if (c == u'.') {
            pointSeen = true;
        } else if (c == u',') {
            layout.grouping = true;
        } else if (!layout.scientific && isExponentAt(section, i)) {
            layout.scientific = true;
            i += 1;
            while (i + 1 < section.size() && section.at(i + 1) == u'0') {
                ++i;
                if (layout.exponentDigits < 4)
                    ++layout.exponentDigits;
            }
        }
    }
    return layout;
}

// Writes the digits of a non-negative decimal into the section's places.
class SectionWriter
{
public:
    SectionWriter(QStringView section, const Layout &layout, const DecimalDigits &magnitude, int exponent)
        : m_section(section)
        , m_layout(layout)
        , m_exponent(exponent)
    {
        m_integer = QString::fromLatin1(magnitude.integerDigits());
        const int minInteger = layout.firstIntegerZero < 0 ? 0 : layout.integerPlaces - layout.firstIntegerZero;
        if (m_integer.size() < minInteger)
            m_integer.prepend(QString(minInteger - m_integer.size(), u'0'));

        m_fraction = QString::fromLatin1(magnitude.fractionDigits(layout.fractionPlaces));
        qsizetype shown = m_fraction.size();
        while (shown > layout.lastFractionZero && m_fraction.at(shown - 1) == u'0')
            --shown;
        m_fraction.truncate(shown);
    }

    QString write()
    {
        int integerPlacesLeft = m_layout.integerPlaces;
        int fractionPlace = 0;
        bool exponentWritten = false;
        for (qsizetype i = 0; i < m_section.size(); ++i) {
            const QChar c = m_section.at(i);
            if (isQuote(c)) {
                const qsizetype close = m_section.indexOf(c, i + 1);
                const qsizetype stop = close < 0 ? m_section.size() : close;
                m_out.append(m_section.mid(i + 1, stop - i - 1));
                i = stop;
            } else if (c == u'0' || c == u'#') {
                if (integerPlacesLeft > 0) {
                    --integerPlacesLeft;
                    writeIntegerDigitsAbove(integerPlacesLeft);
                } else {
                    writeIntegerDigitsAbove(0);
                    ++fractionPlace;
                    if (fractionPlace <= m_fraction.size()) {
                        if (fractionPlace == 1)
                            m_out.append(QChar(DecimalSeparator));
                        m_out.append(m_fraction.at(fractionPlace - 1));
                    }
                }
            } else if (c == u'.' || c == u',') {
                // The point is written with the first decimal shown; ',' only turns on grouping.
            } else if (m_layout.scientific && !exponentWritten && isExponentAt(m_section, i)) {
                exponentWritten = true;
                writeIntegerDigitsAbove(0);
                const bool alwaysSign = m_section.at(i + 1) == u'+';
                i += 1;
                while (i + 1 < m_section.size() && m_section.at(i + 1) == u'0')
                    ++i;
                m_out.append(c);
                if (m_exponent < 0)
                    m_out.append(u'-');
                else if (alwaysSign)
                    m_out.append(u'+');
                QString digits = QString::number(std::abs(m_exponent));
                if (digits.size() < m_layout.exponentDigits)
                    digits.prepend(QString(m_layout.exponentDigits - digits.size(), u'0'));
                m_out.append(digits);
            } else {
                m_out.append(c);
            }
        }
        return m_out;
    }

private:
    // Writes the integer digits whose place (units = 1) lies above `place`.
    void writeIntegerDigitsAbove(int place)
    {
        while (m_nextInteger < m_integer.size()) {
            const qsizetype digitPlace = m_integer.size() - m_nextInteger;
            if (digitPlace <= place)
                return;
            m_out.append(m_integer.at(m_nextInteger));
            ++m_nextInteger;
            if (m_layout.grouping && digitPlace > 1 && (digitPlace - 1) % 3 == 0)
                m_out.append(QChar(ThousandSeparator));
        }
    }

    QStringView m_section;
    const Layout &m_layout;
    int m_exponent;
    QString m_integer;
    QString m_fraction;
    qsizetype m_nextInteger = 0;
    QString m_out;
};

// Rounds |value| for the section; in scientific form also gives the exponent and moves the point.
DecimalDigits roundForSection(const Layout &layout, const DecimalDigits &magnitude, int *exponent)
{
    *exponent = 0;
    if (!layout.scientific)
        return magnitude.roundedToDecimals(layout.fractionPlaces);
    const int significant = std::max(1, layout.integerPlaces + layout.fractionPlaces);
    const DecimalDigits rounded = magnitude.roundedToSignificant(significant);
    if (rounded.isZero())
        return rounded;
    *exponent = rounded.pointPosition() - layout.integerPlaces;
    return rounded.scaled(-*exponent);
}

} // namespace

QString FormatFloat(const QString &pattern, double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");

    if (pattern.isEmpty())
        return FloatToStr(value);

    const QList<QStringView> sections = splitSections(pattern);
    auto sectionAt = [&](int index) { return index < sections.size() && !sections.at(index).isEmpty() ? index : 0; };

    const DecimalDigits magnitude = DecimalDigits::fromDouble(value).abs();
    int sectionIndex = value < 0 ? sectionAt(1) : value > 0 ? 0 : sectionAt(2);
    Layout layout = scanSection(sections.at(sectionIndex));
    int exponent = 0;
    DecimalDigits rounded = roundForSection(layout, magnitude, &exponent);

    if (rounded.isZero() && value != 0) {
        sectionIndex = sectionAt(2);
        layout = scanSection(sections.at(sectionIndex));
        rounded = DecimalDigits();
        exponent = 0;
    }
    if (!layout.scientific && rounded.pointPosition() > maxFixedIntegerDigits)
        return FloatToStr(value);

    QString result;
    if (value < 0 && !rounded.isZero() && sectionIndex == 0)
        result.append(u'-');
    result.append(SectionWriter(sections.at(sectionIndex), layout, rounded, exponent).write());
    return result;
}

QString FloatToStr(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    const DecimalDigits number = DecimalDigits::fromDouble(value);
    if (number.isZero())
        return QStringLiteral("0");

    const QString digits = QString::fromLatin1(number.digits());
    const int point = number.pointPosition();
    QString result = number.isNegative() ? QStringLiteral("-") : QString();
    if (point > maxGeneralIntegerDigits || point < minGeneralPointPosition) {
        result.append(digits.at(0));
        if (digits.size() > 1)
            result.append(QChar(DecimalSeparator)).append(digits.mid(1));
        result.append(u'E').append(QString::number(point - 1));
    } else if (point <= 0) {
        result.append(u'0').append(QChar(DecimalSeparator)).append(QString(-point, u'0')).append(digits);
    } else if (point >= digits.size()) {
        result.append(digits).append(QString(point - digits.size(), u'0'));
    } else {
        result.append(digits.left(point)).append(QChar(DecimalSeparator)).append(digits.mid(point));
    }
    return result;
}

} // namespace platform
