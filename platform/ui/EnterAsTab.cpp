#include "platform/ui/EnterAsTab.h"

#include <QWidget>

namespace platform {

bool EnterAsTab::isTabStop(const QWidget *widget, const QWidget *window)
{
    return widget && widget != window && widget->window() == window && (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus &&
        !widget->focusProxy() && widget->isVisible() && widget->isEnabled();
}

QWidget *EnterAsTab::nextTabStop(QWidget *window, QWidget *from)
{
    if (!window)
        return nullptr;
    QWidget *start = from && from->window() == window ? from : window;
    // A control that forwards its focus (the line edit inside a spin box) stands for its target.
    while (start != window && start->focusProxy())
        start = start->focusProxy();
    QWidget *w = start;
    // The focus chain is a ring; the bound only guards against a damaged one.
    for (int steps = 0; steps < 100000; ++steps) {
        w = w->nextInFocusChain();
        if (!w)
            return nullptr;
        if (isTabStop(w, window))
            return w;
        if (w == start)
            return nullptr;
    }
    return nullptr;
}

bool EnterAsTab::focusNext(QWidget *window)
{
    QWidget *next = nextTabStop(window, window ? window->focusWidget() : nullptr);
    if (!next)
        return false;
    // A move by the keyboard, as Tab makes it: styles draw the focus mark of buttons, combo boxes
    // and tabs only in a window where the keyboard has moved the focus.
    window->setAttribute(Qt::WA_KeyboardFocusChange);
    next->setFocus(Qt::TabFocusReason);
    return true;
}

} // namespace platform
