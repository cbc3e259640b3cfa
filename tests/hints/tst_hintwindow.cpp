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

    void defaultsFollowTheTable();
    void baseFormSettings();
    void activeSwitchesTheApplicationHintWindow();
    void tooltipBecomesBalloon();
    void noSettingsComponentGivesStandardTooltip();
    void inactiveGivesStandardTooltip();
    void onShowHintCanSuppress();
    void onShowHintCanAskForStandardLook();
    void switchingOffInsideOnShowHint();
    void disabledControlIsHinted();
    void itemViewHintComesFromItem();
    void snapshotIsTheScreenUnderTheBalloon();
    void balloonAvoidsScreenEdges();
    void keyPressAndMouseLeavingHide();
    void settingChangesRepaintLiveBalloon();
    void maxWidthNarrowsBalloon();
    void activeWindowServesWithoutRegistration();
};

namespace {

// A form with one button that has a hint, carrying its own settings component.
struct Form
{
    QWidget window;
    QPushButton *button = nullptr;
    TFormHints *hints = nullptr;

    explicit Form(bool withHints = true)
    {
        window.setGeometry(100, 100, 320, 200);
        button = new QPushButton(QStringLiteral("บันทึก"), &window);
        button->setGeometry(20, 20, 100, 30);
        button->setToolTip(QStringLiteral("บันทึกรายการฝากขาย"));
        if (withHints)
            hints = new TFormHints(&window);
        window.show();
    }
};

bool sendToolTip(QWidget *widget, const QPoint &local, const QPoint &global)
{
    QHelpEvent event(QEvent::ToolTip, local, global);
    QApplication::sendEvent(widget, &event);
    return event.isAccepted();
}

bool sendToolTip(QWidget *widget, const QPoint &local)
{
    return sendToolTip(widget, local, widget->mapToGlobal(local));
}

bool balloonVisible()
{
    return TFormHints::hintWindow() && TFormHints::hintWindow()->isVisible();
}

} // namespace

void TestHintWindow::init()
{
    QVERIFY(!TFormHints::hintWindow());
}

void TestHintWindow::cleanup()
{
    TFormHints::setMainWindow(nullptr);
    QToolTip::hideText();
    QTRY_VERIFY_WITH_TIMEOUT(!QToolTip::isVisible(), 10000);
}

void TestHintWindow::defaultsFollowTheTable()
{
    QObject owner;
    auto *hints = new TFormHints(&owner);
    QCOMPARE(hints->Active(), true);
    QCOMPARE(hints->BiDiMode(), bdLeftToRight);
    QCOMPARE(hints->ColorBackground(),
             QToolTip::palette().color(QPalette::Inactive, QPalette::ToolTipBase));
    QCOMPARE(hints->ColorBorder(), QColor(0, 0, 0));
    QCOMPARE(hints->ColorShadow(), QColor(128, 128, 128));
    QCOMPARE(hints->Direction(), dUpRight);
    QCOMPARE(hints->FontColor(),
             QToolTip::palette().color(QPalette::Inactive, QPalette::ToolTipText));
    QCOMPARE(hints->MaxWidth(), quint16(0));
    QCOMPARE(hints->Rounded(), true);
    QCOMPARE(hints->RoundRadius(), quint16(18));
    QCOMPARE(hints->ShowArrow(), true);
    QCOMPARE(hints->ShowShadow(), true);
    QCOMPARE(hints->TextAlignment(), taNone);
    QCOMPARE(hints->Transparent(), false);
    QCOMPARE(hints->TransparencyRate(), quint8(30));
    QVERIFY(!hints->OnShowHint());

    // Published in the documented order.
    QStringList names;
    const QMetaObject *meta = hints->metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
        names << QString::fromLatin1(meta->property(i).name());
    QCOMPARE(names, QStringList({"Active", "BiDiMode", "ColorBackground", "ColorBorder",
                                 "ColorShadow", "Direction", "Font", "FontColor", "MaxWidth",
                                 "Rounded", "RoundRadius", "ShowArrow", "ShowShadow",
                                 "TextAlignment", "Transparent", "TransparencyRate"}));
    QVERIFY(hints->setProperty("Direction", QVariant::fromValue(dDownLeft)));
    QCOMPARE(hints->Direction(), dDownLeft);
}

