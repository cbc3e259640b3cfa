#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Finds the `:Name` parameters of an SQL text, outside quotes, bracketed names and comments,
// each once (compared without regard to case) in order of first appearance.
class ReportSqlParameters
{
public:
    static QStringList names(const QString &sql);
};

} // namespace platform
