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
    void shadowDotsFollowCheckerboardInStrips_data();
    void shadowDotsFollowCheckerboardInStrips();
    void squareCornersWhenNotRounded_data();
    void squareCornersWhenNotRounded();
    void transparencyBlendsFillWithSnapshot();
    void alignmentTrimsLines();
    void textPlacement();
    void textRectWrapsAtMaxWidth();
    void thaiHintInEveryDirection_data();
    void thaiHintInEveryDirection();
};

namespace {

const QColor background(255, 255, 200);
const QColor border(0, 0, 255);
const QColor shadow(128, 128, 128);
const QColor screenColour(10, 200, 10);
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
    s.FontColor = QColor(200, 0, 0);
    s.Font = QFont(QStringLiteral("DejaVu Sans"));
    s.Font.setPixelSize(11);
    return s;
}

QImage compose(const HintStyle &s, TfhHintDirection d, const QString &text = QString(), int w = W,
               const QColor &under = screenColour)
{
    QImage snapshot(w, heightFor(d), QImage::Format_RGB32);
    snapshot.fill(under);
    return composeHintImage(snapshot, s, d, text);
}

QRgb at(const QImage &image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

QRgb rgb(const QColor &c)
{
    return c.rgb() & 0xFFFFFF;
}

// Bounding box of the text's red ink in rows top .. bottom - 1 (the whole box by default).
QRect ink(const QImage &image, int top = 0, int bottom = -1)
{
    QRect bounds;
    for (int y = top; y < (bottom < 0 ? image.height() : bottom); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qRed(image.pixel(x, y)) - qGreen(image.pixel(x, y)) > 40)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace

void TestHintPainting::arrowTipAndBase_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("edgeRow");   // the box's outline row the arrow opens
    QTest::addColumn<int>("base1");     // base points on that row
    QTest::addColumn<QRect>("tipZone"); // where the tip's outline pixels are, on the last row
    QTest::addColumn<QPoint>("inside"); // inside the triangle, halfway to the tip

    const int hu = heightFor(dUpRight);
    QTest::newRow("up-right") << int(dUpRight) << hu - 15 << 10 << QRect(0, hu - 1, 3, 1) << QPoint(8, hu - 8);
    QTest::newRow("up-left") << int(dUpLeft) << hu - 15 << W - 26 << QRect(W - 9, hu - 1, 4, 1) << QPoint(W - 14, hu - 8);
    QTest::newRow("down-right") << int(dDownRight) << 15 << 10 << QRect(0, 0, 2, 1) << QPoint(8, 8);
    QTest::newRow("down-left") << int(dDownLeft) << 15 << W - 26 << QRect(W - 7, 0, 2, 1) << QPoint(W - 14, 8);
}

void TestHintPainting::arrowTipAndBase()
{
    QFETCH(int, direction);
    QFETCH(int, edgeRow);
    QFETCH(int, base1);
    QFETCH(QRect, tipZone);
    QFETCH(QPoint, inside);
    const auto d = TfhHintDirection(direction);
    HintStyle s = testStyle();
    const QImage image = compose(s, d);
    QCOMPARE(image.size(), QSize(W, heightFor(d)));

    // The outline is open between the base points, which themselves are outline.
    QCOMPARE(at(image, base1, edgeRow), rgb(border));
    QCOMPARE(at(image, base1 + 5, edgeRow), rgb(background));
    QCOMPARE(at(image, base1 + 10, edgeRow), rgb(border));
    QCOMPARE(at(image, 60, edgeRow), rgb(border));
    QCOMPARE(at(image, inside.x(), inside.y()), rgb(background));
    // The tip's outline is drawn, and nothing else of the arrow reaches its row.
    bool tipDrawn = false;
    for (int x = 0; x < W; ++x) {
        const QRgb p = at(image, x, tipZone.y());
        if (tipZone.contains(x, tipZone.y()))
            tipDrawn = tipDrawn || p == rgb(border);
        else
            QVERIFY2(p != rgb(border) && p != rgb(background), qPrintable(QString::number(x)));
    }
    QVERIFY(tipDrawn);

    // Without the arrow the outline stays closed and the tip is screen.
    s.ShowArrow = false;
    const QImage plain = compose(s, d);
    QCOMPARE(at(plain, base1 + 5, edgeRow), rgb(border));
    QCOMPARE(at(plain, inside.x(), inside.y()) == rgb(background), false);
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
    const bool top = hintArrowAtTop(d);
    HintStyle s = testStyle();
    s.Rounded = rounded;
    const QImage image = compose(s, d);

    const int stripTop = top ? h - 8 : h - 14;
    const int stripBottom = top ? h - 2 : h - 9;
    QRect triangle; // the arrow's shadow triangle: its x range and rows
    if (d == dUpRight)
        triangle = QRect(QPoint(6, h - 15), QPoint(26, h - 1));
    else if (d == dUpLeft)
        triangle = QRect(QPoint(W - 32, h - 15), QPoint(W - 6, h - 1));
    else if (d == dDownLeft)
        triangle = QRect(QPoint(W - 16, 0), QPoint(W - 4, 15));

    int rightDots = 0;
    int bottomDots = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < W; ++x) {
            if (at(image, x, y) != rgb(shadow))
                continue;
            const QString where = QStringLiteral("dot at %1,%2").arg(x).arg(y);
            QVERIFY2(hintShadowDot(x, y), qPrintable(where));
            const bool inRight = x >= W - 14 && y >= (top ? 23 : 8) && y <= stripBottom;
            const bool inBottom = y >= stripTop && y <= stripBottom && x >= 10;
            QVERIFY2(inRight || inBottom || triangle.contains(x, y), qPrintable(where));
            rightDots += x >= W - 6 && y < stripTop;
            bottomDots += inBottom && x < W - 30 && !triangle.contains(x, y);
        }
    }
    QVERIFY(rightDots > 10);
    QVERIFY(bottomDots > 10);
    // The box is drawn over the part of the right strip that it covers.
    QCOMPARE(at(image, W - 10, top ? 30 : 10), rgb(background));

    s.ShowShadow = false;
    const QImage plain = compose(s, d);
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
    const QList<QPoint> boxCorners{QPoint(0, top ? 15 : 0), QPoint(W - 7, top ? 15 : 0), QPoint(W - 7, top ? h - 9 : h - 15)};
    // Corners of the shadow area, on dots of the checkerboard.
    const QList<QPoint> shadowCorners{top ? QPoint(W - 2, 23) : QPoint(W - 1, 8),
                                      top ? QPoint(W - 2, h - 3) : QPoint(W - 1, h - 9)};

    HintStyle s = testStyle();
    s.Rounded = false;
    const QImage square = compose(s, d);
    for (const QPoint &p : boxCorners)
        QCOMPARE(at(square, p.x(), p.y()), rgb(border));
    for (const QPoint &p : shadowCorners)
        QCOMPARE(at(square, p.x(), p.y()), rgb(shadow));

    s.Rounded = true;
    const QImage round = compose(s, d);
    for (const QPoint &p : boxCorners) {
        QVERIFY(at(round, p.x(), p.y()) != rgb(border));
        QVERIFY(at(round, p.x(), p.y()) != rgb(background));
    }
    for (const QPoint &p : shadowCorners)
        QCOMPARE(at(round, p.x(), p.y()), rgb(screenColour));
    // RoundRadius sizes the corner: two pixels in from the corner is outside the box at 18
    // and inside it at 4.
    QCOMPARE(at(round, 2, boxCorners[0].y() + 2), rgb(screenColour));
    s.RoundRadius = 4;
    QCOMPARE(at(compose(s, d), 2, boxCorners[0].y() + 2), rgb(background));
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

    // Under (30, 10) the screen is (60, 40, 100): (200 * 70 + 60 * 30) div 100 = 158 ...
    QCOMPARE(at(image, 30, 10), qRgb(158, 166, 198) & 0xFFFFFF);
    // ... and inside the arrow, over (16, 172, 100).
    QCOMPARE(at(image, 8, 43), qRgb(144, 205, 198) & 0xFFFFFF);
    // Outline, shadow and uncovered screen are not blended.
    QCOMPARE(at(image, 60, 0), rgb(border));
    QCOMPARE(at(image, W - 1, 20), rgb(shadow));
    QCOMPARE(at(image, W - 2, 2), snapshot.pixel(W - 2, 2) & 0xFFFFFF);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < W; ++x)
            QVERIFY(at(image, x, y) != rgb(s.ColorBackground));

    // The ends of the range; a byte above 100 would drive the fill's weight negative and
    // counts as 100.
    snapshot.fill(QColor(40, 80, 120));
    for (auto [rate, expected] : {std::pair{0, qRgb(200, 220, 240)}, {100, qRgb(40, 80, 120)}, {250, qRgb(40, 80, 120)}}) {
        s.TransparencyRate = rate;
        QCOMPARE(at(composeHintImage(snapshot, s, dUpRight, QString()), 30, 10), expected & 0xFFFFFF);
    }
    s.Transparent = false;
    QCOMPARE(at(composeHintImage(snapshot, s, dUpRight, QString()), 30, 10), rgb(s.ColorBackground));
}

