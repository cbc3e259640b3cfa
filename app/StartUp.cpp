#include "app/StartUp.h"

#include "app/Fr_FormLogo.h"
#include "app/Screens.h"
#include "app/UnattendedRun.h"
#include "data/Dm_Config.h"
#include "data/LaunchContext.h"
#include "data/LaunchParameters.h"
#include "data/ProgramEnd.h"
#include "data/U_DM.h"
#include "db/ServerObjects.h"
#include "forms/Fr_ShowError.h"
#include "hints/FormHints.h"
#include "platform/sql/Database.h"
#include "platform/core/Exceptions.h"
#include "platform/format/Conversions.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/ExceptionRouter.h"
#include "platform/ui/TarvoApplication.h"

#include <QPointer>
#include <memory>

int runProgram(int argc, char **argv)
{
    // Started without parameters the program does nothing at all.
    if (argc <= 1)
        return 0;

    TarvoApplication app(argc, argv);
    setLaunchParameters(QCoreApplication::arguments());
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
    DMConfig->showMessage = [](const QString &text) { DialogService::instance().showMessage(text); };
    DM->freeSplash = freeLogo;
    DM->showErrorDialog = &TFrShowError::showError;
    // Dates are shown and read as DD/MM/YYYY everywhere (platform/format's DateFormat).

    std::unique_ptr<QWidget> mainWindow;
    try {
        const int selector = StrToInt(launchParameter(5));
        const int menuId = StrToInt(launchParameter(1));
        const int userId = StrToInt(launchParameter(2));
        DMConfig->CheckRight(menuId, userId);
        DMConfig->GetCompanyConfig(launchParameter(3));
        DM->DMdata->open();
        freeLogo();
        if (launchContext().AccessRight)
            mainWindow.reset(createScreen(selector, userId));
    } catch (const ProgramEnd &end) {
        freeLogo();
        return end.exitCode;
    } catch (const Exception &e) {
        freeLogo();
        DialogService::instance().showMessage(e.message());
        return 1;
    }
    if (!mainWindow)
        return 0;
    TFormHints::setMainWindow(mainWindow.get()); // the balloon settings are looked up on it
    mainWindow->show();
    UnattendedRun::watchMainWindow(mainWindow.get());
    // While the message loop runs, every exception no screen handled goes to DM's handler.
    ExceptionRouter::setHandler([](const QString &message) { DM->ApplicationEvents1Exception(message); });
    const int exitCode = app.exec();
    ExceptionRouter::setHandler({});
    return exitCode;
}
