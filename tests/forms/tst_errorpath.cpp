// An exception thrown by a button's click handler, all the way through the program's application
// object and the handler wired as at start-up: the error-log row on a fresh demo configuration
// database, and the error dialog with the Thai explanation.
#include "app/ProgramWiring.h"
#include "data/Dm_Config.h"
#include "data/U_DM.h"
#include "forms/Fr_ShowError.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/ui/ExceptionRouter.h"
#include "platform/ui/TarvoApplication.h"
#include "support/ProgramOnDemo.h"
#include "support/ScriptedDialogService.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

using namespace platform;

namespace {

const QString duplicateKey =
    QStringLiteral("[Microsoft][ODBC SQL Server Driver][SQL Server]Violation of PRIMARY KEY constraint "
                   "'PK_TarvoConsignment'. Cannot insert duplicate key in object 'dbo.TarvoConsignment'.");
const QString duplicateThai = QStringLiteral("ข้อมูลที่เพิ่มซ้ำกับข้อมูลที่มีอยู่แล้ว");

// A window whose button fails the way a screen's save does when the server refuses the line.
class FailingWindow : public QWidget
{
public:
    FailingWindow()
    {
        auto *layout = new QVBoxLayout(this);
        save = new QPushButton(QStringLiteral("Save"), this);
        layout->addWidget(save);
        QObject::connect(save, &QPushButton::clicked, this, [this] { throw EDatabaseError(message); });
    }
    QPushButton *save;
    QString message = duplicateKey;
};

} // namespace

class TestErrorPath : public QObject
{
    Q_OBJECT
    std::unique_ptr<ProgramOnDemo> m_program; // wired as the program wires it at start-up
    DemoDatabases *m_dbs = nullptr;
    FailingWindow *m_window = nullptr;

    struct Seen {
        bool shown = false;
        QString errorText;
        QString boxText;
        int logRowsWhileShown = -1;
    };

    int logRows() { return m_dbs->scalar(m_dbs->config(), "select count(*) from ErrorLog").toInt(); }

    // Clicks Save and records the error dialog that comes up, then closes it with "Don't Send".
    Seen clickSave()
    {
        Seen seen;
        QTimer::singleShot(0, this, [&] {
            auto *dlg = qobject_cast<TFrShowError *>(QApplication::activeModalWidget());
            if (!dlg)
                return;
            seen.shown = true;
            seen.errorText = dlg->ErrorText;
            seen.boxText = dlg->ErrorBox->toPlainText();
            try {
                seen.logRowsWhileShown = logRows();
            } catch (const Exception &) {}
            QTest::mouseClick(dlg->BCancel, Qt::LeftButton);
        });
        QTest::mouseClick(m_window->save, Qt::LeftButton);
        return seen;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_program = std::make_unique<ProgramOnDemo>(&ProgramWiring::wire);
        m_dbs = &m_program->dbs();

        m_window = new FailingWindow;
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }
    void cleanupTestCase()
    {
        delete m_window;
        ProgramWiring::end();
        m_program.reset();
    }

    void loggedExplainedShown()
    {
        ScriptedDialogService dialogs;
        const int before = logRows();
        const Seen seen = clickSave();
        QVERIFY(seen.shown);
        QCOMPARE(seen.logRowsWhileShown, before + 1);
        QCOMPARE(seen.errorText, duplicateThai + "\r" + duplicateKey.toUpper() + "\r");
        QVERIFY(seen.boxText.startsWith(duplicateThai + "\n[MICROSOFT]"));
        QCOMPARE(logRows(), before + 1);
        QCOMPARE(m_dbs->scalar(m_dbs->config(), "select ErrorMsg from ErrorLog order by Id desc").toString(), duplicateKey);
        QCOMPARE(m_dbs->scalar(m_dbs->config(), "select Username from ErrorLog order by Id desc").toInt(), 1);
        QCOMPARE(m_dbs->scalar(m_dbs->config(), "select Menu from ErrorLog order by Id desc").toInt(), 1);
        QCOMPARE(dialogs.count(), 0); // nothing fell back to the plain error box
        QVERIFY(m_window->isVisible());

        // The program goes on: the next failure is handled the same way.
        m_window->message = "'31/02/2024' is not a valid date";
        const Seen next = clickSave();
        m_window->message = duplicateKey;
        QVERIFY(next.shown);
        QVERIFY(next.errorText.startsWith("ป้อนวันที่ไม่ถูกต้อง\r'31/02/2024' IS NOT A VALID DATE"));
        QCOMPARE(logRows(), before + 2);
    }

    // The configuration database is gone: the log cannot be written, yet the error is shown.
    void brokenConfigDatabaseStillShows()
    {
        ScriptedDialogService dialogs;
        const int before = logRows();
        m_dbs->writeServerDat("sqlite:" + QDir(m_dbs->dir()).filePath("missing").toUtf8() + "\n");
        DMConfig->DmCfg->close();

        const Seen seen = clickSave();

        m_dbs->writeServerDat();
        QVERIFY(seen.shown);
        QCOMPARE(seen.errorText, duplicateThai + "\r" + duplicateKey.toUpper() + "\r");
        QCOMPARE(dialogs.count(), 0);
        QCOMPARE(logRows(), before);

        // Once it is back, errors are logged again.
        QVERIFY(clickSave().shown);
        QCOMPARE(logRows(), before + 1);
    }
};

int main(int argc, char **argv)
{
    TarvoApplication app(argc, argv);
    TestErrorPath test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_errorpath.moc"
