#include "data/LaunchContext.h"
#include "forms/Fr_Form.h"
#include "hints/FormHints.h"
#include "hints/HintWindow.h"
#include "platform/core/Exceptions.h"

#include "platform/ui/ApplicationTitle.h"
#include "platform/ui/MessageBoxDialogService.h"
#include "platform/ui/TarvoApplication.h"
#include "support/ScriptedDialogService.h"
#include <QHelpEvent>
#include <QToolTip>

#include <QAction>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>
#include <functional>

using namespace platform;

namespace {

// A screen built on the base form the way the program's screens are: its own controls, its
// own show and new steps after the base ones, handlers for the actions it uses.
class TestScreen : public TFrForm
{
public:
    QLineEdit *EdFirst, *EdHidden, *EdDisabled, *EdSecond, *EdLast;
    QLabel *LbNote;
    QPushButton *BtOk;
    int shows = 0, news = 0, saves = 0, deletes = 0, histories = 0, prints = 0;

    TestScreen()
    {
        setWindowTitle("Tarvo ฝากขาย");
        auto *layout = new QVBoxLayout(clientArea());
        EdFirst = new QLineEdit(clientArea());
        EdHidden = new QLineEdit(clientArea());
        EdDisabled = new QLineEdit(clientArea());
        LbNote = new QLabel("จำนวน :", clientArea());
        BtOk = new QPushButton("ตกลง", clientArea());
        BtOk->setAutoDefault(true);
        BtOk->setDefault(true);
        EdSecond = new QLineEdit(clientArea());
        EdLast = new QLineEdit(clientArea());
        for (QWidget *w : std::initializer_list<QWidget *>{EdFirst, EdHidden, EdDisabled, LbNote, BtOk, EdSecond, EdLast})
            layout->addWidget(w);
        EdHidden->hide();
        EdDisabled->setEnabled(false);
    }

    void FormShow() override
    {
        TFrForm::FormShow();
        ++shows;
        BPrint->setVisible(true);
        EdFirst->setFocus();
    }
    void AcNewExecute() override
    {
        TFrForm::AcNewExecute();
        ++news;
    }
    void AcSaveExecute() override
    {
        ++saves;
        if (EdFirst->text() == "fail")
            throw EDatabaseError("Cannot insert the value NULL into column 'Price'");
    }
    void AcDelExecute() override { ++deletes; }
    void AcHistExecute() override { ++histories; }
    void AcPrintExecute() override { ++prints; }
};

bool showActive(QWidget &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

QWidget *focused()
{
    return QApplication::focusWidget();
}

// Calls act with the next modal box as soon as it is open.
void onNextModalBox(std::function<void(QWidget *)> act)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box || !box->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act(box);
    });
    timer->start();
}

QString artifactPath(const QString &name)
{
    QDir dir(qEnvironmentVariable("TARVO_BINARY_DIR", QDir::tempPath()));
    dir.mkpath("tests/artifacts");
    return dir.filePath("tests/artifacts/" + name);
}

} // namespace

class TestFrForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { launchContext().ThaiLanguage = false; }

    void windowAndToolbar()
    {
        TFrForm form;
        QCOMPARE(form.size(), QSize(632, 421));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));

        const QList<QToolButton *> buttons{form.BNew,  form.BDel,  form.BSave,  form.BChgCode,
                                           form.BHist, form.BCopy, form.BPrint, form.BExit};
        const QList<QAction *> bound{form.AcNew,  form.AcDel,  form.AcSave,  form.AcChgCode,
                                     form.AcHist, form.AcCopy, form.AcPrint, form.AcExit};
        form.show();
        int left = -1;
        QList<QImage> images;
        for (int i = 0; i < buttons.size(); ++i) {
            QToolButton *button = buttons[i];
            QCOMPARE(button->defaultAction(), bound[i]);
            QCOMPARE(button->size(), QSize(54, 36));
            QVERIFY2(button->x() > left, qPrintable(button->objectName()));
            left = button->x();
            // The caption fits under the image.
            QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) <= button->width() - 4, qPrintable(button->text()));
            // Each action shows its own image of the image list.
            const int index = TFrForm::imageIndex(bound[i]);
            QCOMPARE(bound[i]->icon().cacheKey(), form.ImageList1.value(index).cacheKey());
            const QImage image = bound[i]->icon().pixmap(16, 16).toImage();
            QVERIFY(!image.isNull() && !images.contains(image));
            images.append(image);
        }
    }

    void toolbarHintsAreBalloons()
    {
        // The form's own balloon settings: centred text, rate 20, 11-pixel font.
        TFrForm form;
        QVERIFY(form.FormHints1);
        QCOMPARE(form.FormHints1->TextAlignment(), taCenter);
        QCOMPARE(int(form.FormHints1->TransparencyRate()), 20);
        QCOMPARE(form.FormHints1->Font().pixelSize(), 11);
        TFormHints::setMainWindow(&form);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QPoint centre = form.BSave->rect().center();
        QHelpEvent hover(QEvent::ToolTip, centre, form.BSave->mapToGlobal(centre));
        QApplication::sendEvent(form.BSave, &hover); // Save is disabled after New: still hinted
        TfhHintWindow *balloon = TFormHints::hintWindow();
        QVERIFY(balloon);
        QTRY_VERIFY(balloon->isVisible());
        QCOMPARE(balloon->hintText().trimmed(), QString("Save Record"));
        QVERIFY(!QToolTip::isVisible());
        balloon->hideHint();
        TFormHints::setMainWindow(nullptr);
    }

    void showHidesButtonsAndStartsANewRecord()
    {
        ScriptedDialogService dialogs;
        TestScreen screen;
        QVERIFY(!screen.KeyPreview);
        QVERIFY(showActive(screen));
        // The caption becomes the application's title, and Qt is given nothing to append to the
        // title of other windows (" — Tarvo ฝากขาย").
        QCOMPARE(ApplicationTitle::text(), QString("Tarvo ฝากขาย"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
        QCOMPARE(screen.shows, 1);
        QCOMPARE(screen.news, 1);
        QVERIFY(!screen.BHist->isVisible());
        QVERIFY(!screen.BCopy->isVisible());
        QVERIFY(!screen.BChgCode->isVisible());
        QVERIFY(screen.BPrint->isVisible()); // shown again by the screen
        QVERIFY(screen.BNew->isVisible() && screen.BDel->isVisible() && screen.BSave->isVisible() && screen.BExit->isVisible());
        QVERIFY(!screen.ChgCode->isVisible());
        QVERIFY(!screen.AcSave->isEnabled());
        QVERIFY(!screen.AcDel->isEnabled());
        QVERIFY(!screen.AcChgCode->isEnabled());
        QVERIFY(!screen.BSave->isEnabled());
        QVERIFY(screen.AcNew->isEnabled() && screen.AcExit->isEnabled());
        QVERIFY(screen.KeyPreview);
        QVERIFY(screen.findChildren<QToolButton *>().size() >= 8);

        // F3 runs the screen's own "new" (after the base one).
        screen.AcSave->setEnabled(true);
        screen.ChgCode->show();
        QTest::keyClick(focused(), Qt::Key_F3);
        QCOMPARE(screen.news, 2);
        QVERIFY(!screen.AcSave->isEnabled());
        QVERIFY(!screen.ChgCode->isVisible());

        // A shortcut works while its button is hidden.
        screen.BPrint->hide();
        QTest::keyClick(focused(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(screen.prints, 1);
        QTest::keyClick(focused(), Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(screen.histories, 1);
        QCOMPARE(dialogs.count(), 0);
    }

    void changeCodeBoxIsUpperCase()
    {
        TFrForm form;
        QVERIFY(showActive(form));
        form.ChgCode->show();
        form.ChgCode->clear();
        form.ChgCode->setFocus();
        QTest::keyClicks(form.ChgCode, "ab1");
        QTest::sendKeyEvent(QTest::Click, form.ChgCode, Qt::Key_unknown, QString("ก"), Qt::NoModifier);
        QCOMPARE(form.ChgCode->text(), QString("AB1ก"));
    }

    void saveAndDeleteDoNothingAfterNew()
    {
        TestScreen screen;
        QVERIFY(showActive(screen));
        QTest::keyClick(focused(), Qt::Key_F10);
        QTest::keyClick(focused(), Qt::Key_F8);
        screen.BSave->click();
        QCOMPARE(screen.saves, 0);
        QCOMPARE(screen.deletes, 0);

        // Once the screen enables them, the same keys run its handlers.
        screen.AcSave->setEnabled(true);
        screen.AcDel->setEnabled(true);
        QTest::keyClick(focused(), Qt::Key_F10);
        QTest::keyClick(focused(), Qt::Key_F8);
        QCOMPARE(screen.saves, 1);
        QCOMPARE(screen.deletes, 1);

        screen.AcNew->trigger();
        QTest::keyClick(focused(), Qt::Key_F10);
        QCOMPARE(screen.saves, 1);
    }

    void anActionErrorReachesTheHandler()
    {
        ScriptedDialogService dialogs;
        TestScreen screen;
        QVERIFY(showActive(screen));
        screen.EdFirst->setText("fail");
        screen.AcSave->setEnabled(true);
        QTest::keyClick(focused(), Qt::Key_F10);
        QCOMPARE(dialogs.texts(), QStringList({"Cannot insert the value NULL into column 'Price'"}));
        QCOMPARE(dialogs.last().kind, DialogService::Kind::Error);
        // The screen is as it was and goes on working.
        QVERIFY(screen.isVisible());
        QCOMPARE(screen.EdFirst->text(), QString("fail"));
        screen.EdFirst->setText("ok");
        screen.BSave->click();
        QCOMPARE(screen.saves, 2);
        QCOMPARE(dialogs.count(), 1);
    }

    void enterMovesToTheNextTabStopAndWraps()
    {
        TestScreen screen;
        QVERIFY(showActive(screen));
        QSignalSpy returns(screen.EdFirst, &QLineEdit::returnPressed);
        QSignalSpy clicks(screen.BtOk, &QPushButton::clicked);
        QCOMPARE(focused(), screen.EdFirst);

        const QList<QWidget *> order{screen.BtOk, screen.EdSecond, screen.EdLast, screen.EdFirst, screen.BtOk};
        for (QWidget *expected : order) {
            QTest::keyClick(focused(), Qt::Key_Return);
            QCOMPARE(focused(), expected);
        }
        // The key pad's Enter as well.
        QTest::keyClick(focused(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(focused(), screen.EdSecond);
        QCOMPARE(returns.count(), 0);
        QCOMPARE(clicks.count(), 0);

        // A control that becomes available joins the order.
        screen.EdHidden->show();
        screen.EdFirst->setFocus();
        QTest::keyClick(focused(), Qt::Key_Return);
        QCOMPARE(focused(), screen.EdHidden);
    }

    void everyWayOfClosingAsks_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("Escape") << 0;
        QTest::newRow("Ctrl+X") << 1;
        QTest::newRow("Exit button") << 2;
        QTest::newRow("close()") << 3;
        QTest::newRow("title bar") << 4;
    }

    void everyWayOfClosingAsks()
    {
        QFETCH(int, way);
        ScriptedDialogService dialogs;
        TestScreen screen;
        QVERIFY(showActive(screen));
        screen.EdSecond->setFocus();
        QTest::keyClicks(screen.EdSecond, "1234");
        screen.EdSecond->selectAll();
        screen.AcSave->setEnabled(true);

        auto closeOnce = [&] {
            switch (way) {
            case 0:
                QTest::keyClick(focused(), Qt::Key_Escape);
                break;
            case 1:
                QTest::keyClick(focused(), Qt::Key_X, Qt::ControlModifier);
                break;
            case 2:
                screen.BExit->click();
                break;
            case 3:
                screen.close();
                break;
            case 4:
                screen.windowHandle()->close();
                break;
            }
        };
        dialogs.answerNo();
        closeOnce();
        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(dialogs.last().kind, DialogService::Kind::Confirmation);
        QCOMPARE(dialogs.last().text, QString("Exit Program ?"));
        QCOMPARE(dialogs.last().colours.background, QColor(0, 128, 0));
        QCOMPARE(dialogs.last().colours.text, QColor(255, 255, 255));

        // No: everything as it was, Ctrl+X did not cut the selected text.
        QVERIFY(screen.isVisible());
        QCOMPARE(screen.EdSecond->text(), QString("1234"));
        QCOMPARE(focused(), screen.EdSecond);
        QVERIFY(screen.AcSave->isEnabled());
        QVERIFY(!screen.AcDel->isEnabled());
        QVERIFY(screen.AcNew->isEnabled());

        dialogs.answerYes();
        closeOnce();
        QCOMPARE(dialogs.count(), 2);
        QVERIFY(!screen.isVisible());
        QCOMPARE(dialogs.pendingAnswers(), 0);
    }

    void thaiUsersAreAskedInThai()
    {
        ScriptedDialogService dialogs;
        launchContext().ThaiLanguage = true;
        TFrForm form;
        QVERIFY(showActive(form));
        dialogs.answerNo();
        QTest::keyClick(focused() ? focused() : static_cast<QWidget *>(&form), Qt::Key_Escape);
        QCOMPARE(dialogs.texts(), QStringList({"ออกจากโปรแกรม ?"}));
        launchContext().ThaiLanguage = false;
        dialogs.answerNo();
        form.close();
        QCOMPARE(dialogs.last().text, QString("Exit Program ?"));
    }

    void theCloseQuestionIsAGreenBox()
    {
        MessageBoxDialogService boxes;
        DialogService *previous = DialogService::setInstance(&boxes);
        launchContext().ThaiLanguage = true;
        TestScreen screen;
        QVERIFY(showActive(screen));
        screen.EdSecond->setFocus();

        QImage shot;
        onNextModalBox([&](QWidget *box) {
            shot = box->grab().toImage();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QTest::keyClick(focused(), Qt::Key_Escape);
        QVERIFY(!shot.isNull());
        shot.save(artifactPath("Fr_Form_close_question.png"));
        QCOMPARE(shot.pixelColor(2, 2), QColor(0, 128, 0));
        QVERIFY(screen.isVisible());
        QTRY_COMPARE(focused(), screen.EdSecond);

        // Enter answers Yes.
        onNextModalBox([](QWidget *box) { QTest::keyClick(box, Qt::Key_Return); });
        QTest::keyClick(focused(), Qt::Key_Escape);
        QVERIFY(!screen.isVisible());
        DialogService::setInstance(previous);
    }

    void renderTheForm()
    {
        ScriptedDialogService dialogs;
        TestScreen screen;
        screen.statusPanel(0)->setText("ผู้ใช้ : สมหญิง");
        screen.statusPanel(1)->setText("ไทย");
        QVERIFY(showActive(screen));
        screen.BHist->show();
        screen.BCopy->show();
        screen.BChgCode->show();
        screen.ChgCode->show();
        const QImage image = screen.grab().toImage();
        QVERIFY(image.save(artifactPath("Fr_Form.png")));
        QCOMPARE(image.size(), QSize(632, 421) * screen.devicePixelRatio());
        // Thai text of the status bar fits its panel's height.
        QLabel *panel = screen.statusPanel(0);
        QVERIFY(panel->fontMetrics().boundingRect(panel->text()).height() <= panel->height());
        dialogs.answerYes();
    }
};

int main(int argc, char **argv)
{
    TarvoApplication app(argc, argv);
    TestFrForm test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frform.moc"
