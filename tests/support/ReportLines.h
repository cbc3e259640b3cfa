#pragma once

#include "platform/report/ReportDocument.h"

#include <QList>
#include <QStringList>

// The laid-out text lines of each page of a prepared report, for checks of its printed text.
inline QList<QStringList> reportLinesByPage(const platform::ReportDocument &document)
{
    QList<QStringList> pages;
    for (const platform::ReportPage &page : document.pages) {
        QStringList lines;
        for (const platform::ReportPageItem &item : page.items) {
            for (const platform::ReportTextLine &line : item.lines)
                lines << line.text;
        }
        pages << lines;
    }
    return pages;
}
