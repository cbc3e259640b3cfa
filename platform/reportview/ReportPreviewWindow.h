#pragma once

#include "platform/report/ReportDocument.h"
#include "platform/report/ReportExport.h"
#include "platform/report/ReportLanguage.h"
#include "platform/report/ReportPrintOptions.h"

#include <QList>
#include <QRectF>
#include <QWidget>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QScrollArea;

namespace platform {

class ReportPageView;
class ReportRun;

// The non-modal preview of a prepared report: page by page with zoom (fixed steps, page width,
// whole page; opened at the zoom last chosen, page width at first), first/previous/next/last page, find with the found text marked, page set-up
// (the report laid out again on other paper), printing on the chosen printer through the print
// dialog and export (CSV by default, RTF, PDF, Excel). Captions and messages are in the
// user's language; a file that cannot be written or a printer that cannot be opened is said so
// in a message.
class ReportPreviewWindow : public QWidget
{
    Q_OBJECT

public:
    // `run` lays the report out again for the page set-up; without it page set-up is off.
    ReportPreviewWindow(ReportDocument document, std::shared_ptr<const ReportRun> run, std::shared_ptr<QPrinter> printer,
                        ReportLanguage language = ReportLanguage::Thai, QWidget *parent = nullptr);
    ~ReportPreviewWindow() override;

    const ReportDocument &document() const { return m_document; }

    int pageCount() const { return int(m_document.pages.size()); }
    int currentPage() const { return m_page; } // from 0
    void setCurrentPage(int page);
    qreal zoom() const;
    void setZoom(qreal zoom);
    void fitWidth();
    void fitPage();
    // The zoom chosen in the zoom box: a percentage, or -1 for page width and -2 for the whole
    // page (kept as the window's size changes). A preview opens at the choice of the last one.
    int zoomChoice() const;
    QComboBox *zoomBox() const { return m_zoomBox; }
    // Moves to the next place where `text` is found (without regard to case), marks it and
    // returns true; false when the report does not hold the text.
    bool find(const QString &text);
    QList<QRectF> highlights() const { return m_highlights; }

    int print(QPrinter &printer, const ReportPrintOptions &options) const;
    void exportTo(ReportExport::Format format, const QString &path) const;
    // Lays the report out again on this paper and shows its first page.
    void setPageLayout(const QPageLayout &layout);

    QAction *firstPageAction() const { return m_first; }
    QAction *previousPageAction() const { return m_previous; }
    QAction *nextPageAction() const { return m_next; }
    QAction *lastPageAction() const { return m_last; }
    QAction *printAction() const { return m_print; }
    QAction *exportAction() const { return m_export; }
    QAction *pageSetupAction() const { return m_pageSetup; }
    QLineEdit *findEdit() const { return m_findEdit; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Match {
        int page = 0;
        QList<QRectF> rects;
    };

    void showPage();
    void zoomChosen(int index);
    void applyZoomChoice();
    // Finds the text of the find box; a text that is not in the report is said so.
    void findTyped();
    void printWithDialog();
    void exportWithDialog();
    void pageSetupWithDialog();
    QString text(const char16_t *thai, const char16_t *english) const;

    ReportDocument m_document;
    std::shared_ptr<const ReportRun> m_run;
    std::shared_ptr<QPrinter> m_printer;
    ReportLanguage m_language;
    int m_page = 0;
    int m_zoomChoice = 100;
    QScrollArea *m_scroll = nullptr;
    ReportPageView *m_view = nullptr;
    QComboBox *m_zoomBox = nullptr;
    QLabel *m_pageLabel = nullptr;
    QLineEdit *m_findEdit = nullptr;
    QAction *m_first = nullptr;
    QAction *m_previous = nullptr;
    QAction *m_next = nullptr;
    QAction *m_last = nullptr;
    QAction *m_print = nullptr;
    QAction *m_export = nullptr;
    QAction *m_pageSetup = nullptr;
    QString m_findText;
    QList<Match> m_matches;
    int m_match = -1;
    QList<QRectF> m_highlights;
};

} // namespace platform
