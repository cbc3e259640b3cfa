#include "hints/HintGeometry.h"

#include <QTest>

// Placement of the balloon beside the cursor: the preferred direction, its fall-backs at the
// screen edges and the end of the search when nothing fits.
class TestHintGeometry : public QObject
{
    Q_OBJECT

private slots:
    void balloonSizeDependsOnArrowSide();
    void placement_data();
    void placement();
    void edgesAreExact_data();
    void edgesAreExact();
    void screenOffsetIsHonoured();
    void tooWideBalloonStopsAfterBothSides();
    void tooTallBalloonStopsAfterBothSides();
    void largerThanScreenTerminatesInsideScreen();
    void everyCursorTerminatesWithUniqueTries();
};

namespace {
const QRect screen(0, 0, 800, 600);
const QSize text(100, 20); // balloons 116 x 40 (arrow at bottom) or 116 x 49 (arrow on top)
} // namespace

void TestHintGeometry::balloonSizeDependsOnArrowSide()
{
    QCOMPARE(hintBalloonSize(text, dUpRight), QSize(116, 40));
    QCOMPARE(hintBalloonSize(text, dUpLeft), QSize(116, 40));
    QCOMPARE(hintBalloonSize(text, dDownRight), QSize(116, 49));
    QCOMPARE(hintBalloonSize(text, dDownLeft), QSize(116, 49));
}

void TestHintGeometry::placement_data()
{
    QTest::addColumn<int>("preferred");
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QPoint>("topLeft");
    QTest::addColumn<QList<int>>("tried");

    QTest::newRow("up-right fits") << int(dUpRight) << QPoint(300, 300) << int(dUpRight)
                                   << QPoint(300, 258) << QList<int>{dUpRight};
    QTest::newRow("up-right at right edge goes left")
        << int(dUpRight) << QPoint(750, 300) << int(dUpLeft) << QPoint(640, 258)
        << QList<int>{dUpRight, dUpLeft};
    QTest::newRow("up-right at top edge goes below")
        << int(dUpRight) << QPoint(300, 20) << int(dDownRight) << QPoint(300, 26)
        << QList<int>{dUpRight, dDownRight};
    QTest::newRow("up-right in top-right corner")
        << int(dUpRight) << QPoint(750, 20) << int(dDownLeft) << QPoint(640, 26)
        << QList<int>{dUpRight, dUpLeft, dDownLeft};
    QTest::newRow("up-left fits") << int(dUpLeft) << QPoint(300, 300) << int(dUpLeft)
                                  << QPoint(190, 258) << QList<int>{dUpLeft};
    QTest::newRow("up-left at left edge goes right")
        << int(dUpLeft) << QPoint(50, 300) << int(dUpRight) << QPoint(50, 258)
        << QList<int>{dUpLeft, dUpRight};
    QTest::newRow("up-left at top edge goes below")
        << int(dUpLeft) << QPoint(300, 20) << int(dDownLeft) << QPoint(190, 26)
        << QList<int>{dUpLeft, dDownLeft};
    QTest::newRow("down-right fits") << int(dDownRight) << QPoint(300, 300) << int(dDownRight)
                                     << QPoint(300, 306) << QList<int>{dDownRight};
    QTest::newRow("down-right at right edge goes left")
        << int(dDownRight) << QPoint(750, 300) << int(dDownLeft) << QPoint(640, 306)
        << QList<int>{dDownRight, dDownLeft};
    QTest::newRow("down-right at bottom edge goes above")
        << int(dDownRight) << QPoint(300, 580) << int(dUpRight) << QPoint(300, 538)
        << QList<int>{dDownRight, dUpRight};
    QTest::newRow("down-left fits") << int(dDownLeft) << QPoint(300, 300) << int(dDownLeft)
                                    << QPoint(190, 306) << QList<int>{dDownLeft};
    QTest::newRow("down-left at left edge goes right")
        << int(dDownLeft) << QPoint(50, 300) << int(dDownRight) << QPoint(50, 306)
        << QList<int>{dDownLeft, dDownRight};
    QTest::newRow("down-left at bottom edge goes above")
        << int(dDownLeft) << QPoint(300, 580) << int(dUpLeft) << QPoint(190, 538)
        << QList<int>{dDownLeft, dUpLeft};
    QTest::newRow("down-left in bottom-left corner")
        << int(dDownLeft) << QPoint(50, 580) << int(dUpRight) << QPoint(50, 538)
        << QList<int>{dDownLeft, dDownRight, dUpRight};
    // The left-opening balloons reach 6 pixels past the cursor; the table tests only the
    // left edge for them, so at the very right edge they stick out by up to 6 pixels.
    QTest::newRow("up-left at the very right edge")
        << int(dUpLeft) << QPoint(797, 300) << int(dUpLeft) << QPoint(687, 258)
        << QList<int>{dUpLeft};
}

void TestHintGeometry::placement()
{
    QFETCH(int, preferred);
    QFETCH(QPoint, cursor);
    QFETCH(int, direction);
    QFETCH(QPoint, topLeft);
    QFETCH(QList<int>, tried);

    const HintPlacement p = placeHintBalloon(cursor, screen, text, TfhHintDirection(preferred));
    QCOMPARE(int(p.direction), direction);
    QCOMPARE(p.rect.topLeft(), topLeft);
    QCOMPARE(p.rect.size(), hintBalloonSize(text, p.direction));
    QVERIFY(p.fitted);
    QList<int> triedInts;
    for (TfhHintDirection d : p.tried)
        triedInts.append(int(d));
    QCOMPARE(triedInts, tried);
}

