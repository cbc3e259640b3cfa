#include "app/Screens.h"

#include <QWidget>

QWidget *createScreen(int selector, int userId)
{
    Q_UNUSED(userId);
    switch (selector) {
    default:
        return nullptr;
    }
}
