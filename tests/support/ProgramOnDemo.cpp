#include "support/ProgramOnDemo.h"

#include "data/Dm_Config.h"
#include "data/LaunchParameters.h"
#include "data/U_DM.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "support/ScriptedDialogService.h"

#include <QDir>
#include <QFile>

namespace {

void setLaunch(const ProgramLaunch &launch)
{
    setLaunchParameters({QStringLiteral("tarvo-consignment"), QString::number(launch.menu), QString::number(launch.user),
                         QStringLiteral("DEMO"), QStringLiteral("-"), QString::number(launch.selector)});
}

} // namespace

ProgramOnDemo::ProgramOnDemo(const std::function<void()> &wire, const Launch &launch)
    : m_dbs(std::make_unique<DemoDatabases>())
{
    m_oldDir = QDir::currentPath();
    QDir::setCurrent(m_dbs->dir());
    m_dbs->writeServerDat();
    m_dialogs = std::make_unique<ScriptedDialogService>();
    startProgram(launch, wire);
}

void startProgram(const ProgramLaunch &launch, const std::function<void()> &wire)
{
    setLaunch(launch);
    DMConfig = new TDMConfig;
    DM = new TDM;
    if (wire)
        wire();
    DMConfig->CheckRight(launch.menu, launch.user);
    DMConfig->GetCompanyConfig(launchParameter(3));
    DM->DMdata->open();
}

void endProgram()
{
    delete DM;
    DM = nullptr;
    delete DMConfig;
    DMConfig = nullptr;
}

void ProgramOnDemo::signIn(const Launch &launch)
{
    setLaunch(launch);
    DMConfig->CheckRight(launch.menu, launch.user);
}

void ProgramOnDemo::setLanguage(int userId, int languageNo)
{
    m_dbs->config().execute(QStringLiteral("update Username set LanguageNo = %1 where Id = %2").arg(languageNo).arg(userId));
}

void ProgramOnDemo::copyReportDefinitions()
{
    const QString source = qEnvironmentVariable("TARVO_SOURCE_DIR");
    for (const QString &folder :
         {source + QStringLiteral("/reports/definitions"), source + QStringLiteral("/tests/reports/definitions")})
        for (const QString &file : QDir(folder).entryList({QStringLiteral("*.frf")}, QDir::Files))
            if (!QFile::copy(folder + u'/' + file, dir() + u'/' + file))
                qFatal("cannot copy %s", qPrintable(file));
}

ProgramOnDemo::~ProgramOnDemo()
{
    endProgram();
    m_dialogs.reset();
    QDir::setCurrent(m_oldDir);
}

int ProgramOnDemo::firstUnitOf(int product)
{
    return m_dbs->firstUnitOf(product);
}

QString ProgramOnDemo::barcodeOfProduct(int product)
{
    return m_dbs->barcodeOfProduct(product);
}

int ProgramOnDemo::consignmentCount()
{
    return m_dbs->consignmentCount();
}

QVariantMap ProgramOnDemo::lastLine()
{
    return m_dbs->lastLine();
}

QList<QVariantMap> ProgramOnDemo::lastLines(int count)
{
    return m_dbs->lastLines(count);
}
