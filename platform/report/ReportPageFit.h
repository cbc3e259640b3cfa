#pragma once

#include "platform/report/ReportDefinition.h"
#include "platform/report/ReportDocument.h"

namespace platform {

// Fit to the paper's width: a report whose bands are wider than the space between the paper's
// margins (a landscape layout on portrait paper) is laid out on a page as much larger as it
// needs, and its pages are then scaled down to the paper, text, lines and frames alike, so that
// every column, the print time and the page number stay on the page.
namespace ReportPageFit {

// The scale that fits the definition's bands between its margins: 1 when they fit.
qreal scaleFor(const ReportDefinition &definition);
// The definition on paper and margins larger by 1 / scale.
ReportDefinition enlarged(const ReportDefinition &definition, qreal scale);
// The pages laid out on the enlarged paper, scaled down by `scale` to the paper itself.
void scaleDown(ReportDocument &document, qreal scale);

} // namespace ReportPageFit

} // namespace platform
