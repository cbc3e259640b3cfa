#include "hints/FormHints.h"
#include "hints/HintWindow.h"

#include <QApplication>
#include <QHelpEvent>
#include <QListWidget>
#include <QMetaProperty>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolTip>

// The balloon window driven through real widgets on the offscreen platform: tooltip events
// are sent to widgets and the test checks which window (balloon or standard tooltip) shows.
class TestHintWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void defaultsAndBaseFormSettings();
    void activeSwitchesTheApplicationHintWindow();
    void tooltipBecomesBalloon();
    void noSettingsComponentGivesStandardTooltip();
    void onShowHintCanSuppress();
    void onShowHintCanAskForStandardLook();
    void switchingOffInsideOnShowHint();
    void hintsOfDisabledControlsAndItems();
    void snapshotIsTheScreenUnderTheBalloon();
    void balloonAvoidsScreenEdges();
    void keyPressAndMouseLeavingHide();
    void settingChangesApplyToLiveBalloon();
    void activeWindowServesWithoutRegistration();
};

namespace {

// A form with one button that has a hint, carrying its own settings component.
struct Form {
    QWidget window;
    QPushButton *button = nullptr;
    TFormHints *hints = nullptr;

    explicit Form(bool withHints = true, bool registered = true)
    {
        window.setGeometry(100, 100, 320, 200);
        button = new QPushButton(QStringLiteral("บันทึก"), &window);
        button->setGeometry(20, 20, 100, 30);
        button->setToolTip(QStringLiteral("บันทึกรายการฝากขาย"));
        if (withHints)
            hints = new TFormHints(&window);
        if (registered)
            TFormHints::setMainWindow(&window);
        window.show();
    }
};

bool sendToolTip(QWidget *widget, const QPoint &local, QPoint global = QPoint(-1, -1))
{
    QHelpEvent event(QEvent::ToolTip, local, global == QPoint(-1, -1) ? widget->mapToGlobal(local) : global);
    QApplication::sendEvent(widget, &event);
    return event.isAccepted();
}

TfhHintWindow *balloon()
{
    return TFormHints::hintWindow();
}

bool balloonVisible()
{
    return balloon() && balloon()->isVisible();
}

} // namespace

void TestHintWindow::init()
{
    QVERIFY(!balloon());
}

void TestHintWindow::cleanup()
{
    TFormHints::setMainWindow(nullptr);
    QToolTip::hideText();
    QTRY_VERIFY_WITH_TIMEOUT(!QToolTip::isVisible(), 10000);
}

