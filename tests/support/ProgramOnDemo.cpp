#include "support/ProgramOnDemo.h"

#include "consignment/Fr_TarvoAdjAndConsignmentSql.h"
#include "data/Dm_Config.h"
#include "data/LaunchParameters.h"
#include "data/U_DM.h"
#include "db/DemoData.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/ui/ScriptedDialogService.h"

#include <QDir>
#include <QFile>

ProgramOnDemo::ProgramOnDemo(const std::function<void()> &wire)
    : m_dbs(std::make_unique<DemoDatabases>())
{
    m_oldDir = QDir::currentPath();
    QDir::setCurrent(m_dbs->dir());
    QFile server(QStringLiteral("Server.Dat"));
    if (!server.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write Server.Dat");
    server.write(m_dbs->server().toUtf8() + "\r\n");
    server.close();
    setLaunchParameters({QStringLiteral("tarvo-consignment"), QStringLiteral("1"), QStringLiteral("1"),
                         QStringLiteral("DEMO"), QStringLiteral("-"), QStringLiteral("1")});

    m_dialogs = std::make_unique<ScriptedDialogService>();

    // As the program's entry creates and connects them.
    DMConfig = new TDMConfig;
    DM = new TDM;
    if (wire)
        wire();
    DMConfig->CheckRight(1, 1);
    DMConfig->GetCompanyConfig(launchParameter(3));
    DM->DMdata->open();
}

ProgramOnDemo::~ProgramOnDemo()
{
    delete DM;
    DM = nullptr;
    delete DMConfig;
    DMConfig = nullptr;
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

double ProgramOnDemo::listPrice(const QString &barcode)
{
    Query q(&m_dbs->company());
    q.setStatement(ConsignmentSql::QProduct);
    q.setParam(QStringLiteral("Barcode"), barcode);
    q.open();
    q.last();
    return q.fieldByName(QStringLiteral("Price")).asFloat();
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
