#include "support/Drive.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

namespace Drive {

QWidget *focus()
{
    return QApplication::focusWidget();
}

void key(Qt::Key k, Qt::KeyboardModifiers modifiers)
{
    QWidget *target = focus();
    if (!target)
        target = QApplication::activeWindow();
    QTest::keyClick(target, k, modifiers);
}

void enter()
{
    key(Qt::Key_Return);
}

void clickInto(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(4, widget->height() / 2));
}

void click(QWidget *button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
}

void type(const QString &text)
{
    // Qt Test types Latin-1 only; Thai arrives as a key press carrying its text, as from a Thai
    // keyboard layout.
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(focus(), c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, focus(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void retype(QLineEdit *box, const QString &text)
{
    clickInto(box);
    key(Qt::Key_A, Qt::ControlModifier);
    key(Qt::Key_Delete);
    type(text);
}

void scan(QLineEdit *box, const QString &text)
{
    retype(box, text);
    enter();
}

void scanHere(const QString &text)
{
    type(text);
    enter();
}

void save()
{
    key(Qt::Key_F10);
}

} // namespace Drive
