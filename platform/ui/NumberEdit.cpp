#include "platform/ui/NumberEdit.h"

#include "platform/core/Exceptions.h"
#include "platform/format/Conversions.h"
#include "platform/format/FormatFloat.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/FocusExit.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QValidator>

namespace platform {

namespace {

// Accepts a text when it is still a number after the key: an optional sign in front, digits and,
// with decimal places, one decimal point followed by at most that many digits.
class NumberValidator : public QValidator
{
public:
    explicit NumberValidator(NumberEdit *edit)
        : QValidator(edit)
        , m_edit(edit)
    {}

    State validate(QString &input, int &) const override
    {
        int i = 0;
        const int n = int(input.size());
        if (i < n && (input[i] == u'-' || input[i] == u'+'))
            ++i;
        int decimals = -1;
        for (; i < n; ++i) {
            const QChar c = input[i];
            if (c >= u'0' && c <= u'9') {
                if (decimals >= 0)
                    ++decimals;
            } else if (c == DecimalSeparator && decimals < 0 && m_edit->decimalPlaces() > 0) {
                decimals = 0;
            } else {
                return Invalid;
            }
        }
        return decimals > m_edit->decimalPlaces() ? Invalid : Acceptable;
    }

private:
    NumberEdit *m_edit;
};

} // namespace

NumberEdit::NumberEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setValidator(new NumberValidator(this));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setAcceptDrops(false);
    // Registered first, so that the conversion runs before any handler a screen adds.
    FocusExit::watch(this, [this] { checkValueOnExit(); });
}

void NumberEdit::setDecimalPlaces(int places)
{
    m_decimalPlaces = qMax(0, places);
    update();
}

void NumberEdit::setDisplayFormat(const QString &format)
{
    m_displayFormat = format;
    update();
}

QString NumberEdit::valueText(const QString &text)
{
    QString result = text.trimmed();
    result.remove(ThousandSeparator);
    if (result.isEmpty() || result == u"-" || result == u"+")
        return QStringLiteral("0");
    return result;
}

double NumberEdit::value() const
{
    return StrToFloat(valueText(text()));
}

void NumberEdit::setValue(double value)
{
    QString pattern = QStringLiteral("0");
    if (m_decimalPlaces > 0)
        pattern += QLatin1Char('.') + QString(m_decimalPlaces, QLatin1Char('#'));
    setText(FormatFloat(pattern, value));
}

QString NumberEdit::formattedText() const
{
    if (m_displayFormat.isEmpty())
        return text();
    try {
        return FormatFloat(m_displayFormat, value());
    } catch (const EConvertError &) {
        return text();
    }
}

void NumberEdit::setMaxIntegerDigits(int digits, const QString &rangeMessage)
{
    m_maxIntegerDigits = qMax(0, digits);
    m_rangeMessage = rangeMessage;
}

bool NumberEdit::inRange() const
{
    if (m_maxIntegerDigits == 0)
        return true;
    const QString t = valueText(text());
    qsizetype i = t.startsWith(u'-') || t.startsWith(u'+') ? 1 : 0;
    while (i < t.size() && t[i] == u'0')
        ++i;
    int digits = 0;
    for (; i < t.size() && t[i] >= u'0' && t[i] <= u'9'; ++i)
        ++digits;
    return digits <= m_maxIntegerDigits;
}

bool NumberEdit::checkRange()
{
    if (inRange())
        return true;
    DialogService::instance().showMessage(m_rangeMessage);
    FocusExit::refocus(this);
    selectAll();
    return false;
}

void NumberEdit::checkValueOnExit()
{
    if (!m_checkOnExit || !checkRange())
        return;
    try {
        value();
    } catch (const EConvertError &) {
        FocusExit::refocus(this);
        selectAll();
        throw;
    }
}

void NumberEdit::paintEvent(QPaintEvent *event)
{
    if (hasFocus() || m_displayFormat.isEmpty()) {
        QLineEdit::paintEvent(event);
        return;
    }
    // The frame as the line edit draws it, with the formatted value where its text would be.
    QPainter painter(this);
    QStyleOptionFrame option;
    initStyleOption(&option);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
    QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    r = r.marginsRemoved(textMargins()).adjusted(2, 1, -2, -1);
    Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    if (!(align & Qt::AlignVertical_Mask))
        align |= Qt::AlignVCenter;
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    painter.drawText(r, int(align), formattedText());
}

} // namespace platform