void TestHintPainting::alignmentTrimsLines()
{
    const QString raw = QStringLiteral("  ยอดขาย  \r\n\tคงเหลือ \n x ");
    QCOMPARE(alignHintText(raw, taNone), raw);
    for (TfhTextAlignment a : {taLeft, taRight, taCenter})
        QCOMPARE(alignHintText(raw, a), QStringLiteral("ยอดขาย\r\nคงเหลือ\r\nx\r\n"));
    QCOMPARE(hintDisplayText(QStringLiteral("a\r\nb\rc\nd")), QStringLiteral("a\nb\nc\nd"));
}

void TestHintPainting::textPlacement()
{
    HintStyle s = testStyle();
    const int w = 161;
    const QString word = QStringLiteral("Stock");

    // Left (and none) from x = 8, right up to W - 12, 3 pixels down; 15 more with the arrow
    // on top.
    const QRect none = ink(compose(s, dUpRight, word, w));
    QVERIFY(none.left() >= 8 && none.left() <= 10 && none.top() >= 3);
    s.TextAlignment = taLeft;
    QCOMPARE(ink(compose(s, dUpRight, word, w)), none);
    s.TextAlignment = taRight;
    const QRect right = ink(compose(s, dUpRight, word, w));
    QVERIFY(right.right() < w - 12 && right.right() >= w - 15);
    QCOMPARE(ink(compose(s, dDownRight, word, w)).top(), right.top() + 15);

    // Centred: blanks around the lines make no difference, and each line is centred alone.
    s.TextAlignment = taCenter;
    const QImage padded = compose(s, dUpRight, alignHintText(QStringLiteral("   Stock  \r\n On hand units "), taCenter), w);
    QCOMPARE(padded, compose(s, dUpRight, QStringLiteral("Stock\nOn hand units"), w));
    const int line = QFontMetrics(s.Font).lineSpacing();
    const QRect first = ink(padded, 3, 3 + line);
    const QRect second = ink(padded, 3 + line, 3 + 2 * line);
    QVERIFY(second.width() > first.width() + 20);
    for (const QRect &r : {first, second})
        QVERIFY2(qAbs((r.left() - 8) - ((w - 12) - (r.right() + 1))) <= 2, qPrintable(QString::number(r.left())));

    // Right-to-left reading moves the neutral "!" to the other end; the alignment is kept.
    s.TextAlignment = taLeft;
    const QImage ltr = compose(s, dUpRight, QStringLiteral("(abc)!"), w);
    s.BiDiMode = bdRightToLeft;
    const QImage rtl = compose(s, dUpRight, QStringLiteral("(abc)!"), w);
    QVERIFY(ltr != rtl);
    QVERIFY(ink(rtl).left() <= 11);
    s.BiDiMode = bdRightToLeftReadingOnly;
    QCOMPARE(compose(s, dUpRight, QStringLiteral("(abc)!"), w), rtl);
}

