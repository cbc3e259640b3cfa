#pragma once

#include "platform/report/ReportDocument.h"
#include "platform/report/ReportPrintOptions.h"

#include <QList>

class QPrinter;

// Prints a prepared report on a QPrinter. Copies and collation go to the printer when it can
// make copies itself; otherwise the pages are sent as many times as asked, in collated
// (1 2 3 1 2 3) or uncollated (1 1 2 2 3 3) order.
class ReportPrinter
{
public:
    // The page indexes (from 0) that the options select, in order; raises EConvertError for a
    // page list that cannot be read.
    static QList<int> selectedPages(int pageCount, const ReportPrintOptions &options);
    // The sequence of page indexes sent to the device.
    static QList<int> sequence(const QList<int> &pages, int copies, bool collate);
    // Returns the number of pages sent; raises EInOutError when the printer cannot be opened.
    static int print(const ReportDocument &document, QPrinter &printer, const ReportPrintOptions &options);
};
