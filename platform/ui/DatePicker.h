#pragma once

#include <QDateEdit>

// A date-only picker in the program's short date format ("dd/MM/yyyy") with a calendar that
// drops down. It starts at today's date. Typing changes the day, month and year sections in
// place (the arrow keys move between them); text is never parsed as a whole. Tab leaves the box
// like any other control rather than stepping through its sections.
class DatePicker : public QDateEdit
{
    Q_OBJECT
public:
    explicit DatePicker(QWidget *parent = nullptr);

protected:
    bool focusNextPrevChild(bool next) override;
};
