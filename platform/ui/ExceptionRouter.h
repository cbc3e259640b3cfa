#pragma once

#include "platform/core/Exceptions.h"

#include <QString>
#include <functional>

namespace platform {

// Where an exception that no code handled ends: the application-wide handler. The application
// class hands it every exception that leaves an event handler (TarvoApplication::notify); code
// that Qt does not reach through an event runs under run(). Until the error handling sets its
// handler, the message is shown in an error box through the dialog service. Either way the
// program goes on.
//
// Handlers connected to signals go through connectGuarded (ConnectGuarded.h), which runs them
// under run(): the exception is then reported right where the handler ends instead of unwinding
// through Qt's own frames up to notify(), which Qt does not allow.
class ExceptionRouter
{
public:
    using Handler = std::function<void(const QString &message)>;

    // The handler for every unhandled exception; an empty one goes back to the error box.
    static void setHandler(Handler handler);
    static bool hasHandler();

    // Hands an exception's message to the handler. An exception that escapes the handler itself
    // is shown in the error box instead, so that handling an error never ends the program.
    static void report(const QString &message);

    // Runs fn and reports an exception that leaves it. Returns false when fn did not finish.
    template <typename Fn>
    static bool run(Fn &&fn)
    {
        QString message;
        try {
            fn();
            return true;
        } catch (...) {
            message = currentExceptionMessage();
        }
        report(message);
        return false;
    }

    // What report() does while no handler is set.
    static void showInErrorBox(const QString &message);
};

} // namespace platform
