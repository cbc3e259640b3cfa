#include "support/DemoDatabases.h"

#include "db/ServerObjects.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "tools/DbInit.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

DemoDatabases::DemoDatabases(bool withDemoData)
{
    DbInitOptions options;
    options.server = m_dirs.server();
    options.demo = withDemoData;
    options.iniPath.clear();
    runDbInit(options);
    registerServerObjects();
    m_config = std::make_unique<Database>(QStringLiteral("DmCfg"));
    m_config->params = dbInitParams(m_dirs.server(), QStringLiteral("QLM_CONFIG"));
    m_company = std::make_unique<Database>(QStringLiteral("DMDATA"));
    m_company->params = dbInitParams(m_dirs.server(), QStringLiteral("DEMO"));
}

DemoDatabases::~DemoDatabases() = default;

QVariant DemoDatabases::scalar(Database &db, const QString &sql)
{
    Query q(&db);
    q.setSql({sql});
    q.open();
    return q.isEmpty() ? QVariant() : q.value(0, 0);
}

QVariant DemoDatabases::scalarInCopyOf(const QString &file, const QString &sql)
{
    QTemporaryDir folder;
    const QFileInfo info(file);
    if (!QFile::copy(file, folder.filePath(info.fileName())))
        qFatal("cannot copy %s", qPrintable(file));
    Database copy(QStringLiteral("COPY"));
    copy.params = dbInitParams(QStringLiteral("sqlite:") + folder.path(), info.completeBaseName());
    return scalar(copy, sql);
}

void DemoDatabases::writeServerDat(const QByteArray &content) const
{
    QFile f(dir() + QStringLiteral("/Server.Dat"));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(f.fileName()));
    f.write(content.isNull() ? server().toUtf8() + "\r\n" : content);
}
