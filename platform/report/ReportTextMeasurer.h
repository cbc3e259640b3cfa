#pragma once

#include <QFont>
#include <QList>
#include <QString>

namespace platform {

// Breaks text into lines for a given width, the same way on every device: lines are measured
// once on a 1200 dpi reference and the painters draw them as broken here. Breaks fall on word
// boundaries (Thai through the system's dictionary breaker) and within a word only when the
// word alone is wider than the line.
class ReportTextMeasurer
{
public:
    struct Line {
        QString text;
        qreal width = 0;  // mm
        qreal height = 0; // mm
    };

    static QList<Line> lines(const QString &text, const QFont &font, qreal width, bool wordWrap);
    static qreal lineHeight(const QFont &font);
};

} // namespace platform
