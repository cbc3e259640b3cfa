#include "text/OnhandQuantity.h"

#include <QTest>

class TestOnhandQuantity : public QObject
{
    Q_OBJECT

private slots:
    void quantityText_data();
    void quantityText();
    void quantityTextWithoutRow();
    void lsUnitText_data();
    void lsUnitText();
    void lsUnitTextErrors();
};

namespace {

const UnitFractionRow box{QStringLiteral("Box"), 12, QStringLiteral("Piece")};
const UnitFractionRow single{QStringLiteral("Box"), 1, QStringLiteral("Piece")};
const UnitFractionRow zeroFraction{QStringLiteral("Box"), 0, QStringLiteral("Piece")};
const UnitFractionRow negativeFraction{QStringLiteral("Box"), -12, QStringLiteral("Piece")};
const UnitFractionRow bigFraction{QStringLiteral("Pallet"), 10000, QStringLiteral("Piece")};

OnhandSettings brackets(std::optional<int> decimals = std::nullopt, const QString &left = QStringLiteral("("),
                        const QString &right = QStringLiteral(")"))
{
    return OnhandSettings{decimals, left, right};
}

} // namespace

Q_DECLARE_METATYPE(const UnitFractionRow *)
Q_DECLARE_METATYPE(OnhandSettings)

void TestOnhandQuantity::quantityText_data()
{
    QTest::addColumn<const UnitFractionRow *>("unit");
    QTest::addColumn<OnhandSettings>("settings");
    QTest::addColumn<double>("quantity");
    QTest::addColumn<QString>("expected");

    const OnhandSettings plain = brackets();
    QTest::newRow("25") << &box << plain << 25.0 << "2 (Box) 1 (Piece)";
    QTest::newRow("24") << &box << plain << 24.0 << "2 (Box)";
    QTest::newRow("5") << &box << plain << 5.0 << "5 (Piece)";
    QTest::newRow("0") << &box << plain << 0.0 << "0 (Box)";
    QTest::newRow("-25") << &box << plain << -25.0 << "- 2 (Box) 1 (Piece)";
    QTest::newRow("25.5") << &box << plain << 25.5 << "2 (Box) 1.5 (Piece)";
    QTest::newRow("0.5") << &box << plain << 0.5 << ".5 (Piece)";
    QTest::newRow("12000") << &box << plain << 12000.0 << "1,000 (Box)";
    QTest::newRow("remainder grouped") << &bigFraction << plain << 15000.5 << "1 (Pallet) 5,000.5 (Piece)";
    QTest::newRow("six decimals at most") << &box << plain << 0.1234567 << ".123457 (Piece)";

    QTest::newRow("decimal 0 as null") << &box << brackets(0) << 25.5 << "2 (Box) 1.5 (Piece)";
    QTest::newRow("decimal 2") << &box << brackets(2) << 25.0 << "2 (Box) 1.00 (Piece)";
    QTest::newRow("decimal 2 whole boxes") << &box << brackets(2) << 24.0 << "2 (Box)";
    QTest::newRow("decimal 2 below one") << &box << brackets(2) << 0.5 << "0.50 (Piece)";
    QTest::newRow("decimal 2 rounds") << &box << brackets(2) << 1.125 << "1.13 (Piece)";
    QTest::newRow("decimal negative: no decimals") << &box << brackets(-3) << 25.5 << "2 (Box) 2 (Piece)";

    QTest::newRow("fraction 1") << &single << plain << 7.0 << "7 (Box)";
    QTest::newRow("fraction 1 with decimals") << &single << plain << 7.25 << "7.25 (Box)";
    QTest::newRow("fraction 1 zero") << &single << plain << 0.0 << "(Box)";
    QTest::newRow("fraction 1 negative") << &single << plain << -7.0 << "-  7 (Box)";
    QTest::newRow("fraction 1 decimal 2 zero") << &single << brackets(2) << 0.0 << "0.00 (Box)";

    QTest::newRow("fraction 0") << &zeroFraction << plain << 25.5 << "25 (Box) 25.5 (Piece)";
    QTest::newRow("fraction 0 zero") << &zeroFraction << plain << 0.0 << "0 (Box)";
    QTest::newRow("fraction negative") << &negativeFraction << plain << 25.0 << "25 (Box) 325 (Piece)";

    QTest::newRow("square brackets") << &box << brackets(std::nullopt, "[", "]") << 25.0 << "2 [Box] 1 [Piece]";
    QTest::newRow("no brackets") << &box << brackets(std::nullopt, "", "") << 25.0 << "2 Box 1 Piece";
    QTest::newRow("control characters trimmed") << &box << brackets(std::nullopt, "", "\r\n") << 24.0 << "2 Box";
}

