#include "platform/report/ReportExport.h"

#include "platform/report/ReportCsvExporter.h"
#include "platform/report/ReportPdfExporter.h"
#include "platform/report/ReportRtfExporter.h"

void ReportExport::write(const ReportDocument &document, Format format, const QString &path)
{
    switch (format) {
    case Format::Csv: ReportCsvExporter::write(document, path); break;
    case Format::Rtf: ReportRtfExporter::write(document, path); break;
    case Format::Pdf: ReportPdfExporter::write(document, path); break;
    }
}

ReportExport::Format ReportExport::formatOf(const QString &path)
{
    if (path.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive))
        return Format::Rtf;
    if (path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        return Format::Pdf;
    return Format::Csv;
}