void TestHintWindow::defaultsAndBaseFormSettings()
{
    QWidget form;
    auto *hints = new TFormHints(&form);
    const QPalette tip = QToolTip::palette();
    QCOMPARE(hints->Active(), true);
    QCOMPARE(hints->BiDiMode(), bdLeftToRight);
    QCOMPARE(hints->ColorBackground(), tip.color(QPalette::Inactive, QPalette::ToolTipBase));
    QCOMPARE(hints->ColorBorder(), QColor(0, 0, 0));
    QCOMPARE(hints->ColorShadow(), QColor(128, 128, 128));
    QCOMPARE(hints->Direction(), dUpRight);
    QCOMPARE(hints->FontColor(), tip.color(QPalette::Inactive, QPalette::ToolTipText));
    QCOMPARE(hints->MaxWidth(), quint16(0));
    QVERIFY(hints->Rounded() && hints->ShowArrow() && hints->ShowShadow() && !hints->Transparent());
    QCOMPARE(hints->RoundRadius(), quint16(18));
    QCOMPARE(hints->TextAlignment(), taNone);
    QCOMPARE(hints->TransparencyRate(), quint8(30));
    QVERIFY(!hints->OnShowHint());
    // Published in this order, and reachable through the property system.
    QStringList names;
    for (int i = hints->metaObject()->propertyOffset(); i < hints->metaObject()->propertyCount(); ++i)
        names << QString::fromLatin1(hints->metaObject()->property(i).name());
    QCOMPARE(names,
             QStringList({"Active", "BiDiMode", "ColorBackground", "ColorBorder", "ColorShadow", "Direction", "Font", "FontColor",
                          "MaxWidth", "Rounded", "RoundRadius", "ShowArrow", "ShowShadow", "TextAlignment", "Transparent",
                          "TransparencyRate"}));
    QVERIFY(hints->setProperty("Direction", QVariant::fromValue(dDownLeft)));
    QCOMPARE(hints->Direction(), dDownLeft);

    TFormHints *base = TFormHints::createForBaseForm(&form);
    QCOMPARE(base->parent(), &form);
    QCOMPARE(base->objectName(), QStringLiteral("FormHints1"));
    QCOMPARE(base->TextAlignment(), taCenter);
    QCOMPARE(base->TransparencyRate(), quint8(20));
    QCOMPARE(base->Font().pixelSize(), 11);
    QCOMPARE(base->Font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(base->Direction(), dUpRight);
}

void TestHintWindow::activeSwitchesTheApplicationHintWindow()
{
    Form form(false);
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    auto *hints = new TFormHints(&form.window);
    QVERIFY(balloon());
    QVERIFY(sendToolTip(form.button, QPoint(10, 10)));
    QVERIFY(balloonVisible());
    QVERIFY(!QToolTip::isVisible());

    hints->setActive(false);
    QVERIFY(!balloon());
    QVERIFY(sendToolTip(form.button, QPoint(10, 10)));
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), form.button->toolTip());

    hints->setActive(true);
    QVERIFY(balloon());
    // A second component shares the switch; the balloons end with the last component.
    delete new TFormHints(&form.window);
    QVERIFY(balloon());
    delete hints;
    QVERIFY(!balloon());
}

void TestHintWindow::tooltipBecomesBalloon()
{
    Form form;
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    const QPoint cursor = form.button->mapToGlobal(QPoint(30, 15));
    QVERIFY(sendToolTip(form.button, QPoint(30, 15)));
    QVERIFY(balloonVisible());
    QVERIFY(!QToolTip::isVisible());
    QCOMPARE(balloon()->settings(), form.hints);
    QCOMPARE(balloon()->hintControl(), form.button);
    QCOMPARE(balloon()->hintText(), form.button->toolTip());
    QVERIFY(!balloon()->standardLook());
    // Up-right of the cursor, the arrow's tip two pixels above it.
    QCOMPARE(balloon()->direction(), dUpRight);
    QCOMPARE(balloon()->geometry().bottomLeft(), cursor - QPoint(0, 3));
    QCOMPARE(balloon()->composedImage().size(), balloon()->size());
    QVERIFY(!balloon()->isActiveWindow());
}

void TestHintWindow::noSettingsComponentGivesStandardTooltip()
{
    // Balloons are switched on by a component elsewhere, but the main window has none.
    QWidget elsewhere;
    new TFormHints(&elsewhere);
    Form form(false);
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    sendToolTip(form.button, QPoint(10, 10));
    QVERIFY(!balloonVisible());
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), form.button->toolTip());
    QVERIFY(!balloon()->settings());
    // Registering a main window that has one is noticed.
    TFormHints::setMainWindow(&elsewhere);
    QVERIFY(balloon()->settings());
}

void TestHintWindow::onShowHintCanSuppress()
{
    Form form;
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    int calls = 0;
    form.hints->setOnShowHint([&](TfhHintWindow *sender, QWidget *control, const QString &hint, bool &allow, bool &standard) {
        ++calls;
        QCOMPARE(sender, balloon());
        QCOMPARE(control, form.button);
        QCOMPARE(hint, form.button->toolTip());
        QVERIFY(allow && !standard);
        allow = false;
    });
    QVERIFY(sendToolTip(form.button, QPoint(10, 10)));
    QCOMPARE(calls, 1);
    QVERIFY(!balloonVisible());
    QVERIFY(!QToolTip::isVisible());
}

