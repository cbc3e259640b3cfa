#pragma once

#include "platform/sql/Query.h"

#include <QLabel>
#include <QPointer>

namespace platform {

// A label showing one column of a query's current row. It follows the query as it opens,
// closes and moves, and is blank when the query is closed or has no row.
class DataLabel : public QLabel
{
    Q_OBJECT
public:
    explicit DataLabel(QWidget *parent = nullptr);

    void setDataField(Query *query, const QString &fieldName);
    Query *dataQuery() const { return m_query; }
    const QString &fieldName() const { return m_fieldName; }

    // Reads the value again.
    void refresh();

private:
    QPointer<Query> m_query;
    QString m_fieldName;
};

} // namespace platform
