#include "platform/ui/TarvoApplication.h"

#include "platform/core/Exceptions.h"
#include "platform/ui/ExceptionRouter.h"

#include <QEvent>

namespace platform {

TarvoApplication::TarvoApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{}

bool TarvoApplication::notify(QObject *receiver, QEvent *event)
{
    QString message;
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        message = currentExceptionMessage();
    }
    if (event->type() == QEvent::Close)
        event->ignore();
    // Reported outside the catch block: the handler may open a modal dialog with its own loop.
    ExceptionRouter::report(message);
    return true;
}

} // namespace platform
