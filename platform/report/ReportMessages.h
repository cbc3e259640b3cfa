#pragma once

#include "platform/report/ReportLanguage.h"

#include <QString>

namespace platform {

// What the engine tells the user when a report cannot be opened, prepared, printed or written,
// in the user's language and naming the file or printer. The cause of a fault in a definition
// (the element, attribute or expression at fault) is written for the definition's author and
// follows as it stands.
namespace ReportMessages {

QString noDefinition(ReportLanguage language);
// The definition file does not exist, or exists but cannot be read.
QString cannotOpen(ReportLanguage language, const QString &path);
QString badDefinition(ReportLanguage language, const QString &path, int line, const QString &cause);
QString cannotPrepare(ReportLanguage language, const QString &path, const QString &cause);
// A file cannot be written: says whether its folder is missing.
QString cannotWrite(ReportLanguage language, const QString &path);
// A printer (or PDF file) that cannot be opened; an empty name: none has been chosen.
QString cannotPrint(ReportLanguage language, const QString &printer);

} // namespace ReportMessages

} // namespace platform
