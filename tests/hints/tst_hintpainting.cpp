#include "hints/HintGeometry.h"
#include "hints/HintPainter.h"

#include <QDir>
#include <QFontMetrics>
#include <QTest>

// The composed balloon image, checked pixel by pixel on known snapshots.
class TestHintPainting : public QObject
{
    Q_OBJECT

private slots:
    void arrowTipAndBase_data();
    void arrowTipAndBase();
    void noArrowKeepsOutlineClosed();
    void shadowDotsFollowCheckerboardInStrips_data();
    void shadowDotsFollowCheckerboardInStrips();
    void squareCornersWhenNotRounded_data();
    void squareCornersWhenNotRounded();
    void transparencyBlendsFillWithSnapshot();
    void transparencyRateLimits();
    void alignmentTrimsAndRejoinsLines();
    void centredLinesIgnoreSurroundingBlanks();
    void horizontalAlignmentPlacesInk();
    void rightToLeftReadingKeepsAlignment();
    void textRectWrapsAtMaxWidth();
    void thaiHintInEveryDirection_data();
    void thaiHintInEveryDirection();
};

namespace {

const QColor background(255, 255, 200);
const QColor border(0, 0, 255);
const QColor shadow(128, 128, 128);
const QColor screenColour(10, 200, 10);
const QColor ink(200, 0, 0);
const int W = 121;

int heightFor(TfhHintDirection d)
{
    return hintArrowAtTop(d) ? 60 : 51;
}

HintStyle testStyle()
{
    HintStyle s;
    s.ColorBackground = background;
    s.ColorBorder = border;
    s.ColorShadow = shadow;
    s.FontColor = ink;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    s.Font = font;
    return s;
}

QImage uniform(const QSize &size, const QColor &c)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(c);
    return image;
}

