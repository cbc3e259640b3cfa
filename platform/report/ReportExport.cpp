#include "platform/report/ReportExport.h"

#include "platform/core/Exceptions.h"
#include "platform/report/ReportCsvExporter.h"
#include "platform/report/ReportMessages.h"
#include "platform/report/ReportPdfExporter.h"
#include "platform/report/ReportRtfExporter.h"
#include "platform/report/ReportXlsxExporter.h"

namespace platform {

void ReportExport::write(const ReportDocument &document, Format format, const QString &path, ReportLanguage language)
{
    try {
        switch (format) {
        case Format::Csv:
            ReportCsvExporter::write(document, path);
            break;
        case Format::Rtf:
            ReportRtfExporter::write(document, path);
            break;
        case Format::Pdf:
            ReportPdfExporter::write(document, path);
            break;
        case Format::Xlsx:
            ReportXlsxExporter::write(document, path);
            break;
        }
    } catch (const EInOutError &) {
        throw EInOutError(ReportMessages::cannotWrite(language, path));
    }
}

ReportExport::Format ReportExport::formatOf(const QString &path)
{
    for (Format format : {Format::Rtf, Format::Pdf, Format::Xlsx}) {
        if (path.endsWith(QLatin1Char('.') + extension(format), Qt::CaseInsensitive))
            return format;
    }
    return Format::Csv;
}

QString ReportExport::extension(Format format)
{
    switch (format) {
    case Format::Csv:
        break;
    case Format::Rtf:
        return QStringLiteral("rtf");
    case Format::Pdf:
        return QStringLiteral("pdf");
    case Format::Xlsx:
        return QStringLiteral("xlsx");
    }
    return QStringLiteral("csv");
}

} // namespace platform
