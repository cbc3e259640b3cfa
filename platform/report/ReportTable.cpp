#include "platform/report/ReportTable.h"

#include "platform/report/ReportXlsxWriter.h"

#include <QMap>
#include <algorithm>

namespace platform {

namespace {

constexpr qreal columnTolerance = 1.0;
constexpr qreal rowTolerance = 0.5;

bool exported(const ReportPageItem &item)
{
    return item.kind == ReportPageItem::Kind::Text && !item.repeated && item.band != ReportBandDefinition::Kind::PageHeader &&
        item.band != ReportBandDefinition::Kind::PageFooter;
}

} // namespace

ReportTable ReportTable::fromDocument(const ReportDocument &document)
{
    ReportTable table;
    QList<qreal> lefts;
    for (const ReportPage &page : document.pages) {
        for (const ReportPageItem &item : page.items) {
            if (!exported(item))
                continue;
            lefts.append(item.rect.left());
            table.m_right = std::max(table.m_right, item.rect.right());
        }
    }
    std::sort(lefts.begin(), lefts.end());
    for (qreal left : lefts) {
        if (table.m_columnLefts.isEmpty() || left - table.m_columnLefts.last() > columnTolerance)
            table.m_columnLefts.append(left);
    }
    auto columnOf = [&](qreal left) {
        int column = 0;
        for (int i = 0; i < table.m_columnLefts.size(); ++i) {
            if (table.m_columnLefts.at(i) <= left + columnTolerance)
                column = i;
        }
        return column;
    };

    for (int p = 0; p < document.pages.size(); ++p) {
        QList<const ReportPageItem *> items;
        for (const ReportPageItem &item : document.pages.at(p).items) {
            if (exported(item))
                items.append(&item);
        }
        std::stable_sort(items.begin(), items.end(),
                         [](const ReportPageItem *a, const ReportPageItem *b) { return a->rect.top() < b->rect.top(); });
        qreal rowTop = -1;
        for (const ReportPageItem *item : items) {
            if (table.m_rows.isEmpty() || table.m_rows.last().page != p + 1 || item->rect.top() - rowTop > rowTolerance) {
                const qsizetype columns = table.m_columnLefts.size();
                table.m_rows.append({p + 1, QStringList(columns, QString()), QList<Value>(columns)});
                rowTop = item->rect.top();
            }
            if (item->band == ReportBandDefinition::Kind::ColumnHeader && table.m_headerRow < 0)
                table.m_headerRow = int(table.m_rows.size()) - 1;
            Row &row = table.m_rows.last();
            const int column = columnOf(item->rect.left());
            QString &cell = row.cells[column];
            Value &value = row.values[column];
            if (cell.isEmpty()) {
                cell = item->text;
                // A number or a date keeps its value; anything else is the text printed.
                const bool typed = ReportXlsxWriter::keepsValue(item->value);
                value = {typed ? item->value : QVariant(item->text), item->numberFormat, item->font.bold()};
            } else {
                // Two texts in one cell are one text.
                cell += QLatin1Char(' ') + item->text;
                value = {cell, QString(), value.bold};
            }
        }
    }
    return table;
}

} // namespace platform