QRgb at(const QImage &image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

QRgb rgb(const QColor &c)
{
    return c.rgb() & 0xFFFFFF;
}

// Bounding box of the text's pixels (the red ink, anti-aliased over the fill) in rows
// top .. bottom - 1.
QRect inkBoundsInRows(const QImage &image, int top, int bottom)
{
    QRect bounds;
    for (int y = top; y < bottom; ++y) {
        for (int x = 2; x < image.width() - 8; ++x) {
            const QRgb p = at(image, x, y);
            if (qRed(p) - qGreen(p) > 40)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// Bounding box of the ink inside the box.
QRect inkBounds(const QImage &image, TfhHintDirection d)
{
    const int top = hintArrowAtTop(d) ? 18 : 3;
    const int bottom = hintArrowAtTop(d) ? image.height() - 9 : image.height() - 15;
    return inkBoundsInRows(image, top, bottom);
}

} // namespace

void TestHintPainting::arrowTipAndBase_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<QPoint>("opened");   // on the box's outline between the arrow's base points
    QTest::addColumn<QPoint>("outline");  // on the same outline away from the arrow
    QTest::addColumn<QPoint>("base1");
    QTest::addColumn<QPoint>("base2");
    QTest::addColumn<QRect>("tipZone");   // where the tip's outline pixels must be
    QTest::addColumn<QPoint>("inside");   // inside the triangle, halfway to the tip

    const int hu = heightFor(dUpRight);
    QTest::newRow("up-right") << int(dUpRight) << QPoint(15, hu - 15) << QPoint(60, hu - 15)
                              << QPoint(10, hu - 15) << QPoint(20, hu - 15)
                              << QRect(0, hu - 1, 3, 1) << QPoint(8, hu - 8);
    QTest::newRow("up-left") << int(dUpLeft) << QPoint(W - 21, hu - 15) << QPoint(60, hu - 15)
                             << QPoint(W - 26, hu - 15) << QPoint(W - 16, hu - 15)
                             << QRect(W - 9, hu - 1, 4, 1) << QPoint(W - 14, hu - 8);
    QTest::newRow("down-right") << int(dDownRight) << QPoint(15, 15) << QPoint(60, 15)
                                << QPoint(10, 15) << QPoint(20, 15) << QRect(0, 0, 2, 1)
                                << QPoint(8, 8);
    QTest::newRow("down-left") << int(dDownLeft) << QPoint(W - 21, 15) << QPoint(60, 15)
                               << QPoint(W - 26, 15) << QPoint(W - 16, 15)
                               << QRect(W - 7, 0, 2, 1) << QPoint(W - 14, 8);
}

void TestHintPainting::arrowTipAndBase()
{
    QFETCH(int, direction);
    QFETCH(QPoint, opened);
    QFETCH(QPoint, outline);
    QFETCH(QPoint, base1);
    QFETCH(QPoint, base2);
    QFETCH(QRect, tipZone);
    QFETCH(QPoint, inside);
    const auto d = TfhHintDirection(direction);
    const QImage image = composeHintImage(uniform(QSize(W, heightFor(d)), screenColour),
                                          testStyle(), d, QString());
    QCOMPARE(image.size(), QSize(W, heightFor(d)));

    QCOMPARE(at(image, opened.x(), opened.y()), rgb(background));
    QCOMPARE(at(image, outline.x(), outline.y()), rgb(border));
    QCOMPARE(at(image, base1.x(), base1.y()), rgb(border));
    QCOMPARE(at(image, base2.x(), base2.y()), rgb(border));
    QCOMPARE(at(image, inside.x(), inside.y()), rgb(background));

    // The tip's outline is drawn, and nothing of the arrow reaches past it.
    const int tipRow = tipZone.y();
    bool tipDrawn = false;
    for (int x = 0; x < W; ++x) {
        const QRgb p = at(image, x, tipRow);
        if (tipZone.contains(x, tipRow))
            tipDrawn = tipDrawn || p == rgb(border);
        else
            QVERIFY2(p != rgb(border) && p != rgb(background),
                     qPrintable(QStringLiteral("arrow pixel at x=%1 outside the tip").arg(x)));
    }
    QVERIFY(tipDrawn);
}

void TestHintPainting::noArrowKeepsOutlineClosed()
{
    HintStyle s = testStyle();
    s.ShowArrow = false;
    const QImage up = composeHintImage(uniform(QSize(W, 51), screenColour), s, dUpRight, QString());
    QCOMPARE(at(up, 15, 51 - 15), rgb(border));
    QCOMPARE(at(up, 1, 50), rgb(screenColour));
    const QImage down
        = composeHintImage(uniform(QSize(W, 60), screenColour), s, dDownLeft, QString());
    QCOMPARE(at(down, W - 21, 15), rgb(border));
    QCOMPARE(at(down, W - 6, 0), rgb(screenColour));
}

void TestHintPainting::shadowDotsFollowCheckerboardInStrips_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<bool>("rounded");
    for (bool rounded : {true, false}) {
        const char *suffix = rounded ? "rounded" : "square";
        QTest::addRow("up-right %s", suffix) << int(dUpRight) << rounded;
        QTest::addRow("up-left %s", suffix) << int(dUpLeft) << rounded;
        QTest::addRow("down-right %s", suffix) << int(dDownRight) << rounded;
        QTest::addRow("down-left %s", suffix) << int(dDownLeft) << rounded;
    }
}

void TestHintPainting::shadowDotsFollowCheckerboardInStrips()
{
    QFETCH(int, direction);
    QFETCH(bool, rounded);
    const auto d = TfhHintDirection(direction);
    const int h = heightFor(d);
    HintStyle s = testStyle();
    s.Rounded = rounded;
    const QImage image = composeHintImage(uniform(QSize(W, h), screenColour), s, d, QString());

    const bool top = hintArrowAtTop(d);
    const int stripTop = top ? h - 8 : h - 14;
    const int stripBottom = top ? h - 2 : h - 9;
    // The arrow's shadow triangle: its x range and rows.
    QRect triangle;
    if (d == dUpRight)
        triangle = QRect(QPoint(6, h - 15), QPoint(26, h - 1));
    else if (d == dUpLeft)
        triangle = QRect(QPoint(W - 32, h - 15), QPoint(W - 6, h - 1));
    else if (d == dDownLeft)
        triangle = QRect(QPoint(W - 16, 0), QPoint(W - 4, 15));

    int rightStripDots = 0;
    int bottomStripDots = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < W; ++x) {
            if (at(image, x, y) != rgb(shadow))
                continue;
            QVERIFY2(hintShadowDot(x, y), qPrintable(QStringLiteral("dot at %1,%2").arg(x).arg(y)));
            const bool inRightStrip = x >= W - 14 && y >= (top ? 23 : 8) && y <= stripBottom;
            const bool inBottomStrip = y >= stripTop && y <= stripBottom && x >= 10;
            QVERIFY2(inRightStrip || inBottomStrip || triangle.contains(x, y),
                     qPrintable(QStringLiteral("dot outside the strips at %1,%2").arg(x).arg(y)));
            if (x >= W - 6 && y < stripTop)
                ++rightStripDots;
            if (inBottomStrip && x < W - 30 && !triangle.contains(x, y))
                ++bottomStripDots;
        }
    }
    QVERIFY(rightStripDots > 10);
    QVERIFY(bottomStripDots > 10);
    // The box is drawn over the part of the right strip that it covers.
    QCOMPARE(at(image, W - 10, top ? 30 : 10), rgb(background));

    s.ShowShadow = false;
    const QImage plain = composeHintImage(uniform(QSize(W, h), screenColour), s, d, QString());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < W; ++x)
            QVERIFY(at(plain, x, y) != rgb(shadow));
}

