#pragma once

#include "support/DemoDatabases.h"

#include <QString>
#include <QVariantMap>
#include <functional>
#include <memory>

class ScriptedDialogService;

// How the program was started: menu entry, user and selector (company DEMO).
struct ProgramLaunch {
    int menu = 1;
    int user = 1;
    int selector = 1;
};

// The program as its entry leaves it, on fresh demo databases: Server.Dat in the current
// (temporary) directory names the demo folder, the launch parameters name the menu entry, the
// user, the company DEMO and the selector, the two data modules are created and connected, and
// message boxes go to a scripted dialog service. wire runs once the data modules exist and
// before they connect (for the hooks the program sets, e.g. ProgramWiring::wire). No screen is
// part of it; the screens' fixtures build on it (ScreenFixture).
class ProgramOnDemo
{
public:
    using Launch = ProgramLaunch;
    explicit ProgramOnDemo(const std::function<void()> &wire = {}, const Launch &launch = {});
    ~ProgramOnDemo();
    ProgramOnDemo(const ProgramOnDemo &) = delete;
    ProgramOnDemo &operator=(const ProgramOnDemo &) = delete;

    // Launch parameters and menu rights of another user (the language flag comes with them).
    void signIn(const Launch &launch);
    void setLanguage(int userId, int languageNo);
    // Copies the shipped report definitions and the tests' own into the working directory,
    // where report screens look for them.
    void copyReportDefinitions();

    QString dir() const { return m_dbs->dir(); }
    QVariant scalar(const QString &sql) { return m_dbs->scalar(sql); }
    DemoDatabases &dbs() { return *m_dbs; }
    const DemoDatabases &dbs() const { return *m_dbs; }
    ScriptedDialogService &dialogs() { return *m_dialogs; }

    // Demo data
    int firstUnitOf(int product);
    QString barcodeOfProduct(int product);
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

// The start-up of the program's entry, in the working directory: the launch parameters, the two
// data modules created, wire run (the hooks), the menu right read, the company database
// connected. endProgram frees the data modules again.
void startProgram(const ProgramLaunch &launch, const std::function<void()> &wire = {});
void endProgram();