void TestHintWindow::baseFormSettings()
{
    QWidget form;
    TFormHints *hints = TFormHints::createForBaseForm(&form);
    QCOMPARE(hints->parent(), &form);
    QCOMPARE(hints->objectName(), QStringLiteral("FormHints1"));
    QCOMPARE(hints->TextAlignment(), taCenter);
    QCOMPARE(hints->TransparencyRate(), quint8(20));
    QCOMPARE(hints->Font().pixelSize(), 11);
    QCOMPARE(hints->Font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(hints->Transparent(), false);
    QCOMPARE(hints->Direction(), dUpRight);
    QCOMPARE(hints->Active(), true);
    QVERIFY(TFormHints::hintWindow());
}

void TestHintWindow::activeSwitchesTheApplicationHintWindow()
{
    Form form(false);
    TFormHints::setMainWindow(&form.window);
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    const QPoint inButton(10, 10);

    auto *hints = new TFormHints(&form.window);
    QVERIFY(TFormHints::hintWindow());
    QVERIFY(sendToolTip(form.button, inButton));
    QVERIFY(balloonVisible());
    QVERIFY(!QToolTip::isVisible());

    hints->setActive(false);
    QVERIFY(!TFormHints::hintWindow());
    QVERIFY(sendToolTip(form.button, inButton));
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), form.button->toolTip());

    hints->setActive(true);
    QVERIFY(TFormHints::hintWindow());

    // A second component shares the switch; the balloons end with the last component.
    QObject other;
    auto *second = new TFormHints(&other);
    delete second;
    QVERIFY(TFormHints::hintWindow());
    delete hints;
    QVERIFY(!TFormHints::hintWindow());
}

void TestHintWindow::tooltipBecomesBalloon()
{
    Form form;
    TFormHints::setMainWindow(&form.window);
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));

    const QPoint cursor = form.button->mapToGlobal(QPoint(30, 15));
    QVERIFY(sendToolTip(form.button, QPoint(30, 15), cursor));
    TfhHintWindow *balloon = TFormHints::hintWindow();
    QVERIFY(balloon->isVisible());
    QVERIFY(!QToolTip::isVisible());
    QCOMPARE(balloon->settings(), form.hints);
    QCOMPARE(balloon->hintControl(), form.button);
    QCOMPARE(balloon->hintText(), form.button->toolTip());
    QVERIFY(!balloon->standardLook());
    // Up-right beside the cursor: the arrow's tip two pixels above it.
    QCOMPARE(balloon->direction(), dUpRight);
    QCOMPARE(balloon->geometry().bottomLeft() + QPoint(0, 1), cursor - QPoint(0, 2));
    QCOMPARE(balloon->composedImage().size(), balloon->size());
    QCOMPARE(balloon->backgroundImage().size(), balloon->size());
    // The balloon never takes the focus or the activation.
    QVERIFY(!balloon->isActiveWindow());
    QVERIFY(balloon->windowFlags().testFlag(Qt::ToolTip));
}

void TestHintWindow::noSettingsComponentGivesStandardTooltip()
{
    // Balloons are switched on by a component elsewhere, but the main window has none.
    QWidget elsewhere;
    new TFormHints(&elsewhere);
    Form form(false);
    TFormHints::setMainWindow(&form.window);
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));

    sendToolTip(form.button, QPoint(10, 10));
    QVERIFY(!balloonVisible());
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), form.button->toolTip());
    QVERIFY(!TFormHints::hintWindow()->settings());

    // Registering a main window that has one is noticed at the next hint.
    TFormHints::setMainWindow(&elsewhere);
    QVERIFY(TFormHints::hintWindow()->settings());
}

void TestHintWindow::inactiveGivesStandardTooltip()
{
    Form form;
    TFormHints::setMainWindow(&form.window);
    form.hints->setActive(false);
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    sendToolTip(form.button, QPoint(10, 10));
    QVERIFY(QToolTip::isVisible());
    QVERIFY(!TFormHints::hintWindow());
}

void TestHintWindow::onShowHintCanSuppress()
{
    Form form;
    TFormHints::setMainWindow(&form.window);
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    int calls = 0;
    form.hints->setOnShowHint([&](TfhHintWindow *sender, QWidget *control, const QString &hint,
                                  bool &allow, bool &standard) {
        ++calls;
        QCOMPARE(sender, TFormHints::hintWindow());
        QCOMPARE(control, form.button);
        QCOMPARE(hint, form.button->toolTip());
        QVERIFY(allow);
        QVERIFY(!standard);
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
    TFormHints::setMainWindow(&form.window);
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    form.hints->setOnShowHint(
        [](TfhHintWindow *, QWidget *, const QString &, bool &, bool &standard) { standard = true; });
    QVERIFY(sendToolTip(form.button, QPoint(10, 10)));
    QVERIFY(!balloonVisible());
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), form.button->toolTip());
    QVERIFY(TFormHints::hintWindow()->standardLook());

    // The flag is read again for every hint.
    form.hints->setOnShowHint({});
    QVERIFY(sendToolTip(form.button, QPoint(10, 10)));
    QVERIFY(balloonVisible());
    QVERIFY(!TFormHints::hintWindow()->standardLook());
}