void TestHintPainting::squareCornersWhenNotRounded_data()
{
    QTest::addColumn<int>("direction");
    QTest::newRow("up-right") << int(dUpRight);
    QTest::newRow("down-left") << int(dDownLeft);
}

void TestHintPainting::squareCornersWhenNotRounded()
{
    QFETCH(int, direction);
    const auto d = TfhHintDirection(direction);
    const int h = heightFor(d);
    const bool top = hintArrowAtTop(d);
    const int boxTop = top ? 15 : 0;
    const int boxBottom = top ? h - 9 : h - 15;
    // Corners of the shadow area, on dots of the checkerboard.
    const QPoint shadowTopRight = top ? QPoint(W - 2, 23) : QPoint(W - 1, 8);
    const QPoint shadowBottomRight = top ? QPoint(W - 2, h - 3) : QPoint(W - 1, h - 9);
    QVERIFY(hintShadowDot(shadowTopRight.x(), shadowTopRight.y()));
    QVERIFY(hintShadowDot(shadowBottomRight.x(), shadowBottomRight.y()));

    HintStyle s = testStyle();
    s.Rounded = false;
    const QImage square = composeHintImage(uniform(QSize(W, h), screenColour), s, d, QString());
    QCOMPARE(at(square, 0, boxTop), rgb(border));
    QCOMPARE(at(square, W - 7, boxTop), rgb(border));
    QCOMPARE(at(square, W - 7, boxBottom), rgb(border));
    QCOMPARE(at(square, 1, boxTop + 1), rgb(background));
    QCOMPARE(at(square, shadowTopRight.x(), shadowTopRight.y()), rgb(shadow));
    QCOMPARE(at(square, shadowBottomRight.x(), shadowBottomRight.y()), rgb(shadow));

    s.Rounded = true;
    const QImage round = composeHintImage(uniform(QSize(W, h), screenColour), s, d, QString());
    // Rounded, the box's corner pixels are screen or shadow, not box.
    for (const QPoint &corner : {QPoint(0, boxTop), QPoint(W - 7, boxTop), QPoint(W - 7, boxBottom)}) {
        QVERIFY(at(round, corner.x(), corner.y()) != rgb(border));
        QVERIFY(at(round, corner.x(), corner.y()) != rgb(background));
    }
    QCOMPARE(at(round, shadowTopRight.x(), shadowTopRight.y()), rgb(screenColour));
    QCOMPARE(at(round, shadowBottomRight.x(), shadowBottomRight.y()), rgb(screenColour));
    // RoundRadius sizes the corner: at 4 the pixel two steps in from the corner is filled,
    // at 18 it is still outside the box.
    s.RoundRadius = 4;
    const QImage small = composeHintImage(uniform(QSize(W, h), screenColour), s, d, QString());
    QCOMPARE(at(small, 0, boxTop), rgb(screenColour));
    QCOMPARE(at(small, 2, boxTop + 2), rgb(background));
    QCOMPARE(at(round, 2, boxTop + 2), rgb(screenColour));
}

void TestHintPainting::transparencyBlendsFillWithSnapshot()
{
    QImage snapshot(W, 51, QImage::Format_RGB32);
    for (int y = 0; y < snapshot.height(); ++y)
        for (int x = 0; x < W; ++x)
            snapshot.setPixel(x, y, qRgb(x * 2, y * 4, 100));
    HintStyle s = testStyle();
    s.ColorBackground = QColor(200, 220, 240);
    s.Transparent = true;
    s.TransparencyRate = 30;
    const QImage image = composeHintImage(snapshot, s, dUpRight, QString());

    // Under (30, 10) the screen is (60, 40, 100): 200*70+60*30 = 15800, and so on.
    QCOMPARE(at(image, 30, 10), qRgb(158, 166, 198) & 0xFFFFFF);
    // Inside the arrow, too.
    QCOMPARE(at(image, 8, 43), qRgb((200 * 70 + 16 * 30) / 100, (220 * 70 + 172 * 30) / 100,
                                    (240 * 70 + 100 * 30) / 100) & 0xFFFFFF);
    // Outline, shadow and uncovered screen stay as they were.
    QCOMPARE(at(image, 60, 0), rgb(border));
    QVERIFY(hintShadowDot(W - 1, 20));
    QCOMPARE(at(image, W - 1, 20), rgb(shadow));
    QCOMPARE(at(image, W - 2, 2), snapshot.pixel(W - 2, 2) & 0xFFFFFF);
    // No pixel keeps the unblended fill colour.
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < W; ++x)
            QVERIFY(at(image, x, y) != rgb(s.ColorBackground));
}

