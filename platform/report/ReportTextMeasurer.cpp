#include "platform/report/ReportTextMeasurer.h"

#include <QImage>
#include <QTextLayout>
#include <QTextOption>

namespace platform {

namespace {

constexpr qreal referenceDpi = 1200;
constexpr qreal millimetresPerPixel = 25.4 / referenceDpi;

const QImage &referenceDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32);
        const int dotsPerMetre = qRound(referenceDpi / 0.0254);
        image.setDotsPerMeterX(dotsPerMetre);
        image.setDotsPerMeterY(dotsPerMetre);
        return image;
    }();
    return device;
}

} // namespace

qreal ReportTextMeasurer::lineHeight(const QFont &font)
{
    return lines(QStringLiteral("X"), font, 1e6, false).value(0).height;
}

QList<ReportTextMeasurer::Line> ReportTextMeasurer::lines(const QString &text, const QFont &font, qreal width, bool wordWrap)
{
    QString prepared = text;
    prepared.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    prepared.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    prepared.replace(QLatin1Char('\n'), QChar::LineSeparator);

    QTextLayout layout(prepared, font, &referenceDevice());
    QTextOption option;
    option.setWrapMode(wordWrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::ManualWrap);
    layout.setTextOption(option);
    const qreal widthPixels = std::max<qreal>(width, 0.1) / millimetresPerPixel;

    QList<Line> result;
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(wordWrap ? widthPixels : 1e9);
        QString lineText = prepared.mid(line.textStart(), line.textLength());
        lineText.remove(QChar::LineSeparator);
        while (!lineText.isEmpty() && lineText.back().isSpace())
            lineText.chop(1);
        result.append({lineText, line.naturalTextWidth() * millimetresPerPixel, line.height() * millimetresPerPixel});
    }
    layout.endLayout();
    if (result.isEmpty())
        result.append({QString(), 0, lineHeight(font)});
    return result;
}

} // namespace platform
