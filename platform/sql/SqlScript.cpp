#include "platform/sql/SqlScript.h"

#include "platform/sql/Database.h"

namespace platform {

QList<QStringList> SqlScript::statements(const QStringList &lines)
{
    QList<QStringList> out;
    QStringList current;
    auto flush = [&] {
        bool blank = true;
        for (const QString &l : current)
            blank = blank && l.trimmed().isEmpty();
        if (!blank)
            out << current;
        current.clear();
    };
    for (const QString &line : lines) {
        if (line.trimmed() == QLatin1String("/"))
            flush();
        else
            current << line;
    }
    flush();
    return out;
}

void SqlScript::execute() const
{
    for (const QStringList &statement : statements(lines))
        m_database->execute(statement.join(u'\n'));
}

} // namespace platform
