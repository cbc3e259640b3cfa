#include "app/ServerWaitNote.h"

#include "platform/ui/ThaiFont.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QWidget>

#include <memory>

using namespace platform;

namespace {

// What is typed while a wait lasts, oldest first.
QList<std::shared_ptr<QEvent>> &held()
{
    static QList<std::shared_ptr<QEvent>> events;
    return events;
}

// The keys typed while a statement waits: Esc cancels a statement that may be cancelled; every
// other key and typed text is held, to be delivered in order once no statement waits any more
// (a barcode scanner typing the next item meanwhile loses nothing). A key is not taken as a
// shortcut while held; delivered, it is one again (F10 saves).
class KeysDuringWait : public QObject
{
public:
    explicit KeysDuringWait(std::function<void()> cancel)
        : m_cancel(std::move(cancel))
    {}
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::ShortcutOverride: // the key press follows, to be held
            event->accept();
            return true;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            if (m_cancel && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
                if (event->type() == QEvent::KeyPress)
                    m_cancel();
                return true;
            }
            held().append(std::shared_ptr<QEvent>(event->clone()));
            return true;
        case QEvent::InputMethod:
            held().append(std::shared_ptr<QEvent>(event->clone()));
            return true;
        default:
            return false;
        }
    }

private:
    std::function<void()> m_cancel;
};

struct Shown {
    QPointer<QLabel> note;
    KeysDuringWait *keys = nullptr;
};

QList<Shown> &shown()
{
    static QList<Shown> waits; // a wait inside a wait (the other database) stacks
    return waits;
}

// The held keys go, one at a time, to the control that has the focus when each is delivered, as
// if typed then. A key that starts another wait leaves the rest held until that one ends.
void deliverHeld()
{
    while (shown().isEmpty() && !held().isEmpty()) {
        const std::shared_ptr<QEvent> event = held().takeFirst();
        QWidget *target = QApplication::focusWidget();
        if (!target)
            target = QApplication::activeWindow();
        if (target)
            QCoreApplication::sendEvent(target, event.get());
    }
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
    s.keys = new KeysDuringWait(cancel);
    qApp->installEventFilter(s.keys);
    shown().append(s);
}

void end()
{
    if (!qApp || shown().isEmpty())
        return;
    const Shown s = shown().takeLast();
    delete s.note;
    delete s.keys; // a deleted filter is taken off the application
    QApplication::restoreOverrideCursor();
    // Once the handler that waited has finished with the answer.
    if (shown().isEmpty() && !held().isEmpty())
        QMetaObject::invokeMethod(qApp, &deliverHeld, Qt::QueuedConnection);
}

} // namespace ServerWaitNote
