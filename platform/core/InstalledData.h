#pragma once

#include <QString>

namespace platform {

// The folder of the installed program's read-only data (report definitions, T-SQL scripts):
// <prefix>/share/tarvo-consignment beside the program's <prefix>/bin, found from the folder of
// the running program, with a separator at the end. Needs the application object.
QString installedDataDir();

} // namespace platform
