#include "platform/report/ReportEngine.h"

#include "platform/report/ReportError.h"
#include "platform/report/ReportMessages.h"

#include <QFileInfo>

namespace platform {

ReportEngine::ReportEngine(QObject *parent)
    : QObject(parent)
{}

ReportEngine::~ReportEngine() = default;

bool ReportEngine::loadFromFile(const QString &path)
{
    m_prepared = false;
    m_document = ReportDocument();
    m_run.reset();
    m_path = path;
    m_load = ReportDefinitionLoader::loadFile(path);
    if (m_load.ok() && m_load.definition.name.isEmpty())
        m_load.definition.name = QFileInfo(path).completeBaseName();
    if (!m_load.ok())
        m_load.definition = ReportDefinition();
    return m_load.ok();
}

QString ReportEngine::loadError() const
{
    switch (m_load.fault) {
    case ReportDefinitionLoader::Fault::None:
        return QString();
    case ReportDefinitionLoader::Fault::CannotOpen:
        return ReportMessages::cannotOpen(m_language, m_path);
    case ReportDefinitionLoader::Fault::Invalid:
        break;
    }
    if (m_path.isEmpty())
        return ReportMessages::noDefinition(m_language);
    return ReportMessages::badDefinition(m_language, m_path, m_load.line, m_load.cause);
}

void ReportEngine::clear()
{
    m_path.clear();
    m_load = ReportDefinitionLoader::Result();
    m_variables.clear();
    m_document = ReportDocument();
    m_run.reset();
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

QPageLayout ReportEngine::pageLayout() const
{
    return m_chosenPage.isValid() ? m_chosenPage : m_load.definition.pageLayout();
}

ReportPrepareResult ReportEngine::prepare()
{
    m_prepared = false;
    m_document = ReportDocument();
    m_run.reset();
    if (!isLoaded())
        return {false, loadError()};
    ReportDefinition definition = m_load.definition;
    if (m_chosenPage.isValid())
        definition.setPageLayout(m_chosenPage);
    auto run = std::make_shared<ReportRun>(definition, m_variables, m_handler);
    try {
        m_document = run->prepare(m_provider);
    } catch (const ReportError &error) {
        return {false, ReportMessages::cannotPrepare(m_language, m_path, error.message())};
    }
    m_run = run;
    m_prepared = true;
    return {true, QString()};
}

void ReportEngine::exportTo(ReportExport::Format format, const QString &path) const
{
    ReportExport::write(m_document, format, path, m_language);
}

} // namespace platform
