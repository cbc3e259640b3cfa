#pragma once

#include <QString>

namespace platform {

// The application's title: the text of the program's task-bar entry, which the main screen sets
// to its caption when it shows, and the title of its plain message boxes. Kept apart from Qt's
// application display name, which Qt would append to the title of every window of the program.
namespace ApplicationTitle {
void set(const QString &title);
// The title set, else Qt's display name (by default the program's name).
QString text();
} // namespace ApplicationTitle

} // namespace platform
