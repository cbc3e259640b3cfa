#pragma once

#include <QStringView>

namespace platform {

// The Thai Windows code page 874, the code page of a Thai collation's varchar text.
namespace CodePage874 {

// The position of the first character of text that code page 874 cannot hold, or -1.
qsizetype firstUnencodable(QStringView text);

} // namespace CodePage874

} // namespace platform