void TestHintWindow::onShowHintCanAskForStandardLook()
{
    Form form;
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    form.hints->setOnShowHint([](TfhHintWindow *, QWidget *, const QString &, bool &, bool &standard) { standard = true; });
    QVERIFY(sendToolTip(form.button, QPoint(10, 10)));
    QVERIFY(!balloonVisible());
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), form.button->toolTip());
    QVERIFY(balloon()->standardLook());
    // The flag is asked again for every hint.
    form.hints->setOnShowHint({});
    QVERIFY(sendToolTip(form.button, QPoint(10, 10)));
    QVERIFY(balloonVisible());
    QVERIFY(!balloon()->standardLook());
}

void TestHintWindow::switchingOffInsideOnShowHint()
{
    Form form;
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    TFormHints *hints = form.hints;
    hints->setOnShowHint([hints](TfhHintWindow *, QWidget *, const QString &, bool &, bool &) { hints->setActive(false); });
    QVERIFY(sendToolTip(form.button, QPoint(10, 10)));
    QVERIFY(!balloon());
    QVERIFY(!QToolTip::isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    sendToolTip(form.button, QPoint(10, 10));
    QVERIFY(QToolTip::isVisible());
}

void TestHintWindow::hintsOfDisabledControlsAndItems()
{
    Form form;
    form.button->setEnabled(false);
    auto *list = new QListWidget(&form.window);
    list->setGeometry(150, 20, 150, 150);
    list->setToolTip(QStringLiteral("รายการสินค้า"));
    list->addItem(QStringLiteral("ไม่มีคำแนะนำ"));
    auto *item = new QListWidgetItem(QStringLiteral("สินค้า A"), list);
    item->setToolTip(QStringLiteral("สินค้า A คงเหลือ 12 ชิ้น"));
    list->show();
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));

    // Qt hands tooltip events of a disabled widget to its parent; the disabled button's hint
    // still shows, and OnShowHint is told about the button.
    QWidget *seen = nullptr;
    form.hints->setOnShowHint([&](TfhHintWindow *, QWidget *control, const QString &, bool &, bool &) { seen = control; });
    QVERIFY(sendToolTip(&form.window, QPoint(30, 30)));
    QCOMPARE(seen, form.button);
    QVERIFY(balloonVisible());
    // Elsewhere on the form there is no hint: Qt's own handling goes on.
    balloon()->hideHint();
    QVERIFY(!sendToolTip(&form.window, QPoint(130, 180)));
    QVERIFY(!balloonVisible());

    // An item view's item, and the view's own hint for an item without one.
    QVERIFY(sendToolTip(list->viewport(), list->visualItemRect(item).center()));
    QCOMPARE(balloon()->hintText(), item->toolTip());
    QCOMPARE(balloon()->hintControl(), list);
    sendToolTip(list->viewport(), list->visualItemRect(list->item(0)).center());
    QCOMPARE(balloon()->hintText(), list->toolTip());
}

void TestHintWindow::snapshotIsTheScreenUnderTheBalloon()
{
    Form form;
    QPalette palette = form.window.palette();
    palette.setColor(QPalette::Window, QColor(10, 120, 30));
    form.window.setPalette(palette);
    form.window.setAutoFillBackground(true);
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    QCoreApplication::processEvents();

    // Up-right of the cursor lies an empty part of the form.
    sendToolTip(form.button, QPoint(10, 10), form.window.mapToGlobal(QPoint(100, 150)));
    QVERIFY(form.window.geometry().contains(balloon()->geometry()));
    const QImage under = balloon()->backgroundImage();
    QCOMPARE(under.size(), balloon()->size());
    if (under.pixel(under.width() / 2, under.height() / 2) != qRgb(10, 120, 30))
        QSKIP("the platform does not read the screen back");
    QCOMPARE(under.pixel(0, 0), qRgb(10, 120, 30));
    QCOMPARE(under.pixel(under.width() - 1, under.height() - 1), qRgb(10, 120, 30));
    // The rounded box leaves its corner pixel to the screen.
    QCOMPARE(balloon()->composedImage().pixel(0, 0), qRgb(10, 120, 30));
}

