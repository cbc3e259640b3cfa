#include "platform/reportview/ReportPrinter.h"

#include "platform/core/Exceptions.h"
#include "platform/report/ReportMessages.h"
#include "platform/report/ReportPagePainter.h"
#include "platform/report/ReportPdfTextRepair.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QSet>
#include <memory>

namespace platform {

QList<int> ReportPrinter::selectedPages(int pageCount, const ReportPrintOptions &options)
{
    QSet<int> chosen;
    const QString list = options.pageList.trimmed();
    if (list.isEmpty()) {
        for (int p = 1; p <= pageCount; ++p)
            chosen.insert(p);
    } else {
        static const QRegularExpression item(QStringLiteral("^\\s*(\\d*)\\s*(-)?\\s*(\\d*)\\s*$"));
        const QStringList parts = list.split(QRegularExpression(QStringLiteral("[,;]")));
        for (const QString &part : parts) {
            const QRegularExpressionMatch match = item.match(part);
            const bool range = match.hasMatch() && !match.captured(2).isEmpty();
            if (!match.hasMatch() || (match.captured(1).isEmpty() && match.captured(3).isEmpty()) ||
                (!range && !match.captured(3).isEmpty()))
                throw EConvertError(QStringLiteral("'%1' is not a valid page list").arg(options.pageList));
            const int from = match.captured(1).isEmpty() ? 1 : match.captured(1).toInt();
            const int to = range ? (match.captured(3).isEmpty() ? pageCount : match.captured(3).toInt()) : from;
            for (int p = std::max(from, 1); p <= std::min(to, pageCount); ++p)
                chosen.insert(p);
        }
    }
    QList<int> pages;
    for (int p = 1; p <= pageCount; ++p) {
        if (!chosen.contains(p))
            continue;
        if (options.choice == ReportPrintOptions::PageChoice::Odd && p % 2 == 0)
            continue;
        if (options.choice == ReportPrintOptions::PageChoice::Even && p % 2 == 1)
            continue;
        pages.append(p - 1);
    }
    return pages;
}

QList<int> ReportPrinter::sequence(const QList<int> &pages, int copies, bool collate)
{
    QList<int> result;
    copies = std::max(copies, 1);
    if (collate) {
        for (int c = 0; c < copies; ++c)
            result.append(pages);
    } else {
        for (int page : pages) {
            for (int c = 0; c < copies; ++c)
                result.append(page);
        }
    }
    return result;
}

QPageLayout ReportPrinter::paperOf(const QSizeF &size)
{
    const bool landscape = size.width() > size.height();
    return QPageLayout(QPageSize(landscape ? size.transposed() : size, QPageSize::Millimeter),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
}

void ReportPrinter::checkReady(const QPrinter &printer, ReportLanguage language)
{
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        const QString path = printer.outputFileName().trimmed();
        if (path.isEmpty())
            throw EInOutError(ReportMessages::cannotPrint(language, QString()));
        const QFileInfo file(path);
        const QFileInfo folder(file.absolutePath());
        if (!folder.isDir() || !folder.isWritable() || file.isDir() || (file.exists() && !file.isWritable()))
            throw EInOutError(ReportMessages::cannotWrite(language, path));
        return;
    }
    if (printer.printerName().isEmpty())
        throw EInOutError(ReportMessages::cannotPrint(language, QString()));
    if (QPrinterInfo::printerInfo(printer.printerName()).isNull())
        throw EInOutError(ReportMessages::cannotPrint(language, printer.printerName()));
}

int ReportPrinter::print(const ReportDocument &document, const QPrinter &chosen, const ReportPrintOptions &options,
                         ReportLanguage language)
{
    const QList<int> pages = selectedPages(int(document.pages.size()), options);
    if (pages.isEmpty())
        return 0;
    // Nothing is painted on a printer that is not ready, and the pages go to a printer of this
    // print alone: Qt keeps a printer whose start failed busy, and the chosen one must stay as
    // the printer set-up left it for the next print.
    checkReady(chosen, language);
    const bool toPdf = chosen.outputFormat() == QPrinter::PdfFormat;
    std::unique_ptr<QPrinter> device = toPdf
        ? std::make_unique<QPrinter>(QPrinter::HighResolution)
        : std::make_unique<QPrinter>(QPrinterInfo::printerInfo(chosen.printerName()), QPrinter::HighResolution);
    QPrinter &printer = *device;
    if (toPdf) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(chosen.outputFileName().trimmed());
    } else {
        printer.setColorMode(chosen.colorMode());
        printer.setDuplex(chosen.duplex());
    }
    printer.setResolution(chosen.resolution());
    const int copies = std::max(options.copies, 1);
    const bool deviceCopies = copies > 1 && printer.supportsMultipleCopies();
    QList<int> order;
    if (deviceCopies) {
        printer.setCopyCount(copies);
        printer.setCollateCopies(options.collate);
        order = pages;
    } else {
        printer.setCopyCount(1);
        order = sequence(pages, copies, options.collate);
    }
    printer.setFullPage(true);
    printer.setDocName(document.title);
    const auto layoutOf = [&](int page) { return paperOf(document.pages.at(page).size); };
    printer.setPageLayout(layoutOf(order.first()));
    QPainter painter;
    if (!painter.begin(&printer))
        throw EInOutError(ReportMessages::cannotPrint(language, toPdf ? printer.outputFileName() : printer.printerName()));
    const qreal scale = printer.resolution() / 25.4;
    for (int i = 0; i < order.size(); ++i) {
        if (i > 0) {
            printer.setPageLayout(layoutOf(order.at(i)));
            printer.newPage();
        }
        ReportPagePainter::paint(painter, document.pages.at(order.at(i)), scale);
    }
    painter.end();
    // A PDF file written by the printer gets the same searchable Thai as an export.
    if (toPdf)
        ReportPdfTextRepair::repairFile(printer.outputFileName());
    return int(order.size());
}

} // namespace platform
