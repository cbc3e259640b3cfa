#include "consignment/DailyMovementExport.h"

using namespace platform;

namespace DailyMovementExport {

ReportGridExport::Description describe(const QString &branchCode, const QString &branchName, const QDate &from, const QDate &to)
{
    const QString title = QStringLiteral("ความเคลื่อนไหวรายวัน");
    const QString branch = QStringLiteral("%1 %2").arg(branchCode.trimmed(), branchName.trimmed()).trimmed();
    const auto shown = [](const QDate &date) { return date.toString(QStringLiteral("dd/MM/yyyy")); };
    const auto named = [](const QDate &date) { return date.toString(QStringLiteral("yyyy-MM-dd")); };
    ReportGridExport::Description description;
    description.caption = QStringLiteral("%1 สาขา %2 วันที่ %3 ถึง %4").arg(title, branch, shown(from), shown(to));
    description.fileName = QStringLiteral("%1 %2 %3 ถึง %4").arg(title, branch, named(from), named(to));
    description.numberFormats = {{QStringLiteral("Price"), QStringLiteral("#,##0.00")},
                                 {QStringLiteral("Total"), QStringLiteral("#,##0.00;-#,##0.00")}};
    description.totalFields = {QStringLiteral("Total")};
    description.totalCaption = QStringLiteral("สรุปยอดรวมมูลค่า");
    return description;
}

} // namespace DailyMovementExport
