#pragma once

#include "platform/report/ReportObjectDefinition.h"

#include <QList>
#include <QString>

namespace platform {

// A horizontal strip of the page printed at a fixed point of the report's run.
struct ReportBandDefinition {
    enum class Kind { ReportTitle, PageHeader, ColumnHeader, MasterData, GroupHeader, GroupFooter, Summary, PageFooter };

    Kind kind = Kind::MasterData;
    int line = 0;
    qreal height = 0;             // mm, the least height
    QString name;                 // group header: the group's name
    QString group;                // group footer: the group it closes
    QString expression;           // group header: a new group starts when its value changes
    QString dataset;              // master data: the dataset it runs over
    bool startNewPage = false;    // begin on a fresh page
    bool repeatOnNewPage = false; // group header, report title: printed again at the top of a new page
    bool keepWithNext = false;    // group header: on the same page as the band after it
    bool keepTogether = false;    // group header: the whole group on one page where it fits;
                                  // group footer: on the same page as the group's last row
    QList<ReportObjectDefinition> objects;
};

} // namespace platform
