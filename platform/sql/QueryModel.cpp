#include "platform/sql/QueryModel.h"

#include "platform/sql/Field.h"
#include "platform/sql/Query.h"

namespace platform {

QueryModel::QueryModel(Query *query, QObject *parent)
    : QAbstractTableModel(parent)
    , m_query(query)
{
    if (query->isOpen()) {
        m_rows = query->recordCount();
        m_columns = int(query->fieldNames().size());
    }
}

int QueryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int QueryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QString QueryModel::displayText(const QVariant &value)
{
    return Field(QString(), value).asString();
}

QVariant QueryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || index.column() >= m_columns)
        return QVariant();
    const QString key = m_query->fieldNames().at(index.column()).toUpper();
    const QVariant &value = m_query->value(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        auto it = m_formatters.constFind(key);
        return it != m_formatters.constEnd() ? (*it)(value) : displayText(value);
    }
    case Qt::EditRole:
        return value;
    case Qt::TextAlignmentRole: {
        auto it = m_alignments.constFind(key);
        if (it != m_alignments.constEnd())
            return int(*it);
        const int type = value.typeId();
        if (type == QMetaType::Double || type == QMetaType::Int || type == QMetaType::LongLong)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    }
    default:
        return QVariant();
    }
}

QVariant QueryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section >= m_columns)
        return QAbstractTableModel::headerData(section, orientation, role);
    const QString field = m_query->fieldNames().at(section);
    return m_titles.value(field.toUpper(), field);
}

void QueryModel::setTitle(const QString &field, const QString &title)
{
    m_titles.insert(field.toUpper(), title);
}

void QueryModel::setFormatter(const QString &field, const Formatter &formatter)
{
    m_formatters.insert(field.toUpper(), formatter);
}

void QueryModel::setAlignment(const QString &field, Qt::Alignment alignment)
{
    m_alignments.insert(field.toUpper(), alignment);
}

void QueryModel::reload()
{
    beginResetModel();
    m_rows = m_query->recordCount();
    m_columns = int(m_query->fieldNames().size());
    endResetModel();
}

void QueryModel::clearRows()
{
    if (m_rows == 0 && m_columns == 0)
        return;
    beginResetModel();
    m_rows = 0;
    m_columns = 0;
    endResetModel();
}

} // namespace platform
