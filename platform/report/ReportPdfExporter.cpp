#include "platform/report/ReportPdfExporter.h"

#include "platform/core/Exceptions.h"
#include "platform/report/ReportPagePainter.h"
#include "platform/report/ReportPdfTextRepair.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace platform {

void ReportPdfExporter::write(const ReportDocument &document, const QString &path)
{
    {
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly))
            throw EInOutError(QStringLiteral("Cannot write \"%1\": %2").arg(path, probe.errorString()));
    }
    QPdfWriter writer(path);
    writer.setTitle(document.title);
    writer.setCreator(QStringLiteral("Tarvo"));
    writer.setResolution(1200);
    const QSizeF first = document.pages.isEmpty() ? QSizeF(210, 297) : document.pages.first().size;
    writer.setPageLayout(QPageLayout(QPageSize(first, QPageSize::Millimeter), QPageLayout::Portrait, QMarginsF()));
    QPainter painter;
    if (!painter.begin(&writer))
        throw EInOutError(QStringLiteral("Cannot write \"%1\"").arg(path));
    const qreal scale = writer.resolution() / 25.4;
    for (int i = 0; i < document.pages.size(); ++i) {
        if (i > 0) {
            writer.setPageLayout(
                QPageLayout(QPageSize(document.pages.at(i).size, QPageSize::Millimeter), QPageLayout::Portrait, QMarginsF()));
            writer.newPage();
        }
        ReportPagePainter::paint(painter, document.pages.at(i), scale);
    }
    if (!painter.end())
        throw EInOutError(QStringLiteral("Cannot write \"%1\"").arg(path));
    ReportPdfTextRepair::repairFile(path);
}

} // namespace platform
