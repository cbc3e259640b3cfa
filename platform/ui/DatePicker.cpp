#include "platform/ui/DatePicker.h"

#include "platform/format/DateFormat.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace platform {

DatePicker::DatePicker(QWidget *parent)
    : QDateEdit(QDate::currentDate(), parent)
{
    setDisplayFormat(DateFormat::qtDateFormat());
    setCalendarPopup(true);
    // A click into the text lands in the line edit inside, which puts the cursor where it was
    // clicked.
    lineEdit()->installEventFilter(this);
}

bool DatePicker::focusNextPrevChild(bool next)
{
    return QWidget::focusNextPrevChild(next);
}

void DatePicker::focusInEvent(QFocusEvent *event)
{
    QDateEdit::focusInEvent(event);
    m_advanced = false;
    if (event->reason() == Qt::MouseFocusReason)
        m_enteredByClick = true; // the day is selected once the click has put its cursor
    else
        setSelectedSection(DaySection);
}

void DatePicker::keyPressEvent(QKeyEvent *event)
{
    if (event->text() == QStringLiteral("/")) {
        // The separator ends the section being typed; right after a full section it is the one
        // the box has already gone past.
        if (!m_advanced && currentSectionIndex() + 1 < sectionCount()) {
            interpretText();
            setCurrentSectionIndex(currentSectionIndex() + 1);
            setSelectedSection(currentSection());
        }
        m_advanced = false;
        event->accept();
        return;
    }
    const Section before = currentSection();
    QDateEdit::keyPressEvent(event);
    // Selected, the next section is typed over rather than typed into.
    m_advanced = !event->text().isEmpty() && currentSection() != before;
    if (m_advanced)
        setSelectedSection(currentSection());
}

void DatePicker::mouseReleaseEvent(QMouseEvent *event)
{
    QDateEdit::mouseReleaseEvent(event);
    clickReleased();
}

bool DatePicker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease)
        clickReleased();
    return QDateEdit::eventFilter(watched, event);
}

void DatePicker::clickReleased()
{
    // A click that entered the box starts at the day; a later click selects the section clicked
    // (not a stretch of text dragged over), so that what is typed replaces it.
    if (m_enteredByClick)
        setSelectedSection(DaySection);
    else if (!lineEdit()->hasSelectedText())
        setSelectedSection(currentSection());
    m_enteredByClick = false;
}

} // namespace platform
