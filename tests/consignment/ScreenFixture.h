#pragma once

#include "support/DemoDatabases.h"

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

// Runs the event loop until nothing is pending (posted events, deferred deletes).
void settle();

class QLineEdit;

// Keyboard and mouse, as the user drives the screen.
namespace Drive {
// Presses Enter in the focused control (the form moves to the next control).
void enter();
// Presses a key in the focused control.
void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Clicks into a control: it takes the focus as a mouse click gives it.
void clickInto(QWidget *widget);
// Clicks a button (or check box).
void click(QWidget *button);
// Types text into the focused control.
void type(const QString &text);
// Clicks into a box, types text and presses Enter (a barcode scanner).
void scan(QLineEdit *box, const QString &text);
// The control that has the focus.
QWidget *focus();
} // namespace Drive
