#include "platform/ui/FocusExit.h"

#include "platform/ui/ExceptionRouter.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace platform {

namespace {

// Eats the mouse press that is on its way to a widget: the press that gave the widget the focus
// when leaving the previous control was refused. Without it a button would still be clicked
// after the control refused its value (a second message for the same mistake, or the action run
// with the refused value). It goes away after this round of events whether a press came or not.
class PressSwallower : public QObject
{
public:
    explicit PressSwallower(QWidget *target)
        : QObject(target)
    {
        target->installEventFilter(this);
        QTimer::singleShot(0, this, &QObject::deleteLater);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            watched->removeEventFilter(this);
            deleteLater();
            return true;
        }
        return false;
    }
};

} // namespace

FocusExit::FocusExit(QObject *parent)
    : QObject(parent)
{
    connect(qApp, &QApplication::focusChanged, this, &FocusExit::focusChanged);
}

FocusExit &FocusExit::self()
{
    static QPointer<FocusExit> instance;
    if (!instance)
        instance = new FocusExit(qApp);
    return *instance;
}

void FocusExit::watch(QWidget *widget, Handler handler)
{
    FocusExit &s = self();
    if (!s.m_handlers.contains(widget))
        connect(widget, &QObject::destroyed, &s, [widget] { self().m_handlers.remove(widget); });
    s.m_handlers[widget].append(std::move(handler));
}

void FocusExit::refocus(QWidget *widget)
{
    Suppressor suppress;
    widget->setFocus(Qt::OtherFocusReason);
}

FocusExit::Suppressor::Suppressor()
{
    ++self().m_suppressed;
}

FocusExit::Suppressor::~Suppressor()
{
    --self().m_suppressed;
}

QWidget *FocusExit::watchedAncestor(QWidget *widget) const
{
    // Up to the window only: a drop-down list is a window of its own whose parent is its combo.
    for (QWidget *w = widget; w; w = w->isWindow() ? nullptr : w->parentWidget())
        if (m_handlers.contains(w))
            return w;
    return nullptr;
}

void FocusExit::focusChanged(QWidget *old, QWidget *now)
{
    if (m_suppressed > 0 || !old || !now || old == now)
        return;
    if (old->window() != now->window())
        return;
    QWidget *watched = watchedAncestor(old);
    if (!watched || watched == now || watched->isAncestorOf(now))
        return;
    if (!watched->isVisible() || !watched->isEnabled())
        return;

    const QList<Handler> handlers = m_handlers.value(watched);
    QPointer<QWidget> guard(watched);
    QPointer<QWidget> target(now);
    const bool byMouse = QGuiApplication::mouseButtons() != Qt::NoButton;
    bool refused = false;
    {
        Suppressor suppress;
        for (const Handler &handler : handlers) {
            if (!ExceptionRouter::run(handler)) {
                refused = true;
                break;
            }
            if (!guard)
                break;
            QWidget *focus = QApplication::focusWidget();
            if (focus && (focus == guard || guard->isAncestorOf(focus))) {
                refused = true;
                break;
            }
        }
    }
    if (refused && byMouse && target)
        new PressSwallower(target);
}

} // namespace platform
