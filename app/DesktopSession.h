#pragma once

#include <QString>

// Qt's desktop platforms (X11 and Wayland) end the process with an abort when no display can be
// reached. The program checks first and says why, in Thai and English: "" when a display is
// there (or the platform needs none: Windows, macOS, QT_QPA_PLATFORM=offscreen and the like),
// otherwise the text for the standard error.
QString missingDesktopSession();
