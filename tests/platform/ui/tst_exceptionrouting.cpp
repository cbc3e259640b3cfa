#include "platform/core/Exceptions.h"
#include "platform/ui/ConnectGuarded.h"
#include "platform/ui/ExceptionRouter.h"
#include "platform/ui/TarvoApplication.h"
#include "support/ScriptedDialogService.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <stdexcept>

using namespace platform;

namespace {

// A control whose key handler fails for the keys F2 (a conversion error), F4 (a standard
// library error) and F5 (something that is not an exception class at all), and types the rest.
class FailingEdit : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_F2)
            throw EConvertError("'31/02/2024' is not a valid date");
        if (event->key() == Qt::Key_F4)
            throw std::runtime_error("vector too long");
        if (event->key() == Qt::Key_F5)
            throw 42;
        QLineEdit::keyPressEvent(event);
    }
};

// A window whose close handler fails.
class FailingClose : public QWidget
{
protected:
    void closeEvent(QCloseEvent *) override { throw EDatabaseError("Possible network error"); }
};

// A screen-like owner of handlers: its tick handler fails on the second tick.
class Ticks : public QObject
{
public:
    int count = 0;
    void Timer1Timer()
    {
        if (++count == 2)
            throw EInOutError("I/O error 103");
    }
};

} // namespace

class TestExceptionRouting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { ExceptionRouter::setHandler({}); }

    void anEventHandlerErrorIsShownAndTheProgramGoesOn()
    {
        ScriptedDialogService dialogs;
        FailingEdit edit;
        edit.show();
        QTest::keyClick(&edit, Qt::Key_F2);
        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(dialogs.last().kind, DialogService::Kind::Error);
        QCOMPARE(dialogs.last().text, QString("'31/02/2024' is not a valid date"));

        QTest::keyClick(&edit, Qt::Key_F4);
        QCOMPARE(dialogs.last().text, QString("vector too long"));
        QTest::keyClick(&edit, Qt::Key_F5);
        QCOMPARE(dialogs.last().text, QString("Unknown exception"));

        // The same control goes on working.
        QTest::keyClicks(&edit, "12");
        QCOMPARE(edit.text(), QString("12"));
        QCOMPARE(dialogs.count(), 3);
    }

    void theApplicationHandlerTakesOver()
    {
        ScriptedDialogService dialogs;
        QStringList handled;
        ExceptionRouter::setHandler([&](const QString &message) { handled << message; });
        QVERIFY(ExceptionRouter::hasHandler());
        FailingEdit edit;
        edit.show();
        QTest::keyClick(&edit, Qt::Key_F2);
        QCOMPARE(handled, QStringList({"'31/02/2024' is not a valid date"}));
        QCOMPARE(dialogs.count(), 0);

        ExceptionRouter::setHandler({});
        QVERIFY(!ExceptionRouter::hasHandler());
        QTest::keyClick(&edit, Qt::Key_F2);
        QCOMPARE(handled.size(), 1);
        QCOMPARE(dialogs.count(), 1);
    }

    void aFailingHandlerStillShowsTheError()
    {
        ScriptedDialogService dialogs;
        ExceptionRouter::setHandler([](const QString &) { throw EDatabaseError("Login failed for user 'qlm'."); });
        FailingEdit edit;
        edit.show();
        QTest::keyClick(&edit, Qt::Key_F2);
        QCOMPARE(dialogs.count(), 1);
        QVERIFY(dialogs.last().text.contains("'31/02/2024' is not a valid date"));
        QVERIFY(dialogs.last().text.contains("Login failed for user 'qlm'."));
    }

    void timersAndQueuedCallsAreRouted()
    {
        ScriptedDialogService dialogs;
        QTimer::singleShot(0, [] { throw EDatabaseError("Cannot insert duplicate key row"); });
        QMetaObject::invokeMethod(
            qApp, [] { throw EConvertError("'x' is not a valid floating point value"); }, Qt::QueuedConnection);
        QTRY_COMPARE(dialogs.count(), 2);
        QCOMPARE(dialogs.texts(), QStringList({"Cannot insert duplicate key row", "'x' is not a valid floating point value"}));
    }

    void aCloseThatFailsKeepsTheWindow()
    {
        ScriptedDialogService dialogs;
        FailingClose window;
        window.show();
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        QCOMPARE(dialogs.texts(), QStringList({"Possible network error"}));
    }

    // A handler connected with connectGuarded reports its exception where it ends: the signal's
    // other handlers still run, the handler takes the signal's arguments it names, a member
    // function runs on the context object, and a private signal (a timer's) works too.
    void guardedHandlersReportWhereTheyEnd()
    {
        QStringList handled;
        ExceptionRouter::setHandler([&](const QString &message) { handled << message; });

        QPushButton button;
        int after = 0;
        connectGuarded(&button, &QPushButton::clicked, &button, [] { throw EDatabaseError("Possible network error"); });
        connectGuarded(&button, &QPushButton::clicked, &button, [&] { ++after; });
        button.click(); // no exception leaves click()
        QCOMPARE(handled, QStringList({"Possible network error"}));
        QCOMPARE(after, 1);

        QSpinBox box;
        connectGuarded(&box, &QSpinBox::valueChanged, &box, [](int value) {
            if (value == 7)
                throw EConvertError(QString("'%1' is not a valid integer value").arg(value));
        });
        box.setValue(3);
        box.setValue(7);
        QCOMPARE(handled.size(), 2);
        QCOMPARE(handled.last(), QString("'7' is not a valid integer value"));

        Ticks ticks;
        QTimer timer;
        timer.setInterval(0);
        connectGuarded(&timer, &QTimer::timeout, &ticks, &Ticks::Timer1Timer);
        timer.start();
        QTRY_VERIFY(ticks.count > 2); // the timer goes on after the failing tick
        timer.stop();
        QCOMPARE(handled.size(), 3);
        QCOMPARE(handled.last(), QString("I/O error 103"));
    }

    void runReportsWhatLeavesTheCallable()
    {
        ScriptedDialogService dialogs;
        int done = 0;
        QVERIFY(ExceptionRouter::run([&] { ++done; }));
        QVERIFY(!ExceptionRouter::run([] { throw EInOutError("I/O error 32"); }));
        QCOMPARE(done, 1);
        QCOMPARE(dialogs.texts(), QStringList({"I/O error 32"}));
    }
};

int main(int argc, char **argv)
{
    TarvoApplication app(argc, argv);
    TestExceptionRouting test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_exceptionrouting.moc"
