#pragma once

#include <Qt>

class QLineEdit;
class QString;
class QWidget;

// Runs the event loop until nothing is pending (posted events, deferred deletes).
void settle();

// Keyboard and mouse, as the user drives a screen.
namespace Drive {
// Presses Enter in the focused control (forms move to the next control).
void enter();
// Presses a key in the focused control (or the active window when nothing has the focus).
void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Clicks into a control: it takes the focus as a mouse click gives it.
void clickInto(QWidget *widget);
// Clicks a button (or check box).
void click(QWidget *button);
// Types text into the focused control; Thai arrives as from a Thai keyboard layout.
void type(const QString &text);
// Clicks into a box, replaces what it holds with text and presses Enter (a barcode scanner).
void scan(QLineEdit *box, const QString &text);
// A barcode scanner as it is: types text into whatever has the focus, then presses Enter.
void scanHere(const QString &text);
// Clicks into a box and replaces what it holds with text, without leaving it.
void retype(QLineEdit *box, const QString &text);
void save(); // F10
// The control that has the focus.
QWidget *focus();
} // namespace Drive
