#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace platform {

// "The focus enters a frame": the focus moves onto a control inside the frame while the control
// its window had before lay outside it (or the window had none yet, as when it is first shown).
// Focus going to another window and coming back is not a new entry, nor is a move between two
// controls of the frame. The handler runs once per entry.
class FocusEntry : public QObject
{
    Q_OBJECT
public:
    static void watch(QWidget *frame, std::function<void()> handler);

private:
    FocusEntry(QWidget *frame, std::function<void()> handler);
    void focusChanged(QWidget *old, QWidget *now);

    QWidget *m_frame;
    std::function<void()> m_handler;
    bool m_inside = false;
};

} // namespace platform
