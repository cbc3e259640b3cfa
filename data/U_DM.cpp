#include "data/U_DM.h"

#include "data/ConnectionParams.h"
#include "data/Dm_Config.h"
#include "data/LaunchContext.h"
#include "data/LaunchParameters.h"
#include "data/U_DMSql.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/sql/StoredProc.h"
#include "text/OnhandQuantity.h"

#include <optional>

using namespace platform;

TDM *DM = nullptr;

TDM::TDM(QObject *parent)
    : QObject(parent)
    , DMdata(new Database(QStringLiteral("DMDATA"), this))
    , QConfig(new Query(DMdata, this))
    , QchkPeriod(new Query(DMdata, this))
    , QProgramSetup(new Query(DMdata, this))
    , QUnitFraction(new Query(DMdata, this))
    , SpAddLog(new StoredProc(DMdata, QStringLiteral("UserAddLog"), this))
    , SpServerTime(new StoredProc(DMdata, QStringLiteral("ServerTime"), this))
{
    DMdata->beforeConnect = [this](Database &db) { DMdataBeforeConnect(db); };
    DMdata->afterConnect = [this](Database &db) { DMdataAfterConnect(db); };
    QConfig->setStatement(UDMSql::QConfig);
    QchkPeriod->setStatement(UDMSql::QchkPeriod);
    QProgramSetup->setStatement(UDMSql::QProgramSetup);
    QUnitFraction->setStatement(UDMSql::QUnitFraction);

    using D = StoredProc::Direction;
    SpAddLog->addParam(QStringLiteral("Result"), QMetaType::Int, D::Result);
    SpAddLog->addParam(QStringLiteral("@UserId"), QMetaType::Int, D::Input);
    SpAddLog->addParam(QStringLiteral("@MenuId"), QMetaType::Int, D::Input);
    SpAddLog->addParam(QStringLiteral("@FunctionListId"), QMetaType::Int, D::Input);
    SpAddLog->addParam(QStringLiteral("@DocumentId"), QMetaType::Int, D::Input);
    SpAddLog->addParam(QStringLiteral("@Remark"), QMetaType::QString, D::Input);
    SpServerTime->addParam(QStringLiteral("Result"), QMetaType::Int, D::Result);
    SpServerTime->addParam(QStringLiteral("@ServerTime"), QMetaType::QDateTime, D::Output);
}

TDM::~TDM()
{
    if (DM == this)
        DM = nullptr;
}

void TDM::DMdataBeforeConnect(Database &db)
{
    QString server = TDMConfig::ReadServerName();
    if (server.isEmpty())
        server = QStringLiteral("QLM");
    db.params = connectionParams(launchParameter(3).trimmed(), server);
}

void TDM::DMdataAfterConnect(Database &)
{
    OpenSettings();
    QProgramSetup->close();
    QProgramSetup->open();
    auto flag = [this](const char *column) {
        return QConfig->fieldByName(QLatin1String(column)).asString() == QLatin1String("Y");
    };
    IvRefSO = flag("IvRefSO");
    MrRefPO = flag("MrRefPO");
    EditPricePO = flag("EditPricePO");
    ShowProductPriceList = flag("ShowProductPriceList");
    if (!m_splashFreed) {
        m_splashFreed = true;
        if (freeSplash)
            freeSplash();
    }
}

void TDM::OpenSettings()
{
    QConfig->close();
    QConfig->open();
    QchkPeriod->close();
    QchkPeriod->open();
}

void TDM::AddUserLog(int actionCode, int documentId, const QString &remark)
{
    SpAddLog->setParam(QStringLiteral("@UserId"), launchContext().UserId);
    SpAddLog->setParam(QStringLiteral("@MenuId"), launchContext().MenuId);
    SpAddLog->setParam(QStringLiteral("@FunctionListId"), actionCode);
    SpAddLog->setParam(QStringLiteral("@DocumentId"), documentId);
    SpAddLog->setParam(QStringLiteral("@Remark"), remark);
    SpAddLog->execProc();
}

QDateTime TDM::GetServerTime()
{
    SpServerTime->close();
    SpServerTime->execProc();
    return SpServerTime->paramValue(QStringLiteral("@ServerTime")).toDateTime();
}

namespace {

// Looks the unit up again on every call and leaves the query open.
std::optional<UnitFractionRow> unitRow(Query *q, int unitId)
{
    q->close();
    q->setParam(QStringLiteral("GetUnit"), unitId);
    q->open();
    if (q->isEmpty())
        return std::nullopt;
    q->first();
    return UnitFractionRow{q->fieldByName(QStringLiteral("LUnit")).asString(),
                           q->fieldByName(QStringLiteral("Fraction")).asLargeInt(),
                           q->fieldByName(QStringLiteral("SUnit")).asString()};
}

} // namespace

QString TDM::OnhandQuantityText(int unitId, double quantity)
{
    const std::optional<UnitFractionRow> row = unitRow(QUnitFraction, unitId);
    if (!QConfig->isOpen())
        QConfig->open();
    OnhandSettings settings;
    const Field decimals = QConfig->fieldByName(QStringLiteral("OnhandDecimal"));
    if (!decimals.isNull())
        settings.onhandDecimal = decimals.asInteger();
    settings.unitLeft = QConfig->fieldByName(QStringLiteral("UnitLeft")).asString();
    settings.unitRight = QConfig->fieldByName(QStringLiteral("UnitRight")).asString();
    return onhandQuantityText(row ? &*row : nullptr, settings, quantity);
}

QString TDM::OnhandQuantityLSUnitText(int unitId, int part, double quantity)
{
    const std::optional<UnitFractionRow> row = unitRow(QUnitFraction, unitId);
    return onhandQuantityLSUnitText(row ? &*row : nullptr, part, quantity);
}
