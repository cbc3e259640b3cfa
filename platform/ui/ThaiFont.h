#pragma once

#include <QFont>

namespace platform {

// The screens' font: a Thai-capable sans serif at the given pixel size. Tahoma where it is
// installed, otherwise the Thai fonts of the system, so Thai text keeps its marks above and
// below the line.
QFont thaiFont(int pixelSize);

} // namespace platform
