#include "app/Screens.h"

#include "consignment/BarcodeSearch.h"
#include "consignment/ConsignmentStore.h"
#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "consignment/OfflineMode.h"
#include "consignment/OfflineSettings.h"
#include "consignment/OfflineStatusStrip.h"
#include "data/LaunchParameters.h"
#include "data/U_DM.h"
#include "forms/Fr_SearchBarCode.h"
#include "platform/sql/Database.h"
#include "reports/Fr_CustomerQuotaGroupPrice.h"

#include <QStatusBar>
#include <QWidget>

namespace {

// The settings file of the working directory, as the data modules read it.
const QString iniPath = QStringLiteral("QLM.INI");

} // namespace

QWidget *createScreen(int selector, int userId)
{
    switch (selector) {
    case 1: {
        // The screen reads the company database and saves its lines through a store on it. With
        // QLM.INI [OFFLINE] Enabled=yes it keeps working from the workstation's files and saves
        // through the workstation's journal; the offline mode belongs to the screen, as its last
        // child: it ends after everything that uses its workstation, its threads with it.
        const OfflineSettings offline = OfflineSettings::read(iniPath, launchParameter(3));
        std::unique_ptr<OfflineMode> mode;
        if (offline.enabled)
            mode = std::make_unique<OfflineMode>(OfflineMode::Setup{offline, DM->DMdata->params, iniPath});
        auto *s = new TFrTarvoAdjAndConsignment(
            DM->DMdata, mode ? mode->makeStore() : std::unique_ptr<LineStore>(std::make_unique<ConsignmentStore>(DM->DMdata)));
        s->UserId = userId;
        s->setBarcodeSearchFactory(BarcodeSearch::forDialog<TFrSearchBarCode>());
        if (mode) {
            s->setOffline(&mode->workstation());
            s->StatusBar1->addPermanentWidget(mode->makeStatusStrip(s->StatusBar1), 1);
            mode.release()->setParent(s);
        }
        return s;
    }
    case 2:
        return new TFrCustomerQuotaGroupPrice;
    default:
        return nullptr;
    }
}
