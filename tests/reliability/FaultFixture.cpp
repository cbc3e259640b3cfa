#include "FaultFixture.h"

#include "app/ProgramWiring.h"
#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "data/Dm_Config.h"
#include "data/U_DM.h"
#include "forms/Fr_ShowError.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "support/ScriptedDialogService.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace platform;

namespace {

const QString awaySuffix = QStringLiteral(".away");

} // namespace

FaultFixture::FaultFixture()
    : ProgramOnDemo(&ProgramWiring::wire)
{
    watchForErrorDialogs();
}

FaultFixture::~FaultFixture()
{
    delete m_screen;
    m_screen = nullptr;
    settle();
    ProgramWiring::end();
    delete m_watch;
    // Whatever a failed test left away is put back, so that the folder is removed whole.
    if (m_companyAway)
        bringCompanyBack();
    if (m_configAway)
        bringConfigBack();
}

// Every few milliseconds, in whatever event loop runs (the error dialog's own included), looks
// for an error dialog that has not been seen yet, records it and closes it with the chosen button.
void FaultFixture::watchForErrorDialogs()
{
    m_watch = new QTimer;
    m_watch->setInterval(5);
    QObject::connect(m_watch, &QTimer::timeout, m_watch, [this] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget *window : windows) {
            auto *dialog = qobject_cast<TFrShowError *>(window);
            if (!dialog || !dialog->isVisible() || m_seen.contains(dialog))
                continue;
            m_seen.append(dialog);
            ShownError seen;
            seen.errorText = dialog->ErrorText;
            seen.boxText = dialog->ErrorBox->toPlainText();
            seen.logRowsWhileShown = logRows();
            seen.screenBlocked = QApplication::activeModalWidget() == dialog;
            m_shown.append(seen);
            QTest::mouseClick(m_send ? dialog->BOk : dialog->BCancel, Qt::LeftButton);
        }
    });
    m_watch->start();
}

TFrTarvoAdjAndConsignment *FaultFixture::openScreen(int userId)
{
    delete m_screen;
    m_screen = newConsignmentScreen(userId);
    m_screen->show();
    backToScreen();
    return m_screen;
}

void FaultFixture::endProgram()
{
    delete m_screen;
    m_screen = nullptr;
    settle();
    ProgramWiring::end();
}

void FaultFixture::backToScreen()
{
    settle();
    m_screen->activateWindow();
    if (!QTest::qWaitForWindowActive(m_screen))
        qWarning("the screen did not become active");
}

int FaultFixture::logRows()
{
    try {
        return dbs().scalar(dbs().config(), QStringLiteral("Select Count(*) From ErrorLog")).toInt();
    } catch (const Exception &) {
        return -1;
    }
}

QString FaultFixture::lastLogMessage()
{
    return dbs().scalar(dbs().config(), QStringLiteral("Select ErrorMsg From ErrorLog Order By Id Desc Limit 1")).toString();
}

QString FaultFixture::companyFile() const
{
    return QDir(dbs().dir()).filePath(QStringLiteral("DEMO.sqlite"));
}

QString FaultFixture::configFile() const
{
    return QDir(dbs().dir()).filePath(QStringLiteral("QLM_CONFIG.sqlite"));
}

void FaultFixture::moveFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    if (!QFile::rename(from, to))
        qFatal("cannot rename %s to %s", qPrintable(from), qPrintable(to));
}

void FaultFixture::takeCompanyAway()
{
    // With no connection left the engine has written its journal back into the file, so the
    // file alone is the whole database.
    DM->DMdata->close();
    dbs().company().close();
    if (QFile::exists(companyFile() + QStringLiteral("-wal")))
        qWarning("a connection to the company database is still open");
    moveFile(companyFile(), companyFile() + awaySuffix);
    m_companyAway = true;
}

void FaultFixture::replaceCompanyWithJunk()
{
    takeCompanyAway();
    QFile junk(companyFile());
    if (!junk.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(companyFile()));
    junk.write(QByteArray(8192, 'x'));
    m_junk = true;
}

void FaultFixture::bringCompanyBack()
{
    if (m_junk) {
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
            QFile::remove(companyFile() + suffix);
        m_junk = false;
    }
    moveFile(companyFile() + awaySuffix, companyFile());
    m_companyAway = false;
}

void FaultFixture::takeConfigAway()
{
    DMConfig->DmCfg->close();
    dbs().config().close();
    moveFile(configFile(), configFile() + awaySuffix);
    m_configAway = true;
}

void FaultFixture::bringConfigBack()
{
    moveFile(configFile() + awaySuffix, configFile());
    m_configAway = false;
}

void FaultFixture::writeMailSettings(const QString &host, int port, int connectTimeoutMs, int timeoutMs)
{
    QFile ini(QStringLiteral("QLM.INI"));
    if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write QLM.INI");
    ini.write(QStringLiteral("[ERRORMAIL]\r\nHost=%1\r\nPort=%2\r\nSender=errors@tarvo.test\r\n"
                             "Recipient=support@tarvo.test\r\nUserId=errors@tarvo.test\r\n"
                             "ConnectTimeoutMs=%3\r\nTimeoutMs=%4\r\n")
                  .arg(host)
                  .arg(port)
                  .arg(connectTimeoutMs)
                  .arg(timeoutMs)
                  .toUtf8());
}
