#include "support/DemoDatabases.h"

#include "db/ServerObjects.h"
#include "db/setup/DemoData.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "tools/DbInit.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace platform;

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

int DemoDatabases::firstUnitOf(int product)
{
    return scalar(QStringLiteral("Select Min(Id) From ProductUnits Where Product = %1").arg(product)).toInt();
}

QString DemoDatabases::barcodeOfProduct(int product)
{
    return DemoData::barcodeOfUnit(firstUnitOf(product));
}

int DemoDatabases::consignmentCount()
{
    return scalar(QStringLiteral("Select Count(*) From Tarvo_Consignment")).toInt();
}

QVariantMap DemoDatabases::lastLine()
{
    return lastLines(1).value(0);
}

QList<QVariantMap> DemoDatabases::lastLines(int count)
{
    Query q(m_company.get());
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