void TestHintWindow::switchingOffInsideOnShowHint()
{
    Form form;
    TFormHints::setMainWindow(&form.window);
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    TFormHints *hints = form.hints;
    hints->setOnShowHint(
        [hints](TfhHintWindow *, QWidget *, const QString &, bool &, bool &) { hints->setActive(false); });
    QVERIFY(sendToolTip(form.button, QPoint(10, 10)));
    QVERIFY(!TFormHints::hintWindow());
    QVERIFY(!QToolTip::isVisible());
    // The retired window goes with the event loop; later hints are standard ones.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    sendToolTip(form.button, QPoint(10, 10));
    QVERIFY(QToolTip::isVisible());
}

void TestHintWindow::disabledControlIsHinted()
{
    Form form;
    TFormHints::setMainWindow(&form.window);
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    form.button->setEnabled(false);
    QWidget *seen = nullptr;
    form.hints->setOnShowHint([&](TfhHintWindow *, QWidget *control, const QString &, bool &,
                                  bool &) { seen = control; });
    // Qt hands tooltip events of a disabled widget to its parent.
    QVERIFY(sendToolTip(&form.window, QPoint(30, 30)));
    QCOMPARE(seen, form.button);
    QVERIFY(balloonVisible());
    QCOMPARE(TFormHints::hintWindow()->hintText(), form.button->toolTip());

    // Elsewhere on the form there is no hint: Qt's own handling goes on.
    TFormHints::hintWindow()->hideHint();
    QVERIFY(!sendToolTip(&form.window, QPoint(250, 150)));
    QVERIFY(!balloonVisible());
}

void TestHintWindow::itemViewHintComesFromItem()
{
    Form form;
    TFormHints::setMainWindow(&form.window);
    auto *list = new QListWidget(&form.window);
    list->setGeometry(150, 20, 150, 150);
    list->addItem(QStringLiteral("ไม่มีคำแนะนำ"));
    auto *item = new QListWidgetItem(QStringLiteral("สินค้า A"), list);
    item->setToolTip(QStringLiteral("สินค้า A คงเหลือ 12 ชิ้น"));
    list->setToolTip(QStringLiteral("รายการสินค้า"));
    list->show();
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));

    const QPoint onItem = list->visualItemRect(item).center();
    QVERIFY(sendToolTip(list->viewport(), onItem));
    QVERIFY(balloonVisible());
    QCOMPARE(TFormHints::hintWindow()->hintText(), item->toolTip());
    QCOMPARE(TFormHints::hintWindow()->hintControl(), list);

    // An item without a hint falls back to the list's own.
    const QPoint onPlainItem = list->visualItemRect(list->item(0)).center();
    sendToolTip(list->viewport(), onPlainItem);
    QCOMPARE(TFormHints::hintWindow()->hintText(), list->toolTip());
}

void TestHintWindow::snapshotIsTheScreenUnderTheBalloon()
{
    Form form;
    TFormHints::setMainWindow(&form.window);
    QPalette palette = form.window.palette();
    palette.setColor(QPalette::Window, QColor(10, 120, 30));
    form.window.setPalette(palette);
    form.window.setAutoFillBackground(true);
    form.window.update();
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    QCoreApplication::processEvents();

    // The balloon opens up-right of the cursor, over an empty part of the form.
    const QPoint cursor = form.window.mapToGlobal(QPoint(100, 150));
    sendToolTip(form.button, QPoint(10, 10), cursor);
    TfhHintWindow *balloon = TFormHints::hintWindow();
    QVERIFY(balloon->isVisible());
    QVERIFY(form.window.geometry().contains(balloon->geometry()));
    const QImage under = balloon->backgroundImage();
    if (under.pixel(under.width() / 2, under.height() / 2) != qRgb(10, 120, 30))
        QSKIP("the platform does not read the screen back");
    QCOMPARE(under.pixel(0, 0), qRgb(10, 120, 30));
    QCOMPARE(under.pixel(under.width() - 1, under.height() - 1), qRgb(10, 120, 30));
    // The rounded box leaves its corner pixel to the screen.
    QCOMPARE(balloon->composedImage().pixel(0, 0), qRgb(10, 120, 30));
}

