#include "platform/sql/ServerWait.h"

#include "platform/sql/OdbcStatement.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace platform {

namespace {

ServerWait::Hooks &hooks()
{
    static ServerWait::Hooks h;
    return h;
}

// Drops the clerk's input while a cancellable statement waits: keys and clicks would otherwise
// start other work on the busy connection. (The program's own hook, installed later, sees a
// key first: it takes Esc as the request to cancel and holds the other keys for after the wait.)
class InputBlocker : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::ContextMenu:
        case QEvent::InputMethod:
            return true;
        default:
            return false;
        }
    }
};

} // namespace

void ServerWait::setHooks(Hooks h)
{
    hooks() = std::move(h);
}

ServerWait::End ServerWait::run(const std::shared_ptr<OdbcCall> &call, int deadlineSeconds, bool clerkMayCancel, QThread *&thread)
{
    thread = nullptr;
    QThread *worker = QThread::create([call] { call->run(); });
    QCoreApplication *app = QCoreApplication::instance();
    const bool withEvents = app && QThread::currentThread() == app->thread();
    QEventLoop loop;
    if (withEvents)
        QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    worker->start();

    auto finish = [&](End end) {
        if (end == End::Abandoned || end == End::AbandonedByClerk) {
            QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
            thread = worker;
        } else {
            worker->wait();
            delete worker;
        }
        return end;
    };

    if (worker->wait(QDeadlineTimer(momentMs)))
        return finish(End::Answered);

    QDeadlineTimer deadline =
        deadlineSeconds > 0 ? QDeadlineTimer(qint64(deadlineSeconds) * 1000 - momentMs) : QDeadlineTimer(QDeadlineTimer::Forever);
    if (!withEvents) {
        if (worker->wait(deadline))
            return finish(End::Answered);
        call->cancel();
        return finish(worker->wait(QDeadlineTimer(cancelGraceMs)) ? End::DeadlinePassed : End::Abandoned);
    }

    End cancelled = End::Answered;
    bool gaveUp = false;
    QTimer graceTimer;
    graceTimer.setSingleShot(true);
    QObject::connect(&graceTimer, &QTimer::timeout, &loop, [&] {
        gaveUp = true;
        loop.quit();
    });
    auto cancelAs = [&](End why) {
        if (cancelled != End::Answered || worker->isFinished())
            return;
        cancelled = why;
        call->cancel();
        graceTimer.start(cancelGraceMs);
    };
    QTimer deadlineTimer;
    deadlineTimer.setSingleShot(true);
    QObject::connect(&deadlineTimer, &QTimer::timeout, &loop, [&] { cancelAs(End::DeadlinePassed); });
    if (deadlineSeconds > 0)
        deadlineTimer.start(int(qMax<qint64>(0, deadline.remainingTime())));

    InputBlocker blocker;
    if (clerkMayCancel)
        app->installEventFilter(&blocker);
    if (hooks().begin)
        hooks().begin(clerkMayCancel ? std::function<void()>([&] { cancelAs(End::CancelledByClerk); }) : std::function<void()>());
    // A save leaves what the clerk types meanwhile queued for later; during a cancellable read
    // the input is seen (Esc), the program's hook holding the keys and this blocker the rest.
    if (!worker->isFinished())
        loop.exec(clerkMayCancel ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    if (hooks().end)
        hooks().end();
    if (clerkMayCancel)
        app->removeEventFilter(&blocker);

    if (gaveUp && !worker->isFinished())
        return finish(cancelled == End::CancelledByClerk ? End::AbandonedByClerk : End::Abandoned);
    return finish(cancelled);
}

} // namespace platform
