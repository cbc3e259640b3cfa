#include "platform/ui/ExceptionRouter.h"

#include "platform/ui/DialogService.h"

namespace platform {

namespace {

ExceptionRouter::Handler &handlerSlot()
{
    static ExceptionRouter::Handler handler;
    return handler;
}

} // namespace

void ExceptionRouter::setHandler(Handler handler)
{
    handlerSlot() = std::move(handler);
}

bool ExceptionRouter::hasHandler()
{
    return bool(handlerSlot());
}

void ExceptionRouter::showInErrorBox(const QString &message)
{
    DialogService::instance().showError(message);
}

void ExceptionRouter::report(const QString &message)
{
    // A copy: the handler may replace itself while it runs.
    const Handler handler = handlerSlot();
    if (!handler) {
        try {
            showInErrorBox(message);
        } catch (...) {
            // Nothing is left to show it with; the program goes on.
        }
        return;
    }
    QString secondary;
    try {
        handler(message);
        return;
    } catch (...) {
        secondary = currentExceptionMessage();
    }
    try {
        showInErrorBox(message + QLatin1Char('\n') + secondary);
    } catch (...) {}
}

} // namespace platform
