#pragma once

#include "platform/report/ReportDocument.h"

#include <QByteArray>
#include <QString>

// Writes a prepared report as an RTF document holding one table per page (the rows and columns
// of ReportTable) with a page break between pages. Text outside ASCII, Thai included, is
// written as Unicode escapes, so any RTF reader shows it unchanged.
class ReportRtfExporter
{
public:
    static QByteArray toRtf(const ReportDocument &document);
    // Raises EInOutError when the file cannot be written.
    static void write(const ReportDocument &document, const QString &path);
};
