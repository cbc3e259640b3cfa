#pragma once

#include <QDateEdit>

// A date-only picker in the program's short date format ("dd/MM/yyyy") with a calendar that
// drops down. It starts at today's date. Typing changes the day, month and year sections in
// place; text is never parsed as a whole.
class DatePicker : public QDateEdit
{
    Q_OBJECT
public:
    explicit DatePicker(QWidget *parent = nullptr);
};
