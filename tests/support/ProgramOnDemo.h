#pragma once

#include "support/DemoDatabases.h"
#include "support/Drive.h"

#include <QString>
#include <QVariantMap>
#include <functional>
#include <memory>

class ScriptedDialogService;

// The program as its entry leaves it, on fresh demo databases: Server.Dat in the current
// (temporary) directory names the demo folder, the launch parameters are "1 1 DEMO - 1", the two
// data modules are created and connected, and message boxes go to a scripted dialog service.
// wire runs once the data modules exist and before they connect (for the hooks the program sets).
class ProgramOnDemo
{
public:
    explicit ProgramOnDemo(const std::function<void()> &wire = {});
    ~ProgramOnDemo();
    ProgramOnDemo(const ProgramOnDemo &) = delete;
    ProgramOnDemo &operator=(const ProgramOnDemo &) = delete;

    DemoDatabases &dbs() { return *m_dbs; }
    const DemoDatabases &dbs() const { return *m_dbs; }
    ScriptedDialogService &dialogs() { return *m_dialogs; }

    // Demo data
    int firstUnitOf(int product);
    QString barcodeOfProduct(int product);
    double listPrice(const QString &barcode); // the price the barcode look-up takes (its last row)
    int consignmentCount();
    // The stored line with the highest id: the eleven values the screen sends, by name.
    QVariantMap lastLine();
    // The last count lines stored, oldest first, each as lastLine() gives it.
    QList<QVariantMap> lastLines(int count);

private:
    std::unique_ptr<DemoDatabases> m_dbs;
    std::unique_ptr<ScriptedDialogService> m_dialogs;
    QString m_oldDir;
};
