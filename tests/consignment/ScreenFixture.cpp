#include "ScreenFixture.h"

#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "data/Dm_Config.h"
#include "data/LaunchParameters.h"
#include "data/U_DM.h"
#include "db/DemoData.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/ui/ExceptionRouter.h"
#include "platform/ui/ScriptedDialogService.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>

ScreenFixture::ScreenFixture()
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
    ExceptionRouter::setHandler([this](const QString &message) { m_errors << message; });

    // As the program's entry creates and connects them.
    DMConfig = new TDMConfig;
    DM = new TDM;
    DMConfig->CheckRight(1, 1);
    DMConfig->GetCompanyConfig(launchParameter(3));
    DM->DMdata->open();
}

ScreenFixture::~ScreenFixture()
{
    closeScreen();
    delete DM;
    DM = nullptr;
    delete DMConfig;
    DMConfig = nullptr;
    ExceptionRouter::setHandler({});
    m_dialogs.reset();
    QDir::setCurrent(m_oldDir);
}

TFrTarvoAdjAndConsignment *ScreenFixture::openScreen(int userId, bool activate)
{
    closeScreen();
    m_screen = new TFrTarvoAdjAndConsignment;
    m_screen->UserId = userId;
    m_screen->show();
    if (!activate)
        return m_screen;
    m_screen->activateWindow();
    if (!QTest::qWaitForWindowActive(m_screen))
        qWarning("the screen did not become active");
    return m_screen;
}

void ScreenFixture::closeScreen()
{
    delete m_screen;
    m_screen = nullptr;
    settle();
}

int ScreenFixture::firstUnitOf(int product)
{
    return m_dbs->scalar(QStringLiteral("Select Min(Id) From ProductUnits Where Product = %1").arg(product)).toInt();
}

QString ScreenFixture::barcodeOfProduct(int product)
{
    return DemoData::barcodeOfUnit(firstUnitOf(product));
}

int ScreenFixture::consignmentCount()
{
    return m_dbs->scalar(QStringLiteral("Select Count(*) From Tarvo_Consignment")).toInt();
}

QVariantMap ScreenFixture::lastLine()
{
    Query q(&m_dbs->company());
    q.setSql({QStringLiteral("Select UserCode, UserKeyIn, Customer, ConsigType, Barcode, SerialNumber, Quantity, Price,"
                             " ChkFree, OldPrice, ConsigDate From Tarvo_Consignment Order By Id Desc Limit 1")});
    q.open();
    QVariantMap row;
    for (int c = 0; c < q.fieldNames().size(); ++c)
        row.insert(q.fieldNames().at(c), q.value(0, c));
    return row;
}

