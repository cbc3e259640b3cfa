#pragma once

#include <QList>
#include <QString>

namespace platform {

// Splits the text of a text object into literal runs and `[expression]` fields. Brackets and
// quotes inside a field are respected, so `[IIF(A > 0, '[x]', '')]` is one field; `[[` writes a
// literal bracket. An unclosed field raises ReportError.
class ReportTemplateText
{
public:
    struct Part {
        bool isExpression = false;
        QString text;
    };

    static QList<Part> parse(const QString &text);
};

} // namespace platform
