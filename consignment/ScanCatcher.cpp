#include "consignment/ScanCatcher.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

ScanCatcher::ScanCatcher()
{
    qApp->installEventFilter(this);
}

ScanCatcher::~ScanCatcher()
{
    qApp->removeEventFilter(this);
}

bool ScanCatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    QWidget *modal = QApplication::activeModalWidget();
    auto *target = qobject_cast<QWidget *>(watched);
    if (!modal || !target || target->window() != modal)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (m_scan.isEmpty())
            return false;
        if (event->type() == QEvent::KeyPress)
            modal->close();
        return true;
    }
    const QString text = key->text();
    if (text.isEmpty() || !text.at(0).isPrint() || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    if (event->type() == QEvent::KeyPress)
        m_scan += text;
    return true;
}
