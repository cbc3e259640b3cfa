#pragma once

#include <QList>
#include <QString>
#include <QVariant>

namespace platform {

// Named values whose names match without regard to letter case, kept in the order they were
// first set. Query and procedure parameters are held this way.
class ParamList
{
public:
    void set(const QString &name, const QVariant &value);
    bool contains(const QString &name) const;
    QVariant value(const QString &name) const;
    void clear() { m_items.clear(); }
    bool isEmpty() const { return m_items.isEmpty(); }
    QStringList names() const;

private:
    struct Item {
        QString name;
        QVariant value;
    };
    int indexOf(const QString &name) const;
    QList<Item> m_items;
};

} // namespace platform