void TestHintWindow::balloonAvoidsScreenEdges()
{
    Form form;
    TFormHints::setMainWindow(&form.window);
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    const QRect screen = form.window.screen()->geometry();
    TfhHintWindow *balloon = TFormHints::hintWindow();

    // Near the right edge: to the left of the cursor, the arrow at its bottom right.
    const QPoint right(screen.right() - 5, screen.center().y());
    sendToolTip(form.button, QPoint(10, 10), right);
    QVERIFY(balloon->isVisible());
    QCOMPARE(balloon->direction(), dUpLeft);
    QCOMPARE(balloon->geometry().right(), right.x() + 5);
    QVERIFY(screen.contains(balloon->geometry()));

    // Near the top edge: below the cursor, the arrow at its top left.
    balloon->hideHint();
    const QPoint top(screen.left() + 50, screen.top() + 5);
    sendToolTip(form.button, QPoint(10, 10), top);
    QCOMPARE(balloon->direction(), dDownRight);
    QCOMPARE(balloon->geometry().topLeft(), top + QPoint(0, 6));

    // Larger than the screen: it still shows, inside the screen's top-left.
    form.button->setToolTip(QStringLiteral("WWWW ").repeated(80));
    form.hints->setFont([] { QFont f; f.setPixelSize(40); return f; }());
    balloon->hideHint();
    sendToolTip(form.button, QPoint(10, 10), screen.center());
    QVERIFY(balloon->isVisible());
    QVERIFY(balloon->height() > screen.height());
    QCOMPARE(balloon->geometry().topLeft().y(), screen.top());
}

void TestHintWindow::keyPressAndMouseLeavingHide()
{
    Form form;
    TFormHints::setMainWindow(&form.window);
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));

    sendToolTip(form.button, QPoint(10, 10));
    QVERIFY(balloonVisible());
    QTest::keyClick(form.button, Qt::Key_A);
    QVERIFY(!balloonVisible());

    sendToolTip(form.button, QPoint(10, 10));
    QVERIFY(balloonVisible());
    QTest::mouseMove(form.button, QPoint(50, 15)); // still on the button
    QVERIFY(balloonVisible());
    QTest::mouseMove(&form.window, QPoint(250, 150));
    QVERIFY(!balloonVisible());
}

void TestHintWindow::settingChangesRepaintLiveBalloon()
{
    Form form;
    TFormHints::setMainWindow(&form.window);
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    sendToolTip(form.button, QPoint(10, 10));
    TfhHintWindow *balloon = TFormHints::hintWindow();
    const QImage before = balloon->composedImage();
    const QRect geometry = balloon->geometry();

    QFont font = form.hints->Font();
    font.setBold(true);
    font.setPixelSize(font.pixelSize() > 0 ? font.pixelSize() + 3 : 16);
    form.hints->setFont(font);
    QVERIFY(balloon->isVisible());
    QVERIFY(balloon->composedImage() != before);
    QCOMPARE(balloon->geometry(), geometry);
}

void TestHintWindow::maxWidthNarrowsBalloon()
{
    Form form;
    TFormHints::setMainWindow(&form.window);
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    form.button->setToolTip(QStringLiteral("ยอดคงเหลือของสินค้าฝากขายทั้งหมด ณ สิ้นงวดของสาขานี้"));
    sendToolTip(form.button, QPoint(10, 10));
    TfhHintWindow *balloon = TFormHints::hintWindow();
    const QSize wide = balloon->size();

    form.hints->setMaxWidth(80);
    balloon->hideHint();
    sendToolTip(form.button, QPoint(10, 10));
    QVERIFY(balloon->isVisible());
    QVERIFY(balloon->width() <= 80 + 6 + 16);
    QVERIFY(balloon->width() < wide.width());
    QVERIFY(balloon->height() > wide.height());
}

void TestHintWindow::activeWindowServesWithoutRegistration()
{
    Form form;
    form.window.activateWindow();
    if (!QTest::qWaitForWindowActive(&form.window))
        QSKIP("the platform does not activate windows");
    QVERIFY(sendToolTip(form.button, QPoint(10, 10)));
    QVERIFY(balloonVisible());
    QCOMPARE(TFormHints::hintWindow()->settings(), form.hints);
}

QTEST_MAIN(TestHintWindow)
#include "tst_hintwindow.moc"
