#pragma once

#include <QString>

class QWidget;

// Ways to run the program with nobody at the screen (the demo under Xvfb, process tests):
//   TARVO_DIALOG_LOG=FILE   every message box and error dialog is appended to FILE instead of
//                           shown ("message: ", "confirm yes: ", "error dialog: " and the text,
//                           line breaks as \r and \n); questions are answered by
//                           TARVO_DIALOG_ANSWER ("yes", the default, or "no")
//   TARVO_SCREENSHOT=FILE   once the main window has been shown, it is saved to FILE (PNG)
//                           and the program ends (exit code 0)
//   TARVO_REPORT_PDF=FILE   a report screen runs its report as its preview button does and
//                           writes it to FILE as PDF; the program ends (exit code 0, or 1
//                           when the report could not be prepared or written)
//   TARVO_EXIT_ON_SHOW=1    once the main window has been painted, "shown" is written to the
//                           standard output and the program ends (start-up benchmarks)
namespace UnattendedRun {
bool logsDialogs();
void installDialogLog(); // at start-up, before the first box
void logErrorDialog(const QString &errorText);
void watchMainWindow(QWidget *mainWindow);
} // namespace UnattendedRun
