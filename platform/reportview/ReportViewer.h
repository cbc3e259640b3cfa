#pragma once

#include "platform/report/ReportPrepareResult.h"
#include "platform/report/ReportPrintOptions.h"

#include <QObject>
#include <memory>

class QPrinter;
class QWidget;

namespace platform {

class ReportEngine;
class ReportPreviewWindow;

// The widget side of a report engine: the printer the user chose for its reports (kept while
// the viewer lives), the printer set-up, the non-modal preview and printing. The engine itself
// needs no widgets. Captions and messages follow the engine's language.
class ReportViewer : public QObject
{
    Q_OBJECT
public:
    explicit ReportViewer(ReportEngine &engine, QObject *parent = nullptr);
    ~ReportViewer() override;

    // The printer that printing and every preview of this viewer use.
    QPrinter &printer();

    // The printer set-up: where reports print (a printer or a PDF file) and on what paper.
    // OK keeps both: the printer for printing, the paper for laying out every report the engine
    // prepares from then on. Returns true for OK; Cancel changes nothing.
    bool printerSetup(QWidget *parent);

    // Opens the non-modal preview of the prepared report and returns it (it deletes itself
    // when closed); nullptr when nothing is prepared.
    ReportPreviewWindow *showPreview(QWidget *parent = nullptr);
    // Prepares and, when that succeeds, opens the preview.
    ReportPrepareResult showReport(QWidget *parent = nullptr);
    // Prints the prepared report on the chosen printer; returns the number of pages sent.
    // Raises EInOutError when the printer cannot be opened.
    int printPreparedReport(const ReportPrintOptions &options);

private:
    ReportEngine &m_engine;
    std::shared_ptr<QPrinter> m_printer;
};

} // namespace platform
