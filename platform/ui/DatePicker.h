#pragma once

#include <QDateEdit>

namespace platform {

// A date-only picker in the program's short date format ("dd/MM/yyyy") with a calendar that
// drops down. It starts at today's date. Typing changes the day, month and year sections in
// place (the arrow keys move between them); text is never parsed as a whole. Tab leaves the box
// like any other control rather than stepping through its sections.
//
// A date is typed as clerks type it: entering the box, by the keyboard or by a click, selects
// the day; a full section selects the next one, and "/" ends a section early, so "05122026",
// "05/12/2026" and "5/12/2026" all give 5 December 2026. A click into the box while it already
// has the focus selects the section clicked.
class DatePicker : public QDateEdit
{
    Q_OBJECT
public:
    explicit DatePicker(QWidget *parent = nullptr);

protected:
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void clickReleased();

    // The click that gave the box the focus has yet to be released.
    bool m_enteredByClick = false;
    // The last key filled a section and the box went on to the next one.
    bool m_advanced = false;
};

} // namespace platform
