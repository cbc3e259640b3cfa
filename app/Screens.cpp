#include "app/Screens.h"

#include "consignment/Fr_TarvoAdjAndConsignment.h"

#include <QWidget>

QWidget *createScreen(int selector, int userId)
{
    switch (selector) {
    case 1: {
        auto *s = new TFrTarvoAdjAndConsignment;
        s->UserId = userId;
        return s;
    }
    default:
        return nullptr;
    }
}
