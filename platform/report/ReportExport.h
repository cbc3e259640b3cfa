#pragma once

#include "platform/report/ReportDocument.h"

#include <QString>

// Writes a prepared report to a file in one of the export formats. CSV is the default.
class ReportExport
{
public:
    enum class Format { Csv, Rtf, Pdf };

    // Raises EInOutError when the file cannot be written.
    static void write(const ReportDocument &document, Format format, const QString &path);
    // The format a file name asks for by its extension; CSV when it names none of them.
    static Format formatOf(const QString &path);
};
