#pragma once

#include "platform/report/ReportBandDefinition.h"
#include "platform/report/ReportObjectDefinition.h"
#include "platform/report/ReportTextLine.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLineF>
#include <QList>
#include <QRectF>
#include <QString>
#include <QVariant>

namespace platform {

// One thing placed on a prepared page, with everything needed to draw or export it.
// Geometry is in millimetres from the page's top-left corner.
struct ReportPageItem {
    using Kind = ReportObjectDefinition::Kind;

    Kind kind = Kind::Text;
    QString objectName;
    ReportBandDefinition::Kind band = ReportBandDefinition::Kind::MasterData;
    bool repeated = false; // a header printed again after a page break
    QRectF rect;
    QLineF segment;

    QString text;                // the whole text of a text item
    QVariant value;              // the value behind a text that is one field alone, for exports
    QString numberFormat;        // its number pattern
    QList<ReportTextLine> lines; // its lines as placed
    QFont font;                  // family, point size and style
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    QColor textColor = Qt::black;

    int frameSides = 0;
    qreal frameWidth = 0.2;
    QColor frameColor = Qt::black;
    QColor fillColor;
    qreal cornerRadius = 0;

    bool checked = false;
    QImage picture;
    ReportObjectDefinition::PictureScaling scaling = ReportObjectDefinition::PictureScaling::KeepAspect;
};

} // namespace platform
