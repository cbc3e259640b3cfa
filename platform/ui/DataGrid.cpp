#include "platform/ui/DataGrid.h"

#include "platform/sql/Query.h"
#include "platform/sql/QueryModel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>

namespace platform {

namespace {

// The grid's columns over the query's model: column i shows the field of the i-th grid column,
// wherever the statement puts it. A field the open query lacks shows empty cells.
class GridColumnModel : public QAbstractTableModel
{
public:
    GridColumnModel(Query *query, const QList<DataGrid::Column> &columns, QObject *parent)
        : QAbstractTableModel(parent)
        , m_query(query)
        , m_source(query->model())
        , m_columns(columns)
    {
        connect(m_source, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
        connect(m_source, &QAbstractItemModel::modelReset, this, [this] {
            mapColumns();
            endResetModel();
        });
        mapColumns();
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override { return parent.isValid() ? 0 : m_source->rowCount(); }

    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_columns.size());
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.column() >= m_sourceColumns.size())
            return QVariant();
        const int column = m_sourceColumns[index.column()];
        if (column < 0)
            return QVariant();
        return m_source->data(m_source->index(index.row(), column), role);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_columns.size())
            return m_columns[section].title;
        return QAbstractTableModel::headerData(section, orientation, role);
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

private:
    void mapColumns()
    {
        m_sourceColumns.clear();
        for (const DataGrid::Column &c : m_columns)
            m_sourceColumns.append(m_query->isOpen() ? m_query->fieldIndex(c.field) : -1);
    }

    Query *m_query;
    QueryModel *m_source;
    QList<DataGrid::Column> m_columns;
    QList<int> m_sourceColumns;
};

} // namespace

DataGrid::DataGrid(QWidget *parent)
    : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Nothing is edited in the grid: Tab and Shift+Tab leave it like any other control, the
    // arrow keys move between its rows.
    setTabKeyNavigation(false);
    setAlternatingRowColors(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    verticalHeader()->setVisible(false);
    // One height for every row: the view never measures rows, so long results scroll smoothly.
    // The height leaves room for Thai marks above and below the line.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void DataGrid::setDataSource(Query *query, const QList<Column> &columns)
{
    if (m_query)
        disconnect(m_query, nullptr, this, nullptr);
    QAbstractItemModel *old = model();
    m_query = query;
    m_columns = columns;
    setModel(new GridColumnModel(query, columns, this));
    if (old && old->parent() == this)
        delete old;
    for (int i = 0; i < columns.size(); ++i)
        setColumnWidth(i, columns[i].width);
    connect(query, &Query::currentRowChanged, this, &DataGrid::followQuery);
    connect(query, &Query::opened, this, &DataGrid::followQuery);
    followQuery();
}

void DataGrid::disableControls()
{
    m_disabled = true;
    setUpdatesEnabled(false);
}

void DataGrid::enableControls()
{
    m_disabled = false;
    setUpdatesEnabled(true);
    followQuery();
    viewport()->update();
}

void DataGrid::followQuery()
{
    if (m_disabled || m_syncing > 0 || !m_query || !selectionModel())
        return;
    const int row = m_query->isOpen() ? m_query->recNo() : -1;
    ++m_syncing;
    if (row < 0 || row >= model()->rowCount()) {
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    } else {
        const int column = currentIndex().isValid() ? currentIndex().column() : 0;
        selectionModel()->setCurrentIndex(model()->index(row, column),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    --m_syncing;
}

void DataGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (m_syncing > 0 || m_disabled || !m_query || !current.isValid())
        return;
    if (current.row() == m_query->recNo())
        return;
    // The view moved first: the query follows, and the user's selection stays as it is.
    ++m_syncing;
    m_query->setRecNo(current.row());
    --m_syncing;
}

QList<int> DataGrid::shownColumns() const
{
    QList<int> columns;
    for (int visual = 0; visual < horizontalHeader()->count(); ++visual) {
        const int logical = horizontalHeader()->logicalIndex(visual);
        if (!isColumnHidden(logical))
            columns.append(logical);
    }
    return columns;
}

QString DataGrid::selectedRowsText() const
{
    if (!selectionModel() || !model())
        return QString();
    QList<int> rows;
    const QModelIndexList selected = selectionModel()->selectedRows();
    for (const QModelIndex &index : selected)
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    const QList<int> columns = shownColumns();
    QStringList lines;
    for (int row : std::as_const(rows)) {
        QStringList cells;
        for (int column : std::as_const(columns)) {
            QString text = model()->index(row, column).data(Qt::DisplayRole).toString();
            // A tab or line break inside a cell would break the table apart.
            text.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
            text.replace(QLatin1Char('\r'), QLatin1Char(' '));
            cells.append(text);
        }
        lines.append(cells.join(QLatin1Char('\t')));
    }
    return lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void DataGrid::copySelection() const
{
    const QString text = selectedRowsText();
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

void DataGrid::setExportTitle(const QString &title)
{
    m_exportTitle = title;
    if (m_exportAction)
        return;
    m_exportAction = new QAction(QStringLiteral("ส่งออกเป็นไฟล์ Excel"), this);
    m_exportAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    m_exportAction->setShortcutContext(Qt::WidgetShortcut);
    connect(m_exportAction, &QAction::triggered, this, &DataGrid::exportRequested);
    addAction(m_exportAction);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void DataGrid::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

} // namespace platform
