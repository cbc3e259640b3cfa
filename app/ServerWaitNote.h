#pragma once

#include <functional>

// What the clerk sees while a statement waits for the server (ServerWait's hooks): the wait
// cursor and a note at the foot of the active window, "waiting for the server"; for a
// statement that may be cancelled, the note says so and Esc cancels it. Every other key typed
// meanwhile is held and delivered in order after the last wait has ended.
namespace ServerWaitNote {
void begin(const std::function<void()> &cancel);
void end();
} // namespace ServerWaitNote
