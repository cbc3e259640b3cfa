#include "platform/report/ReportEngine.h"

#include "platform/report/ReportDataProvider.h"
#include "platform/report/ReportDefinitionLoader.h"
#include "platform/report/ReportError.h"
#include "platform/report/ReportLayoutEngine.h"
#include "platform/report/ReportPreviewWindow.h"
#include "platform/report/ReportPrinter.h"
#include "platform/report/ReportScript.h"
#include "platform/report/ReportSqlParameters.h"

#include <QFileInfo>
#include <QPrinter>

ReportEngine::ReportEngine(QObject *parent)
    : QObject(parent)
{
}

ReportEngine::~ReportEngine() = default;

bool ReportEngine::loadFromFile(const QString &path)
{
    m_prepared = false;
    m_document = ReportDocument();
    ReportDefinitionLoader::Result result = ReportDefinitionLoader::loadFile(path);
    m_loaded = result.ok;
    m_loadError = result.ok ? QString() : result.error;
    m_definition = result.ok ? result.definition : ReportDefinition();
    if (result.ok && m_definition.name.isEmpty())
        m_definition.name = QFileInfo(path).completeBaseName();
    return result.ok;
}

void ReportEngine::clear()
{
    m_definition = ReportDefinition();
    m_loaded = false;
    m_loadError.clear();
    m_variables.clear();
    m_document = ReportDocument();
    m_prepared = false;
}

void ReportEngine::setVariable(const QString &name, const QString &expression)
{
    for (auto &variable : m_variables) {
        if (variable.first.compare(name, Qt::CaseInsensitive) == 0) {
            variable.second = expression;
            return;
        }
    }
    m_variables.append({name, expression});
}

QString ReportEngine::variable(const QString &name) const
{
    for (const auto &variable : m_variables) {
        if (variable.first.compare(name, Qt::CaseInsensitive) == 0)
            return variable.second;
    }
    return QString();
}

void ReportEngine::setDataProvider(ReportDataProvider *provider)
{
    m_provider = provider;
}

void ReportEngine::setFunctionHandler(ReportFunctionHandler handler)
{
    m_handler = std::move(handler);
}

QVariantMap ReportEngine::datasetParameters(const ReportDatasetDefinition &dataset, ReportScript &script) const
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

ReportPrepareResult ReportEngine::prepare()
{
    m_prepared = false;
    m_document = ReportDocument();
    if (!m_loaded) {
        return {false, m_loadError.isEmpty() ? QStringLiteral("No report definition has been loaded") : m_loadError};
    }
    QStringList datasetNames;
    for (const ReportDatasetDefinition &dataset : m_definition.datasets)
        datasetNames.append(dataset.name);
    ReportScript script(datasetNames);
    script.setFunctionHandler(m_handler);
    try {
        // The host's variables replace the definition's own of the same name.
        for (const ReportDefinition::Variable &defined : m_definition.variables) {
            if (variable(defined.name).isEmpty())
                script.setVariable(defined.name, defined.expression,
                                   {QStringLiteral("variable %1").arg(defined.name), defined.line});
        }
        for (const auto &[name, expression] : std::as_const(m_variables)) {
            if (expression.trimmed().isEmpty())
                continue;
            script.setVariable(name, expression, {QStringLiteral("variable %1").arg(name), 0});
        }
        ReportLayoutEngine layout(m_definition, script);
        layout.compile();
        for (const ReportDatasetDefinition &dataset : m_definition.datasets) {
            if (!m_provider)
                throw ReportError(QStringLiteral("Line %1: dataset %2: no data provider has been given")
                                      .arg(dataset.line)
                                      .arg(dataset.name));
            const QVariantMap parameters = datasetParameters(dataset, script);
            script.setDataset(dataset.name, m_provider->fetch(dataset.sql, dataset.alternativeSql, parameters));
        }
        // Free field names read the master band's dataset, or the only dataset of a report
        // without one.
        if (const ReportBandDefinition *master = m_definition.band(ReportBandDefinition::Kind::MasterData))
            script.setMasterDataset(master->dataset);
        else if (!m_definition.datasets.isEmpty())
            script.setMasterDataset(m_definition.datasets.first().name);
        m_document = layout.run();
    } catch (const ReportError &error) {
        m_document = ReportDocument();
        return {false, error.message()};
    }
    m_prepared = true;
    return {true, QString()};
}

ReportPreviewWindow *ReportEngine::showPreview(QWidget *parent)
{
    if (!m_prepared)
        return nullptr;
    printer();
    auto *window = new ReportPreviewWindow(m_document, m_printer, parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

ReportPrepareResult ReportEngine::showReport(QWidget *parent)
{
    ReportPrepareResult result = prepare();
    if (result.ok)
        showPreview(parent);
    return result;
}

QPrinter &ReportEngine::printer()
{
    if (!m_printer)
        m_printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

int ReportEngine::printPreparedReport(const ReportPrintOptions &options)
{
    if (!m_prepared)
        return 0;
    return ReportPrinter::print(m_document, printer(), options);
}

void ReportEngine::exportTo(ReportExport::Format format, const QString &path) const
{
    ReportExport::write(m_document, format, path);
}
