#pragma once

#include <QString>

namespace platform {

// The language of what the report engine says to the user: its messages, the preview and the
// printer and page set-up dialogs. The host decides it from the signed-in user.
enum class ReportLanguage { Thai, English };

// The Thai or the English text, by language.
inline QString byLanguage(ReportLanguage language, const QString &thai, const QString &english)
{
    return language == ReportLanguage::Thai ? thai : english;
}

} // namespace platform
