#include "platform/sql/ParamList.h"

namespace platform {

int ParamList::indexOf(const QString &name) const
{
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void ParamList::set(const QString &name, const QVariant &value)
{
    const int i = indexOf(name);
    if (i >= 0)
        m_items[i].value = value;
    else
        m_items.append({name, value});
}

bool ParamList::contains(const QString &name) const
{
    return indexOf(name) >= 0;
}

QVariant ParamList::value(const QString &name) const
{
    const int i = indexOf(name);
    return i >= 0 ? m_items[i].value : QVariant();
}

QStringList ParamList::names() const
{
    QStringList out;
    for (const Item &item : m_items)
        out << item.name;
    return out;
}

} // namespace platform
