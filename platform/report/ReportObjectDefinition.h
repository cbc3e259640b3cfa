#pragma once

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QRectF>
#include <QString>

namespace platform {

// One object placed on a band, as read from the definition. Geometry is in millimetres
// relative to the band's top-left corner.
struct ReportObjectDefinition {
    enum class Kind { Text, Line, Rectangle, RoundedRectangle, CheckBox, Picture };
    enum FrameSide { NoSide = 0, LeftSide = 1, TopSide = 2, RightSide = 4, BottomSide = 8, AllSides = 15 };
    enum class PictureScaling { Stretch, KeepAspect, Center };

    Kind kind = Kind::Text;
    QString name;
    int line = 0;   // line in the definition file, for messages
    QRectF rect;    // text, rectangles, check box, picture
    QLineF segment; // line objects

    // Text
    QString text;       // literal text with [expression] fields
    QString fontFamily; // empty: the report's font
    qreal fontSize = 0; // points; 0: the report's size
    bool bold = false;
    bool italic = false;
    bool underline = false;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    bool wordWrap = true;
    bool canGrow = false;       // the band grows so that all lines show
    bool stretchToBand = false; // takes the band's final height
    QString numberFormat;       // pattern such as "#,##0.00" for numeric values
    QString dateFormat;         // Qt date pattern for date values
    qreal padding = 0.5;        // mm inside the frame

    // Frame and fill (text, rectangles, check box)
    int frameSides = NoSide;
    qreal frameWidth = 0.2; // mm
    QColor frameColor = Qt::black;
    QColor fillColor; // invalid: no fill
    QColor textColor = Qt::black;
    qreal cornerRadius = 2; // rounded rectangle, mm

    // Check box
    QString expression; // check box state

    // Picture
    QString pictureFile;
    QImage picture;
    PictureScaling scaling = PictureScaling::KeepAspect;
};

} // namespace platform
