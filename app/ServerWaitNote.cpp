#include "app/ServerWaitNote.h"

#include "platform/ui/ThaiFont.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QWidget>

namespace {

// Esc while a cancellable statement waits: the request to cancel it.
class EscapeCancels : public QObject
{
public:
    explicit EscapeCancels(std::function<void()> cancel)
        : m_cancel(std::move(cancel))
    {}
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent *>(event)->key() != Qt::Key_Escape)
            return false;
        m_cancel();
        return true;
    }

private:
    std::function<void()> m_cancel;
};

struct Shown {
    QPointer<QLabel> note;
    EscapeCancels *escape = nullptr;
};

QList<Shown> &shown()
{
    static QList<Shown> waits; // a wait inside a wait (the other database) stacks
    return waits;
}

} // namespace

namespace ServerWaitNote {

void begin(const std::function<void()> &cancel)
{
    if (!qApp)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Shown s;
    if (QWidget *window = QApplication::activeWindow()) {
        s.note = new QLabel(window);
        s.note->setObjectName(QStringLiteral("ServerWaitNote"));
        s.note->setFont(thaiFont(14));
        s.note->setText(cancel ? QStringLiteral("กำลังรอเซิร์ฟเวอร์ตอบ… กด Esc เพื่อยกเลิก") : QStringLiteral("กำลังรอเซิร์ฟเวอร์ตอบ…"));
        s.note->setStyleSheet(QStringLiteral("background: #fff8c4; border: 1px solid #b0a040; padding: 4px;"));
        s.note->adjustSize();
        s.note->move((window->width() - s.note->width()) / 2, window->height() - s.note->height() - 8);
        s.note->show();
        s.note->raise();
    }
    if (cancel) {
        s.escape = new EscapeCancels(cancel);
        qApp->installEventFilter(s.escape);
    }
    shown().append(s);
}

void end()
{
    if (!qApp || shown().isEmpty())
        return;
    const Shown s = shown().takeLast();
    delete s.note;
    delete s.escape; // a deleted filter is taken off the application
    QApplication::restoreOverrideCursor();
}

} // namespace ServerWaitNote
