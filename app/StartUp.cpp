#include "app/StartUp.h"

#include "app/DesktopSession.h"
#include "app/Fr_FormLogo.h"
#include "app/ProgramWiring.h"
#include "app/Screens.h"
#include "app/UnattendedRun.h"
#include "data/Dm_Config.h"
#include "data/LaunchContext.h"
#include "data/LaunchParameters.h"
#include "data/ProgramEnd.h"
#include "data/U_DM.h"
#include "db/ServerObjects.h"
#include "hints/FormHints.h"
#include "platform/core/Exceptions.h"
#include "platform/format/Conversions.h"
#include "platform/sql/Database.h"
#include "platform/ui/ExceptionRouter.h"
#include "platform/ui/TarvoApplication.h"

#include <QPointer>
#include <QScopeGuard>
#include <cstdio>
#include <memory>

using namespace platform;

namespace {

// The command line as the launcher gave it, position 0 being the program.
QStringList commandLine(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

int runProgram(int argc, char **argv)
{
    // Started without parameters the program does nothing at all.
    if (argc <= 1)
        return 0;

    // Without a display Qt would abort; the program says why and ends as one that could not start.
    const QString noDesktop = missingDesktopSession();
    if (!noDesktop.isEmpty()) {
        fputs(noDesktop.toLocal8Bit().constData(), stderr);
        return 1;
    }

    // The launch parameters are read from the command line as given. Qt is shown the program's
    // name only: it would take a parameter such as "-reverse", "-style" or "-platform" for one of
    // its own options and remove it (with the value after it) before anyone read it.
    setLaunchParameters(commandLine(argc, argv));
    int qtArgc = 1;
    TarvoApplication app(qtArgc, argv);
    UnattendedRun::installDialogLog();
    registerServerObjects(); // the embedded engine's procedures, when Server.Dat names it

    QPointer<TFormLogo> logo = new TFormLogo;
    logo->setAttribute(Qt::WA_DeleteOnClose);
    logo->showAndPaint();
    auto freeLogo = [&logo] {
        if (logo)
            delete logo.data();
    };

    DMConfig = new TDMConfig(&app);
    DM = new TDM(&app);
    DM->freeSplash = freeLogo;
    // From here on every error reaches the application-wide handler: logged, explained in Thai
    // and shown in the error dialog, the start-up's own and those of the first screen's show.
    ProgramWiring::wire();
    std::unique_ptr<QWidget> mainWindow;
    // At every end, the screen goes first, then the data modules with their connections, while
    // the application still exists.
    const auto closeAtEnd = qScopeGuard([&mainWindow] {
        mainWindow.reset();
        ProgramWiring::end();
    });

    bool configReached = true; // false once the configuration database could not be connected
    QString failure;
    try {
        const int selector = StrToInt(launchParameter(5));
        const int menuId = StrToInt(launchParameter(1));
        const int userId = StrToInt(launchParameter(2));
        configReached = false;
        DMConfig->CheckRight(menuId, userId);
        configReached = true;
        DMConfig->GetCompanyConfig(launchParameter(3));
        DM->DMdata->open();
        freeLogo();
        if (launchContext().AccessRight)
            mainWindow.reset(createScreen(selector, userId));
    } catch (const ProgramEnd &end) {
        freeLogo();
        return end.exitCode;
    } catch (...) {
        configReached = configReached || DMConfig->DmCfg->connected();
        failure = currentExceptionMessage();
    }
    if (!failure.isNull()) {
        // Reported outside the catch block: the error dialog runs an event loop of its own.
        freeLogo();
        if (configReached)
            ExceptionRouter::report(failure);
        else
            DM->showExplainedError(failure); // the log lives on the server that could not be reached
        return 1;
    }
    if (!mainWindow)
        return 0;
    TFormHints::setMainWindow(mainWindow.get()); // the balloon settings are looked up on it
    mainWindow->show();
    UnattendedRun::watchMainWindow(mainWindow.get());
    return app.exec();
}
