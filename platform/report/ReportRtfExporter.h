#pragma once

#include "platform/report/ReportDocument.h"

#include <QByteArray>
#include <QString>

namespace platform {

// Writes a prepared report as an RTF document that a word processor shows as the report: on
// its paper and margins, one page per page, each page a table whose rows stand at the heights
// of the page's texts and whose cells have the texts' widths, fonts, sizes, weights and
// alignment; the report's boxes become the cells' shading and frames, its horizontal lines the
// cells' rules. Text outside ASCII, Thai included, is written as Unicode escapes, with the font
// given for complex script text as well, so any RTF reader shows it unchanged.
class ReportRtfExporter
{
public:
    static QByteArray toRtf(const ReportDocument &document);
    // Raises EInOutError when the file cannot be written.
    static void write(const ReportDocument &document, const QString &path);
};

} // namespace platform
