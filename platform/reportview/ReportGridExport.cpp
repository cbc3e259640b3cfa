#include "platform/reportview/ReportGridExport.h"

#include "platform/core/Exceptions.h"
#include "platform/report/ReportMessages.h"
#include "platform/report/ReportXlsxWriter.h"
#include "platform/reportview/ReportFileDialog.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/DialogService.h"

#include <QDate>

#include <algorithm>

namespace platform {

namespace ReportGridExport {

namespace {

// Columns wider than this, in characters, print across the paper.
constexpr double portraitCharacters = 95;

} // namespace

void writeXlsx(const DataGrid &grid, const QString &path, const Description &description)
{
    // Every date of the program is shown as DD/MM/YYYY: a cell shown so is a date.
    static const QString shownDate = QStringLiteral("dd/MM/yyyy");
    const QAbstractItemModel *model = grid.model();
    try {
        ReportXlsxWriter writer(path, grid.exportTitle());
        const QList<int> columns = grid.shownColumns();
        QStringList fields;
        QList<ReportXlsxWriter::Cell> titles;
        double width = 0;
        for (int i = 0; i < columns.size(); ++i) {
            fields << grid.fieldOf(columns.at(i));
            titles.append({model->headerData(columns.at(i), Qt::Horizontal).toString(), QString(), true});
            const double characters = std::max(8.0, grid.columnWidth(columns.at(i)) / 7.0);
            writer.setColumnWidth(i, characters);
            width += characters;
        }
        writer.setPageSetup(width > portraitCharacters);
        if (!description.caption.isEmpty()) {
            writer.addRow({{description.caption, QString(), true}});
            writer.addRow({});
        }
        writer.addRow(titles);
        writer.markHeaderRow();
        const int firstRow = writer.rowCount();
        QList<double> totals(columns.size(), 0.0);
        for (int row = 0; row < model->rowCount(); ++row) {
            QList<ReportXlsxWriter::Cell> cells;
            for (int i = 0; i < columns.size(); ++i) {
                const QModelIndex index = model->index(row, columns.at(i));
                const QVariant value = index.data(Qt::EditRole);
                const QString pattern = description.numberFormats.value(fields.at(i));
                if (ReportXlsxWriter::keepsValue(value)) {
                    if (value.typeId() != QMetaType::QDate && value.typeId() != QMetaType::QDateTime)
                        totals[i] += value.toDouble();
                    cells.append({value, pattern, false});
                    continue;
                }
                const QString shown = index.data(Qt::DisplayRole).toString();
                const QDate date = QDate::fromString(shown, shownDate);
                cells.append({date.isValid() ? QVariant(date) : QVariant(shown), QString(), false});
            }
            writer.addRow(cells);
        }
        if (!description.totalFields.isEmpty()) {
            QList<ReportXlsxWriter::Cell> cells(columns.size());
            QList<int> sums;
            if (!cells.isEmpty())
                cells[0] = {description.totalCaption, QString(), true};
            for (int i = 0; i < columns.size(); ++i) {
                if (!description.totalFields.contains(fields.at(i)))
                    continue;
                cells[i] = {totals.at(i), description.numberFormats.value(fields.at(i)), true};
                sums << i;
            }
            writer.addTotalRow(cells, sums, firstRow);
        }
        writer.close();
    } catch (const EInOutError &) {
        throw EInOutError(ReportMessages::cannotWrite(ReportLanguage::Thai, path));
    }
}

void connectTo(DataGrid *grid, Describe describe)
{
    QObject::connect(grid, &DataGrid::exportRequested, grid, [grid, describe] {
        const Description description = describe ? describe() : Description();
        QString name = description.fileName.isEmpty() ? grid->exportTitle() : description.fileName;
        if (name.isEmpty())
            name = QStringLiteral("ข้อมูล");
        const QString path = ReportFileDialog::saveFileName(grid, ReportLanguage::Thai, QStringLiteral("ส่งออกเป็นไฟล์ Excel"),
                                                            fileNameOf(name) + QStringLiteral(".xlsx"), {QStringLiteral("xlsx")});
        if (path.isEmpty())
            return;
        try {
            writeXlsx(*grid, path, description);
        } catch (const EInOutError &error) {
            DialogService::instance().showMessage(error.message());
        }
    });
}

QString fileNameOf(const QString &text)
{
    QString name;
    for (const QChar c : text)
        name += QStringLiteral("\\/:*?\"<>|").contains(c) || c.category() == QChar::Other_Control ? QLatin1Char('-') : c;
    return name.simplified();
}

} // namespace ReportGridExport

} // namespace platform
