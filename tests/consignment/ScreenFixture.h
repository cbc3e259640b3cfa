#pragma once

#include "support/DemoDatabases.h"
#include "support/Drive.h"

#include <QStringList>
#include <QVariantMap>
#include <memory>

class QWidget;
class ScriptedDialogService;
class TFrTarvoAdjAndConsignment;

// The consignment screen as the program runs it, on fresh demo databases: Server.Dat in the
// current (temporary) directory names the demo folder, the two data modules are created and
// connected as at start-up, message boxes go to a scripted dialog service and exceptions that
// leave the screen's handlers are collected where the application-wide handler would get them.
class ScreenFixture
{
public:
    ScreenFixture();
    ~ScreenFixture();

    DemoDatabases &dbs() { return *m_dbs; }
    ScriptedDialogService &dialogs() { return *m_dialogs; }

    // Messages that reached the application-wide exception handling, in order.
    QStringList &errors() { return m_errors; }

    // A new screen for user 1, shown (its show has run) and, unless told otherwise, active.
    TFrTarvoAdjAndConsignment *openScreen(int userId = 1, bool activate = true);
    // Frees the screen without the close question.
    void closeScreen();
    TFrTarvoAdjAndConsignment *screen() const { return m_screen; }

    // Demo data
    int firstUnitOf(int product);
    QString barcodeOfProduct(int product) ;
    int consignmentCount();
    // The stored line with the highest id: the eleven values the screen sends, by name.
    QVariantMap lastLine();

private:
    std::unique_ptr<DemoDatabases> m_dbs;
    std::unique_ptr<ScriptedDialogService> m_dialogs;
    QString m_oldDir;
    QStringList m_errors;
    TFrTarvoAdjAndConsignment *m_screen = nullptr;
};
