#pragma once

#include "support/ProgramOnDemo.h"
#include "support/ScreenHelpers.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <memory>

class QLineEdit;
class QTimer;
class QWidget;
class ScriptedDialogService;
class TFrShowError;
class TFrTarvoAdjAndConsignment;

// The consignment screen as the program runs it, with the program's own error handling: fresh
// demo databases, Server.Dat in the current (temporary) directory, the two data modules created
// and connected as at start-up, wired as the program wires them (ProgramWiring: the
// application-wide handler, the error dialog, the wait cursor while a statement waits for a
// lock). Plain message boxes go to a scripted dialog service; every error dialog (TFrShowError)
// that comes up is found on screen, recorded and closed by the fixture.
//
// The faults: the company or configuration database file taken away (every connection to it
// closed first, then the file renamed or replaced by one that is not a database) and put back.
class FaultFixture : public ProgramOnDemo
{
public:
    FaultFixture();
    ~FaultFixture();

    // A new screen for user 1, shown and active.
    TFrTarvoAdjAndConsignment *openScreen(int userId = 1);
    TFrTarvoAdjAndConsignment *screen() const { return m_screen; }
    // Makes the screen the active window again (after an error dialog, say).
    void backToScreen();
    // Ends as the program does once its main window has closed: the screen goes, then the data
    // modules with their connections (DM and DMConfig are null afterwards).
    void endProgram();

    // One error dialog as it was seen while it was up.
    struct ShownError {
        QString errorText;          // its ErrorText
        QString boxText;            // what its ErrorBox showed
        int logRowsWhileShown = -1; // error-log rows at that moment (-1: the log could not be read)
        bool screenBlocked = false; // the screen took no input while it was up (modal)
    };
    const QList<ShownError> &shownErrors() const { return m_shown; }
    void clearShownErrors() { m_shown.clear(); }
    // How the fixture closes the error dialogs: "Don't Send" (the default) or "Send Error".
    void answerErrorsWithSend(bool send) { m_send = send; }

    // The error log of the configuration database: rows, and the newest row's message.
    int logRows();
    QString lastLogMessage();

    // Faults on the database files
    QString companyFile() const;
    QString configFile() const;
    // Closes every connection to the company database and renames its file away.
    void takeCompanyAway();
    // As takeCompanyAway, with a file that is not a database left in its place.
    void replaceCompanyWithJunk();
    void bringCompanyBack();
    // Closes the configuration connections of the program and of the fixture and renames the
    // file away (the company connection keeps the copy it has attached).
    void takeConfigAway();
    void bringConfigBack();

    // Section ERRORMAIL of QLM.INI in the current directory.
    void writeMailSettings(const QString &host, int port, int connectTimeoutMs, int timeoutMs);

private:
    void watchForErrorDialogs();
    static void moveFile(const QString &from, const QString &to);

    TFrTarvoAdjAndConsignment *m_screen = nullptr;
    QTimer *m_watch = nullptr;
    QList<QPointer<TFrShowError>> m_seen;
    QList<ShownError> m_shown;
    bool m_send = false;
    bool m_companyAway = false;
    bool m_junk = false;
    bool m_configAway = false;
};