void TestHintPainting::transparencyRateLimits()
{
    const QImage snapshot = uniform(QSize(W, 51), QColor(40, 80, 120));
    HintStyle s = testStyle();
    s.ColorBackground = QColor(200, 220, 240);
    s.Transparent = true;
    s.TransparencyRate = 0;
    QCOMPARE(at(composeHintImage(snapshot, s, dUpRight, QString()), 30, 10),
             rgb(s.ColorBackground));
    s.TransparencyRate = 100;
    QCOMPARE(at(composeHintImage(snapshot, s, dUpRight, QString()), 30, 10),
             qRgb(40, 80, 120) & 0xFFFFFF);
    // A byte above 100 would drive the fill's weight negative; it counts as 100.
    s.TransparencyRate = 250;
    QCOMPARE(at(composeHintImage(snapshot, s, dUpRight, QString()), 30, 10),
             qRgb(40, 80, 120) & 0xFFFFFF);
    s.Transparent = false;
    s.TransparencyRate = 50;
    QCOMPARE(at(composeHintImage(snapshot, s, dUpRight, QString()), 30, 10),
             rgb(s.ColorBackground));
}

void TestHintPainting::alignmentTrimsAndRejoinsLines()
{
    const QString raw = QStringLiteral("  ยอดขาย  \r\n\tคงเหลือ \n x ");
    QCOMPARE(alignHintText(raw, taNone), raw);
    const QString aligned = QStringLiteral("ยอดขาย\r\nคงเหลือ\r\nx\r\n");
    QCOMPARE(alignHintText(raw, taCenter), aligned);
    QCOMPARE(alignHintText(raw, taLeft), aligned);
    QCOMPARE(alignHintText(raw, taRight), aligned);
    QCOMPARE(alignHintText(QStringLiteral(" one "), taCenter), QStringLiteral("one\r\n"));
    QCOMPARE(hintDisplayText(QStringLiteral("a\r\nb\rc\nd")), QStringLiteral("a\nb\nc\nd"));
}

void TestHintPainting::centredLinesIgnoreSurroundingBlanks()
{
    HintStyle s = testStyle();
    s.TextAlignment = taCenter;
    const QImage snapshot = uniform(QSize(161, 60), screenColour);
    const QImage padded = composeHintImage(
        snapshot, s, dUpRight, alignHintText(QStringLiteral("   Stock    \r\n  On hand quantity "), taCenter));
    const QImage tight = composeHintImage(
        snapshot, s, dUpRight, alignHintText(QStringLiteral("Stock\r\nOn hand quantity"), taCenter));
    QCOMPARE(padded, tight);

    // Each line is centred in the text rectangle (8 .. W - 12) on its own.
    const int lineHeight = QFontMetrics(s.Font).lineSpacing();
    const QRect first = inkBoundsInRows(padded, 3, 3 + lineHeight);
    const QRect second = inkBoundsInRows(padded, 3 + lineHeight, 3 + 2 * lineHeight);
    QVERIFY(!first.isEmpty() && !second.isEmpty());
    QVERIFY(second.width() > first.width() + 20);
    for (const QRect &line : {first, second}) {
        const int leftGap = line.left() - 8;
        const int rightGap = (161 - 12) - (line.right() + 1);
        QVERIFY2(qAbs(leftGap - rightGap) <= 2,
                 qPrintable(QStringLiteral("gaps %1 and %2").arg(leftGap).arg(rightGap)));
    }
}

void TestHintPainting::horizontalAlignmentPlacesInk()
{
    HintStyle s = testStyle();
    const QImage snapshot = uniform(QSize(161, 51), screenColour);
    s.TextAlignment = taNone;
    const QRect none = inkBounds(composeHintImage(snapshot, s, dUpRight, QStringLiteral("Stock")), dUpRight);
    s.TextAlignment = taLeft;
    const QRect left = inkBounds(composeHintImage(snapshot, s, dUpRight, QStringLiteral("Stock")), dUpRight);
    s.TextAlignment = taRight;
    const QRect right = inkBounds(composeHintImage(snapshot, s, dUpRight, QStringLiteral("Stock")), dUpRight);
    QVERIFY(none.left() >= 8 && none.left() <= 10);
    QCOMPARE(left, none);
    QVERIFY(right.right() <= 161 - 12 && right.right() >= 161 - 15);
    QVERIFY(none.top() >= 3);

    // With the arrow on top the text starts 15 pixels lower.
    const QRect down = inkBounds(composeHintImage(uniform(QSize(161, 60), screenColour), s,
                                                  dDownRight, QStringLiteral("Stock")),
                                 dDownRight);
    QCOMPARE(down.top(), right.top() + 15);
}

