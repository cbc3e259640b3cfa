#include "data/Dm_Config.h"

#include "data/ConnectionParams.h"
#include "data/Dm_ConfigSql.h"
#include "data/HostInfo.h"
#include "data/ProgramEnd.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/sql/SqlScript.h"
#include "platform/sql/StoredProc.h"

#include <QFile>

using namespace platform;

TDMConfig *DMConfig = nullptr;

TDMConfig::TDMConfig(QObject *parent)
    : QObject(parent)
    , DmCfg(new Database(QStringLiteral("DmCfg"), this))
    , QCompanyConfig(new Query(DmCfg, this))
    , QCompany(new Query(DmCfg, this))
    , QSoftware(new Query(DmCfg, this))
    , QUser(new Query(DmCfg, this))
    , SpMenuCaption(new StoredProc(DmCfg, QStringLiteral("MENUCAPTION"), this))
    , SpErrorLog(new StoredProc(DmCfg, QStringLiteral("AddErrorLog"), this))
{
    DmCfg->beforeConnect = [this](Database &db) { DmCfgBeforeConnect(db); };
    DmCfg->afterConnect = [this](Database &db) { DmCfgAfterConnect(db); };
    QCompanyConfig->setStatement(DmConfigSql::QCompanyConfig);
    QCompany->setStatement(DmConfigSql::QCompany);
    QSoftware->setStatement(DmConfigSql::QSoftware);
    QUser->setStatement(DmConfigSql::QUser);

    using D = StoredProc::Direction;
    SpMenuCaption->addParam(QStringLiteral("Result"), QMetaType::Int, D::Result);
    SpMenuCaption->addParam(QStringLiteral("@MENUID"), QMetaType::Int, D::Input);
    SpMenuCaption->addParam(QStringLiteral("@USERID"), QMetaType::Int, D::Input);
    for (const char *name : {"@CAPTION", "@ACCESS_R", "@ADD_R", "@MODIFY_R", "@DELETE_R", "@USERCODE"})
        SpMenuCaption->addParam(QLatin1String(name), QMetaType::QString, D::Output);
    SpMenuCaption->addParam(QStringLiteral("@SALESID"), QMetaType::Int, D::Output);

    SpErrorLog->addParam(QStringLiteral("Result"), QMetaType::Int, D::Result);
    SpErrorLog->addParam(QStringLiteral("@CompName"), QMetaType::QString, D::Input);
    SpErrorLog->addParam(QStringLiteral("@LogName"), QMetaType::QString, D::Input);
    SpErrorLog->addParam(QStringLiteral("@UserId"), QMetaType::Int, D::Input);
    SpErrorLog->addParam(QStringLiteral("@MenuId"), QMetaType::Int, D::Input);
    SpErrorLog->addParam(QStringLiteral("@ErrorMsg"), QMetaType::QString, D::Input);

    context() = LaunchContext();
}

TDMConfig::~TDMConfig()
{
    if (DMConfig == this)
        DMConfig = nullptr;
}

QString TDMConfig::ReadServerName()
{
    QFile file(QStringLiteral("Server.Dat"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QByteArray line;
    while (true) {
        char c;
        const qint64 n = file.read(&c, 1);
        if (n < 0)
            throw EInOutError(QStringLiteral("I/O error reading Server.Dat: %1").arg(file.errorString()));
        if (n == 0 || c == '\n')
            break;
        line += c;
    }
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromLocal8Bit(line);
}

void TDMConfig::DmCfgBeforeConnect(Database &db)
{
    QString server = ReadServerName();
    if (server.isEmpty())
        server = QStringLiteral("QLM");
    db.params = connectionParams(QStringLiteral("QLM_CONFIG"), server);
}

void TDMConfig::runMenuVersionScript()
{
    if (DmCfg->dialect() == SqlDialect::SqlServer) {
        SqlScript SQLUpdate(DmCfg);
        SQLUpdate.lines = DmConfigSql::SQLUpdateMenuVersion.tsql;
        SQLUpdate.lines << QStringLiteral("/");
        SQLUpdate.lines += DmConfigSql::SQLUpdateMenuFill.tsql;
        SQLUpdate.execute();
        return;
    }
    // The embedded engine has no system tables of that shape: the same two steps, checked here.
    Query has(DmCfg);
    has.setStatement(DmConfigSql::MenuVersionColumn);
    has.open();
    if (has.fieldByName(QStringLiteral("N")).asInteger() == 0) {
        Query add(DmCfg);
        add.setStatement(DmConfigSql::AddMenuVersion);
        add.execSql();
    }
    Query fill(DmCfg);
    fill.setStatement(DmConfigSql::SQLUpdateMenuFill);
    fill.execSql();
}

void TDMConfig::DmCfgAfterConnect(Database &)
{
    runMenuVersionScript();
    QSoftware->close();
    QSoftware->open();
}

void TDMConfig::CheckRight(int menuId, int userId)
{
    LaunchContext &c = context();
    c.MenuId = menuId;
    c.UserId = userId;
    SpMenuCaption->close();
    SpMenuCaption->setParam(QStringLiteral("@MENUID"), menuId);
    SpMenuCaption->setParam(QStringLiteral("@USERID"), userId);
    SpMenuCaption->execProc();
    c.MenuCaption = SpMenuCaption->paramValue(QStringLiteral("@CAPTION")).toString().trimmed();
    c.UserCode = SpMenuCaption->paramValue(QStringLiteral("@USERCODE")).toString();
    c.AccessRight = SpMenuCaption->paramValue(QStringLiteral("@ACCESS_R")).toString() == QLatin1String("Y");
    SpMenuCaption->close();

    QUser->close();
    QUser->setParam(QStringLiteral("uid"), userId);
    QUser->open();
    c.ThaiLanguage = !QUser->isEmpty() && !QUser->fieldByName(QStringLiteral("LanguageNo")).isNull() &&
        QUser->fieldByName(QStringLiteral("LanguageNo")).asInteger() == 1;
    QUser->close();
}

void TDMConfig::GetCompanyConfig(const QString &name)
{
    const QString upper = name.toUpper();
    QCompanyConfig->close();
    QCompanyConfig->setParam(QStringLiteral("GetName"), upper);
    QCompanyConfig->open();
    if (QCompanyConfig->isEmpty()) {
        if (showMessage)
            showMessage(QStringLiteral("Not Found Database : ") + upper);
        throw ProgramEnd{1};
    }
    context().CompanyDatabase = upper;
    context().CompanyNameThai = QCompanyConfig->fieldByName(QStringLiteral("NameThai")).asString();
    QCompany->close();
    QCompany->setParam(QStringLiteral("GetName"), upper);
    QCompany->open();
    if (!QSoftware->isOpen())
        QSoftware->open();
}

void TDMConfig::WriteErrorLog(const QString &message)
{
    SpErrorLog->close();
    SpErrorLog->setParam(QStringLiteral("@CompName"), HostInfo::computerName());
    SpErrorLog->setParam(QStringLiteral("@LogName"), HostInfo::logOnName());
    SpErrorLog->setParam(QStringLiteral("@UserId"), context().UserId);
    SpErrorLog->setParam(QStringLiteral("@MenuId"), context().MenuId);
    SpErrorLog->setParam(QStringLiteral("@ErrorMsg"), message);
    SpErrorLog->execProc();
}
