#include "platform/ui/FocusExit.h"

#include "platform/ui/ExceptionRouter.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

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

void FocusExit::unwatch(QWidget *widget)
{
    FocusExit &s = self();
    s.m_handlers.remove(widget);
    disconnect(widget, &QObject::destroyed, &s, nullptr);
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

bool FocusExit::isSuppressed()
{
    return self().m_suppressed > 0;
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
    Suppressor suppress;
    for (const Handler &handler : handlers) {
        if (!ExceptionRouter::run(handler))
            break;
        if (!guard)
            break;
        QWidget *focus = QApplication::focusWidget();
        if (focus && (focus == guard || guard->isAncestorOf(focus)))
            break;
    }
}