void TestHintPainting::rightToLeftReadingKeepsAlignment()
{
    HintStyle s = testStyle();
    const QImage snapshot = uniform(QSize(161, 51), screenColour);
    const QString text = QStringLiteral("(abc)!");
    const QImage ltr = composeHintImage(snapshot, s, dUpRight, text);
    s.BiDiMode = bdRightToLeft;
    const QImage rtl = composeHintImage(snapshot, s, dUpRight, text);
    // The neutral "!" moves to the other end of the line, but the left alignment stays left.
    QVERIFY(ltr != rtl);
    QVERIFY(inkBounds(rtl, dUpRight).left() <= 11);
    QVERIFY(inkBounds(ltr, dUpRight).left() <= 11);
    s.BiDiMode = bdRightToLeftReadingOnly;
    QCOMPARE(composeHintImage(snapshot, s, dUpRight, text), rtl);
}

void TestHintPainting::textRectWrapsAtMaxWidth()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    const QFontMetrics metrics(font);
    const QSize one = hintTextRect(font, QStringLiteral("Stock"), 800);
    QCOMPARE(one.width(), metrics.boundingRect(QRect(0, 0, 800, 0), Qt::TextWordWrap,
                                               QStringLiteral("Stock")).width() + 6);
    const QSize two = hintTextRect(font, QStringLiteral("Stock\r\nOn hand"), 800);
    QCOMPARE(two, hintTextRect(font, QStringLiteral("Stock\nOn hand"), 800));
    QVERIFY(two.height() > one.height());

    const QString longText = QStringLiteral("quantity on hand in large and small units for the branch");
    const QSize wide = hintTextRect(font, longText, 800);
    const QSize wrapped = hintTextRect(font, longText, 100);
    QVERIFY(wrapped.width() <= 106);
    QVERIFY(wrapped.height() >= 3 * (one.height() - 2));
    QVERIFY(wide.width() > 106);
    QCOMPARE(wide.height(), one.height());
}

void TestHintPainting::thaiHintInEveryDirection_data()
{
    QTest::addColumn<int>("direction");
    QTest::newRow("up-right") << int(dUpRight);
    QTest::newRow("up-left") << int(dUpLeft);
    QTest::newRow("down-right") << int(dDownRight);
    QTest::newRow("down-left") << int(dDownLeft);
}

void TestHintPainting::thaiHintInEveryDirection()
{
    QFETCH(int, direction);
    const auto d = TfhHintDirection(direction);
    HintStyle s = testStyle();
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    s.Font = font;
    s.TextAlignment = taCenter;
    s.Transparent = true;
    s.TransparencyRate = 20;
    const QString hint = QStringLiteral("  บันทึกรายการฝากขาย (F10)  \r\n ยอดคงเหลือ ณ สิ้นงวด ");
    const QSize balloon = hintBalloonSize(hintTextRect(font, hint, 800), d);
    QImage snapshot(balloon, QImage::Format_RGB32);
    for (int y = 0; y < balloon.height(); ++y)
        for (int x = 0; x < balloon.width(); ++x)
            snapshot.setPixel(x, y, (x / 6) % 2 ? qRgb(90, 140, 200) : qRgb(212, 208, 200));
    const QImage image = composeHintImage(snapshot, s, d, alignHintText(hint, taCenter));

    const QRect bounds = inkBounds(image, d);
    QVERIFY(!bounds.isEmpty());
    QVERIFY(bounds.left() >= 8 && bounds.right() < balloon.width() - 12);
    // Two lines of text.
    QVERIFY(bounds.height() > QFontMetrics(font).height());

    const QString dir = qEnvironmentVariable("TARVO_HINTS_PNG_DIR");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        const QString name = QStringLiteral("%1/balloon-%2.png").arg(dir, QTest::currentDataTag());
        QVERIFY(image.scaled(image.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                    .save(name));
    }
}

QTEST_MAIN(TestHintPainting)
#include "tst_hintpainting.moc"
