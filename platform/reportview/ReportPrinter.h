#pragma once

#include "platform/report/ReportDocument.h"
#include "platform/report/ReportLanguage.h"
#include "platform/report/ReportPrintOptions.h"

#include <QList>
#include <QPageLayout>

class QPrinter;

namespace platform {

// Prints a prepared report on a QPrinter. Copies and collation go to the printer when it can
// make copies itself; otherwise the pages are sent as many times as asked, in collated
// (1 2 3 1 2 3) or uncollated (1 1 2 2 3 3) order. Each page goes out on paper of its own size
// and orientation, the paper the report was laid out on.
class ReportPrinter
{
public:
    // The page indexes (from 0) that the options select, in order; raises EConvertError for a
    // page list that cannot be read.
    static QList<int> selectedPages(int pageCount, const ReportPrintOptions &options);
    // The sequence of page indexes sent to the device.
    static QList<int> sequence(const QList<int> &pages, int copies, bool collate);
    // Raises EInOutError, in `language`, when nothing can be printed on `printer`: a PDF
    // printer without a file name or with a file that cannot be written, no printer chosen, a
    // printer that is not installed.
    static void checkReady(const QPrinter &printer, ReportLanguage language);
    // Returns the number of pages sent; raises EInOutError, in `language`, when the printer
    // cannot be opened. `printer` is the chosen printer and its settings; it is left as it was.
    static int print(const ReportDocument &document, const QPrinter &printer, const ReportPrintOptions &options,
                     ReportLanguage language = ReportLanguage::Thai);
    // The paper of a page of that size in millimetres: a standard size turned to landscape when
    // the page is wider than high, no margins (the page model holds them).
    static QPageLayout paperOf(const QSizeF &size);
};

} // namespace platform
