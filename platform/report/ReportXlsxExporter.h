#pragma once

#include "platform/report/ReportDocument.h"

#include <QString>

namespace platform {

// Writes a prepared report as an Excel workbook of one sheet named after the report: the rows
// of ReportTable (titles, column headers, group headers, rows and totals, without page headers
// and footers), a number field as a number in its pattern, Thai text as it stands, bold where
// the report prints bold, columns as wide as on the page.
class ReportXlsxExporter
{
public:
    // Raises EInOutError when the file cannot be written.
    static void write(const ReportDocument &document, const QString &path);
};

} // namespace platform
