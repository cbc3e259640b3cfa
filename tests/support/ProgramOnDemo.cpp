#include "support/ProgramOnDemo.h"

#include "data/Dm_Config.h"
#include "data/LaunchParameters.h"
#include "data/U_DM.h"
#include "db/DemoData.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/ui/ScriptedDialogService.h"

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
    return m_dbs->scalar(QStringLiteral("Select Min(Id) From ProductUnits Where Product = %1").arg(product)).toInt();
}

QString ProgramOnDemo::barcodeOfProduct(int product)
{
    return DemoData::barcodeOfUnit(firstUnitOf(product));
}

int ProgramOnDemo::consignmentCount()
{
    return m_dbs->scalar(QStringLiteral("Select Count(*) From Tarvo_Consignment")).toInt();
}

QVariantMap ProgramOnDemo::lastLine()
{
    return lastLines(1).value(0);
}

QList<QVariantMap> ProgramOnDemo::lastLines(int count)
{
    Query q(&m_dbs->company());
    q.setSql({QStringLiteral("Select UserCode, UserKeyIn, Customer, ConsigType, Barcode, SerialNumber, Quantity, Price,"
                             " ChkFree, OldPrice, ConsigDate From Tarvo_Consignment Order By Id Desc Limit %1")
                  .arg(count)});
    q.open();
    QList<QVariantMap> lines;
    for (int r = q.recordCount() - 1; r >= 0; --r) {
        QVariantMap row;
        for (int c = 0; c < q.fieldNames().size(); ++c)
            row.insert(q.fieldNames().at(c), q.value(r, c));
        lines << row;
    }
    return lines;
}
