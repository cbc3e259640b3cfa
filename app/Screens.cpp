#include "app/Screens.h"

#include "consignment/BarcodeSearch.h"
#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "forms/Fr_SearchBarCode.h"
#include "reports/Fr_CustomerQuotaGroupPrice.h"

#include <QWidget>

QWidget *createScreen(int selector, int userId)
{
    switch (selector) {
    case 1: {
        auto *s = new TFrTarvoAdjAndConsignment;
        s->UserId = userId;
        s->setBarcodeSearchFactory(BarcodeSearch::forDialog<TFrSearchBarCode>());
        return s;
    }
    case 2:
        return new TFrCustomerQuotaGroupPrice;
    default:
        return nullptr;
    }
}
