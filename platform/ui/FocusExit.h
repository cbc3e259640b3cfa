#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <functional>

class QWidget;

namespace platform {

// "Leaving a control" as screens mean it: the focus moved from the control (or from inside it)
// to another control of the same window. It does not count when a message box, a drop-down list,
// a calendar or another window takes the focus, nor when the control loses the focus because it
// was hidden or disabled.
//
// Handlers run at once, in the order they were added, under exception routing: an exception
// ends the handlers of that move and goes to the application-wide handler. A handler that gives
// the focus back to its control (refocus) cancels the move: the handlers after it do not run.
// When a click moved the focus and a handler refused the move (an exception or refocus), the click
// goes no further: the button clicked is not pressed.
// Focus moves made while handlers run (a message box coming and going, refocus, a handler moving
// the focus on) fire no handlers, so a handler is never run again by its own message box.
//
//     FocusExit::watch(EdBarcode1, [this] { EdBarcode1Exit(); });
class FocusExit : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void()>;

    static void watch(QWidget *widget, Handler handler);

    // Gives the focus to widget without running any handler: the way an exit handler (or a
    // validation) keeps the user in a control.
    static void refocus(QWidget *widget);

    // While one exists, focus moves run no handlers.
    class Suppressor
    {
    public:
        Suppressor();
        ~Suppressor();
        Suppressor(const Suppressor &) = delete;
        Suppressor &operator=(const Suppressor &) = delete;
    };

private:
    explicit FocusExit(QObject *parent);
    static FocusExit &self();
    void focusChanged(QWidget *old, QWidget *now);
    QWidget *watchedAncestor(QWidget *widget) const;

    QHash<QWidget *, QList<Handler>> m_handlers;
    int m_suppressed = 0;
};

} // namespace platform
