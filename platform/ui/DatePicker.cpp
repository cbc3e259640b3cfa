#include "platform/ui/DatePicker.h"

#include "platform/format/DateFormat.h"

DatePicker::DatePicker(QWidget *parent)
    : QDateEdit(QDate::currentDate(), parent)
{
    setDisplayFormat(DateFormat::qtDateFormat());
    setCalendarPopup(true);
}

bool DatePicker::focusNextPrevChild(bool next)
{
    return QWidget::focusNextPrevChild(next);
}
