#pragma once

#include "platform/report/ReportDataResult.h"
#include "platform/report/ReportDefinition.h"
#include "platform/report/ReportDocument.h"
#include "platform/report/ReportFunctionHandler.h"

#include <QList>
#include <QPageLayout>
#include <QPair>
#include <QString>

namespace platform {

class ReportDataProvider;
class ReportScript;

// One run of a report: the definition, the host's variables and functions, and the data its
// datasets returned. Preparing fetches the data and lays the pages out; the run keeps the data,
// so that the report can be laid out again on other paper without asking the database again
// (the preview's page set-up does that). A layout wider than the paper is fitted to its width
// (ReportPageFit). Faults in the definition or its expressions raise
// ReportError; exceptions from the provider or the function handler pass through.
class ReportRun
{
public:
    using Variables = QList<QPair<QString, QString>>;

    ReportRun(ReportDefinition definition, Variables variables, ReportFunctionHandler handler);

    ReportDocument prepare(ReportDataProvider *provider);
    ReportDocument layOut(const QPageLayout &page) const;

    const ReportDefinition &definition() const { return m_definition; }

private:
    using DataSource = std::function<ReportDataResult(const ReportDatasetDefinition &, ReportScript &)>;

    ReportDocument run(const ReportDefinition &definition, const DataSource &data) const;
    ReportDocument runOn(const ReportDefinition &definition, const DataSource &data) const;
    QString variable(const QString &name) const;
    QVariantMap datasetParameters(const ReportDatasetDefinition &dataset, ReportScript &script) const;

    ReportDefinition m_definition;
    Variables m_variables;
    ReportFunctionHandler m_handler;
    QList<ReportDataResult> m_data; // by dataset, in the definition's order
};

} // namespace platform
