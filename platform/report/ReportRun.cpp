#include "platform/report/ReportRun.h"

#include "platform/report/ReportDataProvider.h"
#include "platform/report/ReportError.h"
#include "platform/report/ReportLayoutEngine.h"
#include "platform/report/ReportPageFit.h"
#include "platform/report/ReportScript.h"
#include "platform/report/ReportSqlParameters.h"

namespace platform {

ReportRun::ReportRun(ReportDefinition definition, Variables variables, ReportFunctionHandler handler)
    : m_definition(std::move(definition))
    , m_variables(std::move(variables))
    , m_handler(std::move(handler))
{}

QString ReportRun::variable(const QString &name) const
{
    for (const auto &variable : m_variables) {
        if (variable.first.compare(name, Qt::CaseInsensitive) == 0)
            return variable.second;
    }
    return QString();
}

QVariantMap ReportRun::datasetParameters(const ReportDatasetDefinition &dataset, ReportScript &script) const
{
    QStringList names = ReportSqlParameters::names(dataset.sql);
    for (const QString &name : ReportSqlParameters::names(dataset.alternativeSql)) {
        if (!names.contains(name, Qt::CaseInsensitive))
            names.append(name);
    }
    QVariantMap parameters;
    for (const QString &name : names) {
        bool known = variable(name).size() > 0;
        for (const ReportDefinition::Variable &defined : m_definition.variables)
            known = known || defined.name.compare(name, Qt::CaseInsensitive) == 0;
        if (!known) {
            throw ReportError(QStringLiteral("Line %1: dataset %2: no variable gives the value of parameter :%3")
                                  .arg(dataset.line)
                                  .arg(dataset.name, name));
        }
        parameters.insert(name, script.evaluate(name));
    }
    return parameters;
}

ReportDocument ReportRun::prepare(ReportDataProvider *provider)
{
    m_data.clear();
    return run(m_definition, [this, provider](const ReportDatasetDefinition &dataset, ReportScript &script) {
        if (!provider)
            throw ReportError(
                QStringLiteral("Line %1: dataset %2: no data provider has been given").arg(dataset.line).arg(dataset.name));
        const QVariantMap parameters = datasetParameters(dataset, script);
        m_data.append(provider->fetch(dataset.sql, dataset.alternativeSql, parameters));
        return m_data.last();
    });
}

ReportDocument ReportRun::layOut(const QPageLayout &page) const
{
    ReportDefinition definition = m_definition;
    definition.setPageLayout(page);
    int index = 0;
    return run(definition, [this, &index](const ReportDatasetDefinition &, ReportScript &) { return m_data.value(index++); });
}

ReportDocument ReportRun::run(const ReportDefinition &definition, const DataSource &data) const
{
    // A layout wider than the paper is laid out larger and scaled down to it.
    const qreal fit = ReportPageFit::scaleFor(definition);
    if (fit < 1) {
        ReportDocument document = runOn(ReportPageFit::enlarged(definition, fit), data);
        ReportPageFit::scaleDown(document, fit);
        document.pageLayout = definition.pageLayout();
        return document;
    }
    return runOn(definition, data);
}

ReportDocument ReportRun::runOn(const ReportDefinition &definition, const DataSource &data) const
{
    QStringList datasetNames;
    for (const ReportDatasetDefinition &dataset : definition.datasets)
        datasetNames.append(dataset.name);
    ReportScript script(datasetNames);
    script.setFunctionHandler(m_handler);
    // The host's variables replace the definition's own of the same name.
    for (const ReportDefinition::Variable &defined : definition.variables) {
        if (variable(defined.name).isEmpty())
            script.setVariable(defined.name, defined.expression, {QStringLiteral("variable %1").arg(defined.name), defined.line});
    }
    for (const auto &[name, expression] : m_variables) {
        if (expression.trimmed().isEmpty())
            continue;
        script.setVariable(name, expression, {QStringLiteral("variable %1").arg(name), 0});
    }
    ReportLayoutEngine layout(definition, script);
    layout.compile();
    for (const ReportDatasetDefinition &dataset : definition.datasets)
        script.setDataset(dataset.name, data(dataset, script));
    // Free field names read the master band's dataset, or the only dataset of a report without one.
    if (const ReportBandDefinition *master = definition.band(ReportBandDefinition::Kind::MasterData))
        script.setMasterDataset(master->dataset);
    else if (!definition.datasets.isEmpty())
        script.setMasterDataset(definition.datasets.first().name);
    return layout.run();
}

} // namespace platform
