#include "hints/HintGeometry.h"

#include <QTest>

// Placement of the balloon beside the cursor: the preferred direction, its fall-backs at the
// screen edges and the end of the search when nothing fits.
class TestHintGeometry : public QObject
{
    Q_OBJECT

private slots:
    void placement_data();
    void placement();
    void nothingFits_data();
    void nothingFits();
    void everyCursorTerminates();
};

namespace {
const QRect screen(0, 0, 800, 600);
const QSize text(100, 20); // balloons 116 x 40 (arrow at bottom) or 116 x 49 (arrow on top)
} // namespace

void TestHintGeometry::placement_data()
{
    QTest::addColumn<QRect>("screenRect");
    QTest::addColumn<int>("preferred");
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<QRect>("balloon");
    QTest::addColumn<QList<int>>("tried"); // the last one is the direction used

    auto row = [](const char *name, int preferred, QPoint cursor, QRect balloon, QList<int> tried, QRect onScreen = screen) {
        QTest::newRow(name) << onScreen << preferred << cursor << balloon << tried;
    };
    row("up-right fits", dUpRight, {300, 300}, {300, 258, 116, 40}, {dUpRight});
    row("up-right at right edge", dUpRight, {750, 300}, {640, 258, 116, 40}, {dUpRight, dUpLeft});
    row("up-right at top edge", dUpRight, {300, 20}, {300, 26, 116, 49}, {dUpRight, dDownRight});
    row("up-right in top-right corner", dUpRight, {750, 20}, {640, 26, 116, 49}, {dUpRight, dUpLeft, dDownLeft});
    row("up-left fits", dUpLeft, {300, 300}, {190, 258, 116, 40}, {dUpLeft});
    row("up-left at left edge", dUpLeft, {50, 300}, {50, 258, 116, 40}, {dUpLeft, dUpRight});
    row("up-left at top edge", dUpLeft, {300, 20}, {190, 26, 116, 49}, {dUpLeft, dDownLeft});
    row("down-right fits", dDownRight, {300, 300}, {300, 306, 116, 49}, {dDownRight});
    row("down-right at right edge", dDownRight, {750, 300}, {640, 306, 116, 49}, {dDownRight, dDownLeft});
    row("down-right at bottom edge", dDownRight, {300, 580}, {300, 538, 116, 40}, {dDownRight, dUpRight});
    row("down-left at left edge", dDownLeft, {50, 300}, {50, 306, 116, 49}, {dDownLeft, dDownRight});
    row("down-left at bottom edge", dDownLeft, {300, 580}, {190, 538, 116, 40}, {dDownLeft, dUpLeft});
    row("down-left in bottom-left corner", dDownLeft, {50, 580}, {50, 538, 116, 40}, {dDownLeft, dDownRight, dUpRight});
    // Touching an edge still fits; one pixel more does not.
    row("right edge touching", dUpRight, {684, 300}, {684, 258, 116, 40}, {dUpRight});
    row("right edge over", dUpRight, {685, 300}, {575, 258, 116, 40}, {dUpRight, dUpLeft});
    row("top edge touching", dUpRight, {300, 42}, {300, 0, 116, 40}, {dUpRight});
    row("top edge over", dUpRight, {300, 41}, {300, 47, 116, 49}, {dUpRight, dDownRight});
    row("left edge touching", dUpLeft, {110, 300}, {0, 258, 116, 40}, {dUpLeft});
    row("bottom edge touching", dDownRight, {300, 545}, {300, 551, 116, 49}, {dDownRight});
    // Left-opening balloons reach 6 pixels past the cursor, and only their left edge is
    // tested: at the very right edge they stick out by up to 6 pixels.
    row("up-left at the very right edge", dUpLeft, {797, 300}, {687, 258, 116, 40}, {dUpLeft});
    // A second screen to the right of the first.
    row("screen with offset", dUpLeft, {850, 500}, {850, 458, 116, 40}, {dUpLeft, dUpRight}, QRect(800, 0, 1280, 1024));
}

void TestHintGeometry::placement()
{
    QFETCH(QRect, screenRect);
    QFETCH(int, preferred);
    QFETCH(QPoint, cursor);
    QFETCH(QRect, balloon);
    QFETCH(QList<int>, tried);
    const HintPlacement p = placeHintBalloon(cursor, screenRect, text, TfhHintDirection(preferred));
    QList<int> triedInts(p.tried.begin(), p.tried.end());
    QCOMPARE(triedInts, tried);
    QCOMPARE(int(p.direction), tried.last());
    QCOMPARE(p.rect, balloon);
    QVERIFY(p.fitted);
}

void TestHintGeometry::nothingFits_data()
{
    QTest::addColumn<QSize>("textSize");
    QTest::addColumn<QList<int>>("tried");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QRect>("balloon");
    // 916 wide: up-right and up-left hand over to each other. Up-left overflows by 510
    // pixels, up-right by 516; it goes up-left, moved right onto the screen.
    QTest::newRow("too wide") << QSize(900, 20) << QList<int>{dUpRight, dUpLeft} << int(dUpLeft) << QRect(0, 258, 916, 40);
    // 720 high: above overflows by 422, below by 435; it stays above, moved down.
    QTest::newRow("too tall") << QSize(100, 700) << QList<int>{dUpRight, dDownRight} << int(dUpRight) << QRect(300, 0, 116, 720);
    // Larger both ways: the top-left corner stays on the screen.
    QTest::newRow("too large") << QSize(1000, 900) << QList<int>{dUpRight, dUpLeft} << int(dUpLeft) << QRect(0, 0, 1016, 920);
}

void TestHintGeometry::nothingFits()
{
    QFETCH(QSize, textSize);
    QFETCH(QList<int>, tried);
    QFETCH(int, direction);
    QFETCH(QRect, balloon);
    const QPoint cursor = textSize.width() == 100 ? QPoint(300, 300) : QPoint(400, 300);
    const HintPlacement p = placeHintBalloon(cursor, screen, textSize, dUpRight);
    QList<int> triedInts(p.tried.begin(), p.tried.end());
    QCOMPARE(triedInts, tried);
    QVERIFY(!p.fitted);
    QCOMPARE(int(p.direction), direction);
    QCOMPARE(p.rect, balloon);
}

void TestHintGeometry::everyCursorTerminates()
{
    for (const QSize &t :
         {QSize(100, 20), QSize(790, 20), QSize(100, 560), QSize(400, 300), QSize(900, 20), QSize(100, 700), QSize(2000, 2000)}) {
        for (TfhHintDirection d : {dUpRight, dUpLeft, dDownRight, dDownLeft}) {
            for (int x = 0; x < 800; x += 19) {
                for (int y = 0; y < 600; y += 17) {
                    const HintPlacement p = placeHintBalloon(QPoint(x, y), screen, t, d);
                    const QSet<TfhHintDirection> unique(p.tried.begin(), p.tried.end());
                    QCOMPARE(unique.size(), p.tried.size());
                    QCOMPARE(p.rect.size(), hintBalloonSize(t, p.direction));
                    if (p.fitted)
                        QVERIFY(screen.adjusted(0, 0, 6, 0).contains(p.rect));
                    else if (p.rect.width() <= 800 && p.rect.height() <= 600)
                        QVERIFY(screen.contains(p.rect));
                }
            }
        }
    }
}

QTEST_APPLESS_MAIN(TestHintGeometry)
#include "tst_hintgeometry.moc"
