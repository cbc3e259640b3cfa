#include "platform/report/ReportXlsxExporter.h"

#include "platform/report/ReportTable.h"
#include "platform/report/ReportXlsxWriter.h"

namespace platform {

namespace {

constexpr qreal millimetresPerCharacter = 1.9; // one character of Excel's default font

} // namespace

void ReportXlsxExporter::write(const ReportDocument &document, const QString &path)
{
    const ReportTable table = ReportTable::fromDocument(document);
    ReportXlsxWriter writer(path, document.title);
    const QList<qreal> lefts = table.columnLefts();
    for (int c = 0; c < lefts.size(); ++c) {
        const qreal right = c + 1 < lefts.size() ? lefts.at(c + 1) : std::max(table.right(), lefts.at(c) + 10);
        writer.setColumnWidth(c, std::max<qreal>(4, (right - lefts.at(c)) / millimetresPerCharacter));
    }
    // Printed from the spreadsheet as the report is: its orientation, one page wide, the column
    // header at the top of every page.
    const QSizeF paper = document.pages.isEmpty() ? QSizeF() : document.pages.first().size;
    writer.setPageSetup(paper.width() > paper.height());
    const QList<ReportTable::Row> rows = table.rows();
    for (int r = 0; r < rows.size(); ++r) {
        QList<ReportXlsxWriter::Cell> cells;
        cells.reserve(rows.at(r).values.size());
        for (const ReportTable::Value &value : rows.at(r).values)
            cells.append({value.value, value.numberFormat, value.bold});
        writer.addRow(cells);
        if (r == table.headerRow())
            writer.markHeaderRow();
    }
    writer.close();
}

} // namespace platform
