#pragma once

#include "platform/report/ReportPage.h"

#include <QList>
#include <QPageLayout>
#include <QString>

namespace platform {

// A prepared report: the page model that preview, printing and every export read.
struct ReportDocument {
    QString title;
    QList<ReportPage> pages;
    QPageLayout pageLayout; // the paper it was laid out on
};

} // namespace platform
