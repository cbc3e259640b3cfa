#pragma once

#include <QLineEdit>

namespace platform {

// A calculator-style numeric edit. The user types digits, a sign in front and, when the box has
// decimal places, one decimal point; a key that would not leave a number is refused. text() is
// always what the user typed (or what code set); while the box does not have the focus it shows
// the value formatted with displayFormat(). When the focus leaves it for another control of the
// window, the text is converted: a text that is not a number (only code can put one there) gives
// the focus back and raises EConvertError to the application-wide handler, so the handlers a
// screen has on leaving the box do not run.
//
// Conversion of the text: blanks around and thousands separators are ignored, an empty text or a
// lone sign is 0, anything else goes through StrToFloat.
//
// A box may bound its value to a number of integer digits. More digits can still be typed, so
// that nothing is cut off unseen (a barcode scanned into the box stays whole), but leaving the
// box with them shows the box's range message and keeps the focus in it, before any conversion.
class NumberEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit NumberEdit(QWidget *parent = nullptr);

    int decimalPlaces() const { return m_decimalPlaces; }
    void setDecimalPlaces(int places);

    // A FormatFloat pattern; an empty one shows the text as typed.
    QString displayFormat() const { return m_displayFormat; }
    void setDisplayFormat(const QString &format);

    // The most digits the value may have before the decimal point, leading zeros not counted
    // (0: no bound), and the message that refuses more.
    void setMaxIntegerDigits(int digits, const QString &rangeMessage);
    // When the text has more integer digits than that: shows the range message, gives the focus
    // back to the box with its text selected and returns false.
    bool checkRange();

    // Whether leaving the box converts its text (on by default).
    void setCheckOnExit(bool check) { m_checkOnExit = check; }

    // The value of text(); raises EConvertError.
    double value() const;
    // Sets the text to the value with at most decimalPlaces() decimals ("1234", "1.5").
    void setValue(double value);

    // What the box shows while it does not have the focus: the value in the display format, or
    // the text itself when it is not a number or there is no display format.
    QString formattedText() const;

    // The text value() converts, after blanks, separators, empty text and lone signs are dealt with.
    static QString valueText(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void checkValueOnExit();
    bool inRange() const;

    int m_decimalPlaces = 0;
    QString m_displayFormat = QStringLiteral(",0.##");
    bool m_checkOnExit = true;
    int m_maxIntegerDigits = 0;
    QString m_rangeMessage;
};

} // namespace platform