void TestHintWindow::balloonAvoidsScreenEdges()
{
    Form form;
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    const QRect screen = form.window.screen()->geometry();

    // Near the right edge: left of the cursor, the arrow at its bottom right.
    const QPoint right(screen.right() - 5, screen.center().y());
    sendToolTip(form.button, QPoint(10, 10), right);
    QCOMPARE(balloon()->direction(), dUpLeft);
    QCOMPARE(balloon()->geometry().right(), right.x() + 5);
    QVERIFY(screen.contains(balloon()->geometry()));

    // Near the top edge: below the cursor, the arrow at its top left.
    balloon()->hideHint();
    const QPoint top(screen.left() + 50, screen.top() + 5);
    sendToolTip(form.button, QPoint(10, 10), top);
    QCOMPARE(balloon()->direction(), dDownRight);
    QCOMPARE(balloon()->geometry().topLeft(), top + QPoint(0, 6));

    // MaxWidth wraps the text into a narrower, higher balloon.
    const QSize wide = balloon()->size();
    form.hints->setMaxWidth(60);
    balloon()->hideHint();
    sendToolTip(form.button, QPoint(10, 10), top);
    QVERIFY(balloon()->width() <= 60 + 6 + 16 && balloon()->width() < wide.width());
    QVERIFY(balloon()->height() > wide.height());

    // Higher than the screen: it still shows, from the top of the screen.
    form.hints->setMaxWidth(0);
    form.button->setToolTip(QStringLiteral("WWWW ").repeated(80));
    QFont big;
    big.setPixelSize(40);
    form.hints->setFont(big);
    balloon()->hideHint();
    sendToolTip(form.button, QPoint(10, 10), screen.center());
    QVERIFY(balloonVisible());
    QVERIFY(balloon()->height() > screen.height());
    QCOMPARE(balloon()->geometry().top(), screen.top());
}

void TestHintWindow::keyPressAndMouseLeavingHide()
{
    Form form;
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    sendToolTip(form.button, QPoint(10, 10));
    QVERIFY(balloonVisible());
    QTest::keyClick(form.button, Qt::Key_A);
    QVERIFY(!balloonVisible());

    sendToolTip(form.button, QPoint(10, 10));
    QTest::mouseMove(form.button, QPoint(50, 15)); // still on the button
    QVERIFY(balloonVisible());
    QTest::mouseMove(&form.window, QPoint(250, 150));
    QVERIFY(!balloonVisible());
}

void TestHintWindow::settingChangesApplyToLiveBalloon()
{
    Form form;
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    sendToolTip(form.button, QPoint(10, 10));
    const QImage before = balloon()->composedImage();
    const QRect geometry = balloon()->geometry();
    QFont font = form.hints->Font();
    font.setBold(true);
    font.setPixelSize(18);
    form.hints->setFont(font);
    QVERIFY(balloonVisible());
    QVERIFY(balloon()->composedImage() != before);
    QCOMPARE(balloon()->geometry(), geometry);
}

void TestHintWindow::activeWindowServesWithoutRegistration()
{
    Form form(true, false);
    form.window.activateWindow();
    if (!QTest::qWaitForWindowActive(&form.window))
        QSKIP("the platform does not activate windows");
    QVERIFY(sendToolTip(form.button, QPoint(10, 10)));
    QVERIFY(balloonVisible());
    QCOMPARE(balloon()->settings(), form.hints);
}

QTEST_MAIN(TestHintWindow)
#include "tst_hintwindow.moc"
