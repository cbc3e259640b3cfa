#pragma once

class QWidget;

namespace platform {

// Enter as Tab: the next control of a window in tab order, forward and wrapping from the last
// to the first. Only tab stops count: controls that take the focus by Tab, visible and enabled,
// and not merely forwarding the focus to another control.
class EnterAsTab
{
public:
    static bool isTabStop(const QWidget *widget, const QWidget *window);
    // The tab stop after from (the focused control; nullptr starts at the window). It may be from
    // itself when it is the only tab stop; nullptr when the window has none.
    static QWidget *nextTabStop(QWidget *window, QWidget *from);
    // Moves the focus of window to the next tab stop, showing the focus mark as Tab does. Returns
    // false when there is none.
    static bool focusNext(QWidget *window);
};

} // namespace platform
