#include "platform/ui/FocusEntry.h"

#include <QApplication>
#include <QWidget>

namespace platform {

FocusEntry::FocusEntry(QWidget *frame, std::function<void()> handler)
    : QObject(frame)
    , m_frame(frame)
    , m_handler(std::move(handler))
{
    connect(qApp, &QApplication::focusChanged, this, &FocusEntry::focusChanged);
}

void FocusEntry::watch(QWidget *frame, std::function<void()> handler)
{
    new FocusEntry(frame, std::move(handler));
}

void FocusEntry::focusChanged(QWidget *, QWidget *now)
{
    // Only moves inside the frame's own window count; a window that loses the focus keeps
    // its focused control, as it does when it gets the focus back.
    if (!now || now->window() != m_frame->window())
        return;
    const bool inside = now == m_frame || m_frame->isAncestorOf(now);
    const bool entered = inside && !m_inside;
    m_inside = inside;
    if (entered && m_handler)
        m_handler();
}

} // namespace platform
