#include "app/Screens.h"

#include "consignment/BarcodeSearch.h"
#include "consignment/ConsignmentStore.h"
#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "consignment/OfflineSettings.h"
#include "consignment/OfflineWorkstation.h"
#include "data/LaunchParameters.h"
#include "data/U_DM.h"
#include "forms/Fr_SearchBarCode.h"
#include "reports/Fr_CustomerQuotaGroupPrice.h"

#include <QWidget>

QWidget *createScreen(int selector, int userId)
{
    switch (selector) {
    case 1: {
        // The screen reads the company database and saves its lines through a store on it.
        auto *s = new TFrTarvoAdjAndConsignment(DM->DMdata, std::make_unique<ConsignmentStore>(DM->DMdata));
        s->UserId = userId;
        s->setBarcodeSearchFactory(BarcodeSearch::forDialog<TFrSearchBarCode>());
        // QLM.INI [OFFLINE] Enabled=yes: the screen keeps working from the workstation's files.
        const OfflineSettings offline = OfflineSettings::read(QStringLiteral("QLM.INI"), launchParameter(3));
        if (offline.enabled)
            s->setOffline(new OfflineWorkstation(offline, s));
        return s;
    }
    case 2:
        return new TFrCustomerQuotaGroupPrice;
    default:
        return nullptr;
    }
}