void TestHintGeometry::edgesAreExact_data()
{
    QTest::addColumn<int>("preferred");
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<int>("direction");

    // X + W = screen width still fits; one more pixel does not.
    QTest::newRow("right edge touching") << int(dUpRight) << QPoint(684, 300) << int(dUpRight);
    QTest::newRow("right edge over") << int(dUpRight) << QPoint(685, 300) << int(dUpLeft);
    // Y - 2 - H = 0 fits.
    QTest::newRow("top edge touching") << int(dUpRight) << QPoint(300, 42) << int(dUpRight);
    QTest::newRow("top edge over") << int(dUpRight) << QPoint(300, 41) << int(dDownRight);
    // X - W + 6 = 0 fits.
    QTest::newRow("left edge touching") << int(dUpLeft) << QPoint(110, 300) << int(dUpLeft);
    QTest::newRow("left edge over") << int(dUpLeft) << QPoint(109, 300) << int(dUpRight);
    // Y + 6 + H = screen height fits.
    QTest::newRow("bottom edge touching")
        << int(dDownRight) << QPoint(300, 545) << int(dDownRight);
    QTest::newRow("bottom edge over") << int(dDownRight) << QPoint(300, 546) << int(dUpRight);
}

void TestHintGeometry::edgesAreExact()
{
    QFETCH(int, preferred);
    QFETCH(QPoint, cursor);
    QFETCH(int, direction);
    const HintPlacement p = placeHintBalloon(cursor, screen, text, TfhHintDirection(preferred));
    QCOMPARE(int(p.direction), direction);
    QVERIFY(p.fitted);
}

void TestHintGeometry::screenOffsetIsHonoured()
{
    // A second screen to the right of the first: its left edge is at x = 800.
    const QRect second(800, 0, 1280, 1024);
    const HintPlacement left = placeHintBalloon(QPoint(850, 500), second, text, dUpLeft);
    QCOMPARE(left.direction, dUpRight);
    QCOMPARE(left.rect.topLeft(), QPoint(850, 458));
    const HintPlacement right = placeHintBalloon(QPoint(2050, 500), second, text, dUpRight);
    QCOMPARE(right.direction, dUpLeft);
}

void TestHintGeometry::tooWideBalloonStopsAfterBothSides()
{
    // 916 pixels wide on an 800-pixel screen: up-right and up-left hand over to each other.
    const HintPlacement p = placeHintBalloon(QPoint(400, 300), screen, QSize(900, 20), dUpRight);
    QCOMPARE(p.tried, (QList<TfhHintDirection>{dUpRight, dUpLeft}));
    QVERIFY(!p.fitted);
    // Up-left overflows by 510 pixels on the left, up-right by 516 on the right.
    QCOMPARE(p.direction, dUpLeft);
    QCOMPARE(p.rect, QRect(0, 258, 916, 40));
}

void TestHintGeometry::tooTallBalloonStopsAfterBothSides()
{
    const HintPlacement p = placeHintBalloon(QPoint(300, 300), screen, QSize(100, 700), dUpRight);
    QCOMPARE(p.tried, (QList<TfhHintDirection>{dUpRight, dDownRight}));
    QVERIFY(!p.fitted);
    // Above overflows by 422 pixels, below by 435: it stays above, moved down to the top.
    QCOMPARE(p.direction, dUpRight);
    QCOMPARE(p.rect, QRect(300, 0, 116, 720));
}

void TestHintGeometry::largerThanScreenTerminatesInsideScreen()
{
    for (TfhHintDirection d : {dUpRight, dUpLeft, dDownRight, dDownLeft}) {
        const HintPlacement p = placeHintBalloon(QPoint(400, 300), screen, QSize(1000, 900), d);
        QVERIFY(!p.fitted);
        QVERIFY(p.tried.size() <= 4);
        QCOMPARE(p.tried.first(), d);
        // Larger than the screen: the left and top edges are kept on the screen.
        QCOMPARE(p.rect.topLeft(), QPoint(0, 0));
        QCOMPARE(p.rect.size(), hintBalloonSize(QSize(1000, 900), p.direction));
    }
}

void TestHintGeometry::everyCursorTerminatesWithUniqueTries()
{
    const QList<QSize> texts{QSize(100, 20), QSize(790, 20), QSize(100, 560), QSize(400, 300),
                             QSize(900, 20), QSize(100, 700), QSize(2000, 2000)};
    for (const QSize &t : texts) {
        for (TfhHintDirection d : {dUpRight, dUpLeft, dDownRight, dDownLeft}) {
            for (int x = 0; x < 800; x += 19) {
                for (int y = 0; y < 600; y += 17) {
                    const HintPlacement p = placeHintBalloon(QPoint(x, y), screen, t, d);
                    const QSet<TfhHintDirection> unique(p.tried.begin(), p.tried.end());
                    QCOMPARE(unique.size(), p.tried.size());
                    QCOMPARE(p.rect.size(), hintBalloonSize(t, p.direction));
                    if (p.fitted) {
                        QCOMPARE(p.direction, p.tried.last());
                        QVERIFY(screen.adjusted(0, 0, 6, 0).contains(p.rect));
                    } else if (p.rect.width() <= screen.width()
                               && p.rect.height() <= screen.height()) {
                        QVERIFY(screen.contains(p.rect));
                    }
                }
            }
        }
    }
}

QTEST_APPLESS_MAIN(TestHintGeometry)
#include "tst_hintgeometry.moc"
