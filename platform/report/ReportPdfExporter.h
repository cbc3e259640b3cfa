#pragma once

#include "platform/report/ReportDocument.h"

#include <QString>

namespace platform {

// Writes a prepared report as PDF through QPdfWriter, at the page size of the report. Fonts are
// embedded, so Thai text shows and can be searched and copied.
class ReportPdfExporter
{
public:
    // Raises EInOutError when the file cannot be written.
    static void write(const ReportDocument &document, const QString &path);
};

} // namespace platform
