#include "platform/core/Exceptions.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/EnterAsTab.h"
#include "platform/ui/FocusExit.h"
#include "platform/ui/MessageBoxDialogService.h"
#include "support/ScriptedDialogService.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>
#include <memory>

using namespace platform;

namespace {

// Calls act with the next modal message box as soon as it is open.
void onNextMessageBox(std::function<void(QMessageBox *)> act)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            if (!box->isVisible() || QApplication::activeWindow() != box)
                return;
            timer->stop();
            timer->deleteLater();
            act(box);
        }
    });
    timer->start();
}

// A window with line edits a, b, c, d in tab order.
struct EditsWindow {
    QWidget window;
    QLineEdit *a, *b, *c, *d;
    EditsWindow()
    {
        auto *layout = new QVBoxLayout(&window);
        for (QLineEdit **edit : {&a, &b, &c, &d}) {
            *edit = new QLineEdit(&window);
            layout->addWidget(*edit);
        }
        a->setObjectName("a");
        b->setObjectName("b");
        c->setObjectName("c");
        d->setObjectName("d");
    }
    bool show()
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
};

} // namespace

class TestFocusExit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firesOnlyForMovesWithinTheWindow()
    {
        EditsWindow w;
        int exits = 0;
        FocusExit::watch(w.a, [&] { ++exits; });
        QVERIFY(w.show());
        w.a->setFocus();
        QCOMPARE(exits, 0);

        QTest::keyClick(w.a, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.b);
        QCOMPARE(exits, 1);

        // Moving between other controls is not leaving a.
        QTest::keyClick(w.b, Qt::Key_Tab);
        QCOMPARE(exits, 1);

        // A mouse click into another control leaves a as well.
        w.a->setFocus();
        QTest::mouseClick(w.d, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), w.d);
        QCOMPARE(exits, 2);

        // Another window taking the focus, and coming back, is not leaving.
        w.a->setFocus();
        QWidget other;
        auto *otherEdit = new QLineEdit(&other);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        otherEdit->setFocus();
        w.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        QCOMPARE(QApplication::focusWidget(), w.a);
        QCOMPARE(exits, 2);
    }

    void aMessageBoxIsNotLeaving()
    {
        MessageBoxDialogService boxes;
        DialogService *previous = DialogService::setInstance(&boxes);
        EditsWindow w;
        int exits = 0;
        FocusExit::watch(w.a, [&] { ++exits; });
        QVERIFY(w.show());
        w.a->setFocus();

        bool boxSeen = false;
        onNextMessageBox([&](QMessageBox *box) {
            boxSeen = true;
            QVERIFY(QApplication::focusWidget() != w.a);
            box->button(QMessageBox::Ok)->click();
        });
        DialogService::instance().showMessage("บันทึกเรียบร้อย");
        QVERIFY(boxSeen);
        QTRY_COMPARE(QApplication::focusWidget(), w.a);
        QCOMPARE(exits, 0);

        QTest::keyClick(w.a, Qt::Key_Tab);
        QCOMPARE(exits, 1);
        DialogService::setInstance(previous);
    }

    void aHandlerShowingAMessageBoxRunsOnce()
    {
        MessageBoxDialogService boxes;
        DialogService *previous = DialogService::setInstance(&boxes);
        EditsWindow w;
        int exitsA = 0;
        int exitsB = 0;
        FocusExit::watch(w.a, [&] {
            ++exitsA;
            onNextMessageBox([](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Return); });
            DialogService::instance().showMessage("ไม่พบสินค้า");
        });
        FocusExit::watch(w.b, [&] { ++exitsB; });
        QVERIFY(w.show());
        w.a->setFocus();

        QTest::keyClick(w.a, Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), w.b);
        // Let any focus traffic of the closed box settle before counting.
        QTest::qWait(20);
        QCOMPARE(exitsA, 1);
        QCOMPARE(exitsB, 0);

        QTest::keyClick(w.b, Qt::Key_Tab);
        QCOMPARE(exitsA, 1);
        QCOMPARE(exitsB, 1);
        DialogService::setInstance(previous);
    }

    void refocusKeepsTheUserInTheControl()
    {
        EditsWindow w;
        QStringList calls;
        FocusExit::watch(w.a, [&] {
            calls << "a1";
            if (w.a->text().size() != 4)
                FocusExit::refocus(w.a);
        });
        FocusExit::watch(w.a, [&] { calls << "a2"; });
        FocusExit::watch(w.b, [&] { calls << "b"; });
        QVERIFY(w.show());
        w.a->setFocus();
        w.a->setText("26");

        QTest::keyClick(w.a, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.a);
        // b had the focus only for a moment: leaving it did not happen; a's later handler did not run.
        QCOMPARE(calls, QStringList({"a1"}));

        w.a->setText("2026");
        QTest::keyClick(w.a, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.b);
        QCOMPARE(calls, QStringList({"a1", "a1", "a2"}));
    }

    void aHandlerMovingTheFocusOnDoesNotFireTheSkippedControl()
    {
        EditsWindow w;
        int exitsB = 0;
        int exitsD = 0;
        FocusExit::watch(w.a, [&] { w.d->setFocus(); });
        FocusExit::watch(w.b, [&] { ++exitsB; });
        FocusExit::watch(w.d, [&] { ++exitsD; });
        QVERIFY(w.show());
        w.a->setFocus();
        QTest::keyClick(w.a, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.d);
        QCOMPARE(exitsB, 0);
        QCOMPARE(exitsD, 0);
        QTest::keyClick(w.d, Qt::Key_Backtab);
        QCOMPARE(exitsD, 1);
    }

    void anExceptionGoesToTheHandlerAndStopsTheMove()
    {
        ScriptedDialogService dialogs;
        EditsWindow w;
        int later = 0;
        FocusExit::watch(w.a, [] { throw EConvertError("'x' is not a valid integer value"); });
        FocusExit::watch(w.a, [&] { ++later; });
        QVERIFY(w.show());
        w.a->setFocus();
        QTest::keyClick(w.a, Qt::Key_Tab);
        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(dialogs.last().kind, DialogService::Kind::Error);
        QCOMPARE(dialogs.last().text, QString("'x' is not a valid integer value"));
        QCOMPARE(later, 0);
        QCOMPARE(QApplication::focusWidget(), w.b);
    }

    // A click on a button that takes the focus from a control refusing its value does not click:
    // the user sees one message for one mistake, and the action never runs on the refused value.
    void aRefusedMoveByClickDoesNotClick()
    {
        ScriptedDialogService dialogs;
        EditsWindow w;
        auto *ok = new QPushButton("OK", &w.window);
        w.window.layout()->addWidget(ok);
        int clicks = 0;
        QObject::connect(ok, &QPushButton::clicked, [&] { ++clicks; });
        FocusExit::watch(w.a, [&] {
            if (w.a->text().isEmpty())
                throw EConvertError("'' is not a valid integer value");
        });
        FocusExit::watch(w.b, [&] {
            if (w.b->text() != "2026")
                FocusExit::refocus(w.b);
        });
        QVERIFY(w.show());

        w.a->setFocus();
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(clicks, 0);
        // The next click, with nothing left to refuse, is an ordinary click.
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(clicks, 1);

        w.b->setFocus();
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), w.b);
        QCOMPARE(clicks, 1);
        QTest::mouseDClick(ok, Qt::LeftButton);
        QCOMPARE(clicks, 1);
        w.b->setText("2026");
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(clicks, 2);
        // A refused move by keyboard leaves later clicks alone.
        w.b->setFocus();
        w.b->clear();
        QTest::keyClick(w.b, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.b);
        QTest::qWait(0);
        w.b->setText("2026");
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(clicks, 3);
        QCOMPARE(dialogs.count(), 1);
    }

    void hiddenOrDisabledIsNotLeaving()
    {
        EditsWindow w;
        int exits = 0;
        FocusExit::watch(w.b, [&] { ++exits; });
        QVERIFY(w.show());
        w.b->setFocus();
        w.b->setEnabled(false);
        QVERIFY(QApplication::focusWidget() != w.b);
        w.b->setEnabled(true);
        w.b->setFocus();
        w.b->hide();
        QVERIFY(QApplication::focusWidget() != w.b);
        QCOMPARE(exits, 0);
    }

    void popupsAndInnerMovesAreNotLeaving()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *combo = new QComboBox(&window);
        combo->addItems({"one", "two", "three"});
        auto *group = new QWidget(&window);
        auto *inner1 = new QLineEdit(group);
        auto *inner2 = new QLineEdit(group);
        auto *groupLayout = new QVBoxLayout(group);
        groupLayout->addWidget(inner1);
        groupLayout->addWidget(inner2);
        auto *after = new QLineEdit(&window);
        layout->addWidget(combo);
        layout->addWidget(group);
        layout->addWidget(after);
        int comboExits = 0;
        int groupExits = 0;
        FocusExit::watch(combo, [&] { ++comboExits; });
        FocusExit::watch(group, [&] { ++groupExits; });
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        combo->setFocus();
        combo->showPopup();
        QTRY_VERIFY(combo->view()->isVisible());
        QTest::keyClick(combo->view(), Qt::Key_Down);
        QTest::keyClick(combo->view(), Qt::Key_Return);
        QTRY_VERIFY(!combo->view()->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), combo);
        QCOMPARE(combo->currentIndex(), 1);
        QCOMPARE(comboExits, 0);

        QTest::keyClick(combo, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), inner1);
        QCOMPARE(comboExits, 1);
        QTest::keyClick(inner1, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), inner2);
        QCOMPARE(groupExits, 0);
        QTest::keyClick(inner2, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), after);
        QCOMPARE(groupExits, 1);
    }
};

