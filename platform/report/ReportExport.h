#pragma once

#include "platform/report/ReportDocument.h"
#include "platform/report/ReportLanguage.h"

#include <QString>

namespace platform {

// Writes a prepared report to a file in one of the export formats. CSV is the default.
class ReportExport
{
public:
    enum class Format { Csv, Rtf, Pdf, Xlsx };

    // Raises EInOutError, with a message in `language` naming the file, when the file cannot be
    // written; nothing is left at the path then.
    static void write(const ReportDocument &document, Format format, const QString &path,
                      ReportLanguage language = ReportLanguage::Thai);
    // The format a file name asks for by its extension; CSV when it names none of them.
    static Format formatOf(const QString &path);
    // The file extension of a format, without the dot.
    static QString extension(Format format);
};

} // namespace platform
