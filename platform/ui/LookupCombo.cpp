#include "platform/ui/LookupCombo.h"

#include "platform/sql/Query.h"
#include "platform/sql/QueryModel.h"

namespace platform {

LookupCombo::LookupCombo(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(false);
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::currentIndexChanged, this, &LookupCombo::itemChosen);
}

void LookupCombo::setLookup(Query *query, const QString &displayField)
{
    for (const QMetaObject::Connection &connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    m_query = query;
    m_displayField = displayField;
    ++m_syncing;
    QueryModel *model = query->model();
    setModel(model);
    // While the query reads its rows, the list's own reaction to the reset moves nothing.
    m_connections << connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { ++m_syncing; })
                  << connect(model, &QAbstractItemModel::modelReset, this, [this] { --m_syncing; })
                  << connect(query, &Query::opened, this, &LookupCombo::queryOpened)
                  << connect(query, &Query::closed, this, &LookupCombo::followQuery)
                  << connect(query, &Query::currentRowChanged, this, &LookupCombo::followQuery);
    --m_syncing;
    queryOpened();
}

void LookupCombo::queryOpened()
{
    if (!m_query)
        return;
    const int column = m_query->fieldIndex(m_displayField);
    ++m_syncing;
    if (column >= 0)
        setModelColumn(column);
    --m_syncing;
    followQuery();
}

void LookupCombo::followQuery()
{
    const int row = m_query && m_query->isOpen() && m_query->fieldIndex(m_displayField) >= 0 ? m_query->recNo() : -1;
    if (currentIndex() == row)
        return;
    ++m_syncing;
    setCurrentIndex(row);
    --m_syncing;
}

void LookupCombo::itemChosen(int index)
{
    if (m_syncing > 0 || !m_query || index < 0)
        return;
    m_query->setRecNo(index);
    Q_EMIT chosen(index);
}

bool LookupCombo::setValue(const QString &text)
{
    const int index = findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (index < 0)
        return false;
    setCurrentIndex(index);
    if (m_query)
        m_query->setRecNo(index);
    return true;
}

} // namespace platform