class TestEnterAsTab : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void skipsWhatIsNotATabStopAndWraps()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *first = new QLineEdit(&window);
        auto *hidden = new QLineEdit(&window);
        auto *disabled = new QLineEdit(&window);
        auto *label = new QLabel("สาขา", &window);
        auto *date = new QDateEdit(&window);
        auto *clickOnly = new QLineEdit(&window);
        auto *last = new QLineEdit(&window);
        for (QWidget *child : std::initializer_list<QWidget *>{first, hidden, disabled, label, date, clickOnly, last})
            layout->addWidget(child);
        hidden->hide();
        disabled->setEnabled(false);
        clickOnly->setFocusPolicy(Qt::ClickFocus);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        first->setFocus();
        QVERIFY(EnterAsTab::focusNext(&window));
        QCOMPARE(QApplication::focusWidget(), date);
        QVERIFY(EnterAsTab::focusNext(&window));
        QCOMPARE(QApplication::focusWidget(), last);
        QVERIFY(EnterAsTab::focusNext(&window));
        QCOMPARE(QApplication::focusWidget(), first);

        // A control made available again is a tab stop again.
        hidden->show();
        QCOMPARE(EnterAsTab::nextTabStop(&window, first), hidden);
        // The tab order set by the screen is the order followed.
        QWidget::setTabOrder(first, last);
        QCOMPARE(EnterAsTab::nextTabStop(&window, first), last);
    }

    void aWindowWithoutTabStops()
    {
        QWidget window;
        auto *label = new QLabel("x", &window);
        Q_UNUSED(label);
        window.show();
        QCOMPARE(EnterAsTab::nextTabStop(&window, nullptr), nullptr);
        QVERIFY(!EnterAsTab::focusNext(&window));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int status = 0;
    {
        TestFocusExit t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestEnterAsTab t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}

#include "tst_focusexit.moc"
