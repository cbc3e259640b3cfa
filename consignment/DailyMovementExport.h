#pragma once

#include "platform/reportview/ReportGridExport.h"

#include <QDate>
#include <QString>

// What the daily movement grid's export to Excel says about its rows: the branch and the dates
// they were read for (in the caption and the file name), money in the screen's patterns and the
// total value the screen shows under the grid.
namespace DailyMovementExport {

platform::ReportGridExport::Description describe(const QString &branchCode, const QString &branchName, const QDate &from,
                                                 const QDate &to);

} // namespace DailyMovementExport
