#include "platform/ui/DataLabel.h"

#include "platform/sql/Query.h"

#include <QtGlobal>

namespace platform {

DataLabel::DataLabel(QWidget *parent)
    : QLabel(parent)
{}

void DataLabel::setDataField(Query *query, const QString &fieldName)
{
    if (m_query)
        disconnect(m_query, nullptr, this, nullptr);
    m_query = query;
    m_fieldName = fieldName;
    if (query) {
        connect(query, &Query::opened, this, &DataLabel::refresh);
        connect(query, &Query::closed, this, &DataLabel::refresh);
        connect(query, &Query::currentRowChanged, this, &DataLabel::refresh);
    }
    refresh();
}

void DataLabel::refresh()
{
    QString shown;
    if (m_query && m_query->isOpen() && m_query->recNo() >= 0) {
        if (m_query->fieldIndex(m_fieldName) >= 0)
            shown = m_query->fieldByName(m_fieldName).asString();
        else
            qWarning("DataLabel %s: the query has no column %s", qPrintable(objectName()), qPrintable(m_fieldName));
    }
    setText(shown);
}

} // namespace platform
