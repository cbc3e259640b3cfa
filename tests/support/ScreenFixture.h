#pragma once

#include "support/ProgramOnDemo.h"
#include "support/ScreenHelpers.h"

#include <QStringList>

class TFrTarvoAdjAndConsignment;

// The consignment screen as the program runs it, on fresh demo databases: Server.Dat in the
// current (temporary) directory names the demo folder, the two data modules are created and
// connected as at start-up, message boxes go to a scripted dialog service and exceptions that
// leave the screen's handlers are collected where the application-wide handler would get them.
class ScreenFixture : public ProgramOnDemo
{
public:
    ScreenFixture();
    ~ScreenFixture();

    // Messages that reached the application-wide exception handling, in order.
    QStringList &errors() { return m_errors; }

    // A new screen for user 1, shown (its show has run) and, unless told otherwise, active.
    TFrTarvoAdjAndConsignment *openScreen(int userId = 1, bool activate = true);
    // Frees the screen without the close question.
    void closeScreen();
    TFrTarvoAdjAndConsignment *screen() const { return m_screen; }

private:
    QStringList m_errors;
    TFrTarvoAdjAndConsignment *m_screen = nullptr;
};