void TestOnhandQuantity::quantityText()
{
    QFETCH(const UnitFractionRow *, unit);
    QFETCH(OnhandSettings, settings);
    QFETCH(double, quantity);
    QFETCH(QString, expected);
    QCOMPARE(onhandQuantityText(unit, settings, quantity), expected);
}

void TestOnhandQuantity::quantityTextWithoutRow()
{
    QCOMPARE(onhandQuantityText(nullptr, brackets(), 25), QStringLiteral("25 ERROR"));
    QCOMPARE(onhandQuantityText(nullptr, brackets(), -25), QStringLiteral("25 ERROR"));
    QCOMPARE(onhandQuantityText(nullptr, brackets(), 1234.5), QStringLiteral("1,234.5 ERROR"));
    QCOMPARE(onhandQuantityText(nullptr, brackets(2), 25), QStringLiteral("25.00 ERROR"));
}

void TestOnhandQuantity::lsUnitText_data()
{
    QTest::addColumn<const UnitFractionRow *>("unit");
    QTest::addColumn<int>("part");
    QTest::addColumn<double>("quantity");
    QTest::addColumn<QString>("expected");

    QTest::newRow("large 25") << &box << 1 << 25.0 << "2 Box";
    QTest::newRow("large 5") << &box << 1 << 5.0 << "";
    QTest::newRow("large -25") << &box << 1 << -25.0 << "- 2 Box";
    QTest::newRow("large -5") << &box << 1 << -5.0 << "- ";
    QTest::newRow("large grouped") << &box << 1 << 12000.0 << "1,000 Box";
    QTest::newRow("small 25") << &box << 2 << 25.0 << " 1 Piece";
    QTest::newRow("small 24") << &box << 2 << 24.0 << "";
    QTest::newRow("small 25.5") << &box << 2 << 25.5 << " 1.5 Piece";
    QTest::newRow("small 0.5") << &box << 2 << 0.5 << " .5 Piece";
    QTest::newRow("small -25") << &box << 2 << -25.0 << "-  1 Piece";
    QTest::newRow("small not grouped") << &bigFraction << 2 << 15000.0 << " 5000 Piece";

    QTest::newRow("fraction 1 large") << &single << 1 << 7.0 << "";
    QTest::newRow("fraction 1 large negative") << &single << 1 << -7.0 << "- ";
    QTest::newRow("fraction 1 small") << &single << 2 << 7.0 << "7 Box";
    QTest::newRow("fraction 1 small decimals") << &single << 2 << 7.5 << "7.5 Box";
    QTest::newRow("fraction 1 small zero") << &single << 2 << 0.0 << "0 Box";

    QTest::newRow("fraction 0 large") << &zeroFraction << 1 << 25.5 << "25 Box";
    QTest::newRow("fraction 0 small") << &zeroFraction << 2 << 25.5 << " 25.5 Piece";
    QTest::newRow("fraction negative small") << &negativeFraction << 2 << 25.0 << " 325 Piece";

    QTest::newRow("part 3") << &box << 3 << 25.0 << "25 IDERROR";
    QTest::newRow("part 3 negative has no sign") << &box << 3 << -25.5 << "25.5 IDERROR";
    QTest::newRow("part 0") << &box << 0 << 1234567.125 << "1,234,567.125 IDERROR";
}

void TestOnhandQuantity::lsUnitText()
{
    QFETCH(const UnitFractionRow *, unit);
    QFETCH(int, part);
    QFETCH(double, quantity);
    QFETCH(QString, expected);
    QCOMPARE(onhandQuantityLSUnitText(unit, part, quantity), expected);
}

void TestOnhandQuantity::lsUnitTextErrors()
{
    // No row wins over a wrong part number; neither carries a sign.
    QCOMPARE(onhandQuantityLSUnitText(nullptr, 1, 25), QStringLiteral("25 ERROR"));
    QCOMPARE(onhandQuantityLSUnitText(nullptr, 2, -25), QStringLiteral("25 ERROR"));
    QCOMPARE(onhandQuantityLSUnitText(nullptr, 3, 25), QStringLiteral("25 ERROR"));
    QCOMPARE(onhandQuantityLSUnitText(nullptr, 1, 0), QStringLiteral("0 ERROR"));
}

QTEST_GUILESS_MAIN(TestOnhandQuantity)
#include "tst_onhandquantity.moc"
