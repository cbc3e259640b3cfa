#include "app/ProgramWiring.h"

#include "app/ServerWaitNote.h"
#include "app/UnattendedRun.h"
#include "data/Dm_Config.h"
#include "data/LaunchContext.h"
#include "data/U_DM.h"
#include "forms/Fr_ShowError.h"
#include "platform/report/ReportXlsxWriter.h"
#include "platform/sql/Database.h"
#include "platform/sql/ServerWait.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/ExceptionRouter.h"

#include <QApplication>
#include <QTimer>

using namespace platform;

namespace ProgramWiring {

void wire()
{
    DMConfig->showMessage = [](const QString &text) { DialogService::instance().showMessage(text); };
    DM->showErrorDialog = UnattendedRun::logsDialogs() ? &UnattendedRun::logErrorDialog : &TFrShowError::showError;
    ExceptionRouter::setHandler([](const QString &message) { DM->ApplicationEvents1Exception(message); });
    Database::setLockWaitHook(&showWaitCursorUntilIdle);
    // Workbooks written by the program say who wrote them and for which company.
    ReportXlsxWriter::setOwnerSource([] {
        return ReportXlsxWriter::Owner{launchContext().UserCode.trimmed(), launchContext().CompanyNameThai.trimmed()};
    });
    ServerWait::setHooks({&ServerWaitNote::begin, &ServerWaitNote::end});
}

void end()
{
    Database::setLockWaitHook({});
    ReportXlsxWriter::setOwnerSource({});
    ServerWait::setHooks({});
    ExceptionRouter::setHandler({});
    delete DM; // sets DM to nullptr
    delete DMConfig;
}

void showWaitCursorUntilIdle()
{
    if (!qApp)
        return;
    // The user-interface thread is held by the statement; the cursor says so. It goes again
    // when the event loop next runs: after the statement and what followed it, or inside the
    // error dialog that reports a lock held too long.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QTimer::singleShot(0, qApp, [] { QApplication::restoreOverrideCursor(); });
}

} // namespace ProgramWiring
