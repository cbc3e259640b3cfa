#include "app/Screens.h"

#include "reports/Fr_CustomerQuotaGroupPrice.h"

#include <QWidget>

QWidget *createScreen(int selector, int userId)
{
    Q_UNUSED(userId);
    switch (selector) {
    case 2:
        return new TFrCustomerQuotaGroupPrice;
    default:
        return nullptr;
    }
}