void TestHintPainting::textRectWrapsAtMaxWidth()
{
    const QFont font = testStyle().Font;
    const QSize one = hintTextRect(font, QStringLiteral("Stock"), 800);
    QVERIFY(qAbs(one.width() - (QFontMetrics(font).horizontalAdvance(QStringLiteral("Stock")) + 6)) <= 3);
    const QSize two = hintTextRect(font, QStringLiteral("Stock\r\nOn hand"), 800);
    QCOMPARE(two, hintTextRect(font, QStringLiteral("Stock\nOn hand"), 800));
    QVERIFY(two.height() > one.height());

    const QString longText = QStringLiteral("quantity on hand in large and small units for the branch");
    QVERIFY(hintTextRect(font, longText, 800).width() > 106);
    QCOMPARE(hintTextRect(font, longText, 800).height(), one.height());
    const QSize wrapped = hintTextRect(font, longText, 100);
    QVERIFY(wrapped.width() <= 106);
    QVERIFY(wrapped.height() >= 3 * (one.height() - 2));
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
    s.Font = QFont(QStringLiteral("MS Sans Serif"));
    s.Font.setPixelSize(11);
    s.TextAlignment = taCenter;
    s.Transparent = true;
    s.TransparencyRate = 20;
    const QString hint = QStringLiteral("  บันทึกรายการฝากขาย (F10)  \r\n ยอดคงเหลือ ณ สิ้นงวด ");
    const QSize balloon = hintBalloonSize(hintTextRect(s.Font, hint, 800), d);
    QImage snapshot(balloon, QImage::Format_RGB32);
    for (int y = 0; y < balloon.height(); ++y)
        for (int x = 0; x < balloon.width(); ++x)
            snapshot.setPixel(x, y, (x / 6) % 2 ? qRgb(90, 140, 200) : qRgb(212, 208, 200));
    const QImage image = composeHintImage(snapshot, s, d, alignHintText(hint, taCenter));

    // Two lines of text inside the text rectangle.
    const QRect bounds = ink(image);
    QVERIFY(bounds.left() >= 8 && bounds.right() < balloon.width() - 12);
    QVERIFY(bounds.top() >= (hintArrowAtTop(d) ? 18 : 3));
    QVERIFY(bounds.height() > QFontMetrics(s.Font).height());

    const QString dir = qEnvironmentVariable("TARVO_HINTS_PNG_DIR");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        QVERIFY(image.scaled(image.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                    .save(QStringLiteral("%1/balloon-%2.png").arg(dir, QTest::currentDataTag())));
    }
}

QTEST_MAIN(TestHintPainting)
#include "tst_hintpainting.moc"
