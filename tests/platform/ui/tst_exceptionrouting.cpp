#include "platform/core/Exceptions.h"
#include "platform/ui/ExceptionRouter.h"
#include "platform/ui/ScriptedDialogService.h"
#include "platform/ui/TarvoApplication.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <stdexcept>

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
