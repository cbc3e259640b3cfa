#pragma once

#include "platform/sql/Query.h"

#include <QComboBox>
#include <QList>
#include <QPointer>

namespace platform {

// A drop-down list over the rows of a query, showing one of its columns. The list and the query
// move together: choosing an item makes its row the query's current row, and moving the query
// shows the current row's item. A closed query or one without rows shows an empty box. Nothing
// clears the choice from the keyboard.
class LookupCombo : public QComboBox
{
    Q_OBJECT
public:
    explicit LookupCombo(QWidget *parent = nullptr);

    // The query whose rows are listed and the column shown (found without regard to case).
    void setLookup(Query *query, const QString &displayField);

    // The shown text; empty when nothing is shown.
    QString value() const { return currentText(); }
    // Shows the first row whose shown column holds text and makes it the query's current row.
    // Returns false and changes nothing when no row holds it.
    bool setValue(const QString &text);

Q_SIGNALS:
    // An item was chosen (by keys, the drop-down list, the mouse wheel or setValue) and the query
    // stands on its row. Not sent when the box only follows the query.
    void chosen(int index);

private:
    void queryOpened();
    void followQuery();
    void itemChosen(int index);

    QList<QMetaObject::Connection> m_connections;
    QPointer<Query> m_query;
    QString m_displayField;
    int m_syncing = 0;
};

} // namespace platform
