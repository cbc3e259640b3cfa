#include "platform/report/ReportGridExport.h"

#include "platform/core/Exceptions.h"
#include "platform/report/ReportFileDialog.h"
#include "platform/report/ReportMessages.h"
#include "platform/report/ReportXlsxWriter.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/DialogService.h"

#include <QDate>

#include <algorithm>

namespace ReportGridExport {

void writeXlsx(const DataGrid &grid, const QString &path)
{
    // Every date of the program is shown as DD/MM/YYYY: a cell shown so is a date.
    static const QString shownDate = QStringLiteral("dd/MM/yyyy");
    const QAbstractItemModel *model = grid.model();
    try {
        ReportXlsxWriter writer(path, grid.exportTitle());
        const QList<int> columns = grid.shownColumns();
        QList<ReportXlsxWriter::Cell> titles;
        for (int i = 0; i < columns.size(); ++i) {
            titles.append({model->headerData(columns.at(i), Qt::Horizontal).toString(), QString(), true});
            writer.setColumnWidth(i, std::max(8.0, grid.columnWidth(columns.at(i)) / 7.0));
        }
        writer.addRow(titles);
        for (int row = 0; row < model->rowCount(); ++row) {
            QList<ReportXlsxWriter::Cell> cells;
            for (int column : columns) {
                const QModelIndex index = model->index(row, column);
                const QVariant value = index.data(Qt::EditRole);
                if (ReportXlsxWriter::keepsValue(value)) {
                    cells.append({value, QString(), false});
                    continue;
                }
                const QString shown = index.data(Qt::DisplayRole).toString();
                const QDate date = QDate::fromString(shown, shownDate);
                cells.append({date.isValid() ? QVariant(date) : QVariant(shown), QString(), false});
            }
            writer.addRow(cells);
        }
        writer.close();
    } catch (const EInOutError &) {
        throw EInOutError(ReportMessages::cannotWrite(ReportLanguage::Thai, path));
    }
}

void connectTo(DataGrid *grid)
{
    QObject::connect(grid, &DataGrid::exportRequested, grid, [grid] {
        const QString title = grid->exportTitle().isEmpty() ? QStringLiteral("ข้อมูล") : grid->exportTitle();
        const QString path = ReportFileDialog::saveFileName(grid, ReportLanguage::Thai, QStringLiteral("ส่งออกเป็นไฟล์ Excel"),
                                                            title + QStringLiteral(".xlsx"), {QStringLiteral("xlsx")});
        if (path.isEmpty())
            return;
        try {
            writeXlsx(*grid, path);
        } catch (const EInOutError &error) {
            DialogService::instance().showMessage(error.message());
        }
    });
}

} // namespace ReportGridExport
