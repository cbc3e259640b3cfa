#pragma once

#include <functional>
#include <memory>

class QThread;

namespace platform {

class OdbcCall;

// Runs one statement on a thread of its own while the calling thread goes on with its events,
// so that the window keeps painting while the server works. A statement that answers within a
// moment is simply waited for; after that the program is told that a wait began (a wait cursor,
// a note) and, if the clerk may end it, how to cancel it. At the deadline the statement is
// cancelled through the driver; a server that does not answer even that is left to the
// driver's own time-out on its thread, and the caller gets control back.
class ServerWait
{
public:
    enum class End {
        Answered,         // the statement ended by itself (with or without an error)
        DeadlinePassed,   // cancelled at the deadline; the driver confirmed the cancel
        CancelledByClerk, // cancelled on request; the driver confirmed the cancel
        Abandoned,        // cancelled at the deadline, but no answer came: the thread still waits on its connection
        AbandonedByClerk, // cancelled on request, but no answer came: the thread still waits on its connection
    };

    // What the program shows while a statement waits: begin gets a cancel function (empty when
    // the statement may not be cancelled by the clerk); end follows every begin.
    struct Hooks {
        std::function<void(const std::function<void()> &cancel)> begin;
        std::function<void()> end;
    };
    static void setHooks(Hooks hooks);

    // Runs call; deadlineSeconds 0 leaves the end to the driver's statement time-out. When the
    // result is Abandoned or AbandonedByClerk, thread is the thread still running the call (it
    // deletes itself when done); otherwise it is null.
    static End run(const std::shared_ptr<OdbcCall> &call, int deadlineSeconds, bool clerkMayCancel, QThread *&thread);

    // How long a statement runs before it counts as waiting, and how long a cancelled statement
    // gets for the driver's confirmation.
    static constexpr int momentMs = 250;
    static constexpr int cancelGraceMs = 2000;
};

} // namespace platform
