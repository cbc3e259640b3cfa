#pragma once

#include "platform/sql/Query.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QTableView>

class QAction;

namespace platform {

// A read-only grid over a query: a fixed list of columns, each naming a field of the query with
// its title and width, shown in the list's order whether or not the query is open. The grid and
// the query move together: the query's current row is the grid's selected row, and choosing a
// row makes it the query's current row. Rows are read where the query keeps them, so scrolling
// over thousands of rows costs only what is on the screen.
//
// Tab and Shift+Tab leave the grid for the next or previous control; the arrow keys move
// between rows. Ctrl+C copies the selected rows, one line each, the cells as shown separated by tabs.
// A grid given an export title offers an export to Excel: Ctrl+E and the context menu's export
// emit exportRequested(); its owner connects that to what writes the file.
class DataGrid : public QTableView
{
    Q_OBJECT
public:
    struct Column {
        QString field;
        QString title;
        int width = 64;
    };

    explicit DataGrid(QWidget *parent = nullptr);

    void setDataSource(Query *query, const QList<Column> &columns);

    // While disabled the grid neither paints nor follows the query's current row (a query being
    // walked row by row). Enabling shows the query's current row again.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disabled; }

    // Turns on the export to Excel; the title names what is exported (the sheet and the file
    // suggested).
    void setExportTitle(const QString &title);
    QString exportTitle() const { return m_exportTitle; }
    QAction *exportAction() const { return m_exportAction; }

    // The field shown in a column (from 0, in the order of setDataSource); empty if none.
    QString fieldOf(int column) const { return m_columns.value(column).field; }

    // The columns in the order the user sees them (headers may have been dragged), hidden ones
    // left out.
    QList<int> shownColumns() const;

    // The selected rows as tab-separated lines (the text Ctrl+C copies).
    QString selectedRowsText() const;
    void copySelection() const;

signals:
    void exportRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void followQuery();

    QPointer<Query> m_query;
    QList<Column> m_columns;
    bool m_disabled = false;
    int m_syncing = 0;
    QString m_exportTitle;
    QAction *m_exportAction = nullptr;
};

} // namespace platform
