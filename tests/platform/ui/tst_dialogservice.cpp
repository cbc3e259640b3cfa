#include "platform/ui/ApplicationTitle.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/MessageBoxDialogService.h"
#include "support/ScriptedDialogService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace platform;

namespace {

// Calls act with the next modal message box as soon as it is open and active.
void onNextMessageBox(std::function<void(QMessageBox *)> act)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act(box);
    });
    timer->start();
}

QLabel *textLabel(QMessageBox *box)
{
    return box->findChild<QLabel *>("qt_msgbox_label");
}

} // namespace

class TestDialogService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scriptedServiceRecordsAndAnswersInOrder()
    {
        DialogService *before = &DialogService::instance();
        {
            ScriptedDialogService dialogs;
            QCOMPARE(&DialogService::instance(), &dialogs);
            dialogs.answerNo();
            dialogs.answerYes();
            DialogService::instance().showMessage("บันทึกเรียบร้อย");
            QVERIFY(!DialogService::instance().confirm("ออกจากโปรแกรม ?", {QColor(0, 128, 0), QColor(Qt::white)}));
            QVERIFY(DialogService::instance().confirm("Exit Program ?"));
            DialogService::instance().showError("'x' is not a valid integer value");
            QCOMPARE(dialogs.pendingAnswers(), 0);
            QCOMPARE(dialogs.texts(),
                     QStringList({"บันทึกเรียบร้อย", "ออกจากโปรแกรม ?", "Exit Program ?", "'x' is not a valid integer value"}));
            QCOMPARE(dialogs.shown()[0].kind, DialogService::Kind::Information);
            QCOMPARE(dialogs.shown()[1].kind, DialogService::Kind::Confirmation);
            QCOMPARE(dialogs.shown()[1].colours.background, QColor(0, 128, 0));
            QCOMPARE(dialogs.shown()[1].colours.text, QColor(Qt::white));
            QCOMPARE(dialogs.shown()[1].answer, false);
            QVERIFY(!dialogs.shown()[2].colours.background.isValid());
            QCOMPARE(dialogs.shown()[2].answer, true);
            QCOMPARE(dialogs.shown()[3].kind, DialogService::Kind::Error);

            // Nested installs restore in turn.
            {
                ScriptedDialogService inner;
                QCOMPARE(&DialogService::instance(), &inner);
            }
            QCOMPARE(&DialogService::instance(), &dialogs);
        }
        QCOMPARE(&DialogService::instance(), before);
        QVERIFY(dynamic_cast<MessageBoxDialogService *>(before));
    }

    // A plain box is titled with the application's title, exactly, and is wide enough to show it
    // whole even when its text is short.
    void aBoxShowsTheWholeTitle()
    {
        MessageBoxDialogService boxes;
        const QString title = "ระบบฝากขายและปรับปรุงสต๊อกสินค้า Tarvo สาขาสุขุมวิท";
        ApplicationTitle::set(title);
        QString shownTitle;
        int width = 0;
        onNextMessageBox([&](QMessageBox *box) {
            shownTitle = box->windowTitle();
            width = box->width();
            QTest::keyClick(box, Qt::Key_Return);
        });
        boxes.showMessage("OK");
        ApplicationTitle::set(QString());
        QCOMPARE(shownTitle, title);
        QVERIFY2(width > QFontMetrics(QApplication::font()).horizontalAdvance(title), qPrintable(QString::number(width)));
    }

    void confirmationBoxColoursAndButtons()
    {
        MessageBoxDialogService boxes;
        QWidget window;
        window.show();

        QColor background;
        QColor text;
        QString shownText;
        QString title;
        QAbstractButton *defaultButton = nullptr;
        QAbstractButton *escapeButton = nullptr;
        QAbstractButton *yes = nullptr;
        QAbstractButton *no = nullptr;
        onNextMessageBox([&](QMessageBox *box) {
            background = box->palette().color(QPalette::Window);
            text = textLabel(box)->palette().color(QPalette::WindowText);
            shownText = textLabel(box)->text();
            title = box->windowTitle();
            defaultButton = box->defaultButton();
            escapeButton = box->escapeButton();
            yes = box->button(QMessageBox::Yes);
            no = box->button(QMessageBox::No);
            QVERIFY(box->autoFillBackground());
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QVERIFY(!boxes.confirm("ออกจากโปรแกรม ?", {QColor(0, 128, 0), QColor(Qt::white)}));
        QCOMPARE(background, QColor(0, 128, 0));
        QCOMPARE(text, QColor(Qt::white));
        QCOMPARE(shownText, QString("ออกจากโปรแกรม ?"));
        QCOMPARE(title, MessageBoxDialogService::confirmationTitle());
        QVERIFY(yes && no);
        QCOMPARE(defaultButton, yes);
        QCOMPARE(escapeButton, no);

        // Enter answers Yes.
        onNextMessageBox([](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Return); });
        QVERIFY(boxes.confirm("Exit Program ?"));

        // Without colours the platform's look stays.
        QColor plain;
        onNextMessageBox([&](QMessageBox *box) {
            plain = box->palette().color(QPalette::Window);
            box->button(QMessageBox::No)->click();
        });
        QVERIFY(!boxes.confirm("Exit Program ?"));
        QCOMPARE(plain, QApplication::palette().color(QPalette::Window));
    }
};

QTEST_MAIN(TestDialogService)
#include "tst_dialogservice.moc"
