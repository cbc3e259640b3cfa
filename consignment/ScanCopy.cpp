#include "consignment/ScanCopy.h"

#include "consignment/Fr_TarvoAdjAndConsignmentSql.h"
#include "consignment/ScanCopySql.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"

#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <functional>

using namespace platform;

namespace {

const QString refreshedKey = QStringLiteral("RefreshedAt");

void createSchema(const LocalSqliteFile &file)
{
    file.execScript(ScanCopySql::CreateSchema);
}

// Streams a company statement's rows (no parameters) to a row handler, forward only.
void readCompany(Database &company, const Statement &statement, const std::function<void(const QSqlQuery &)> &row)
{
    company.ensureOpen();
    QSqlQuery q(company.sqlDatabase());
    q.setForwardOnly(true);
    if (!q.exec(statement.lines(company.dialect()).join(u'\n')))
        throw EDatabaseError(Database::errorText(q.lastError()));
    while (q.next())
        row(q);
}

} // namespace

ScanCopy::ScanCopy(const QString &file)
    : m_file(file, QStringLiteral("scan"), LocalSqliteFile::Sync::Normal)
{
    createSchema(m_file);
}

std::optional<ScanProduct> ScanCopy::product(const QString &barcode) const
{
    QSqlQuery q = m_file.exec(ScanCopySql::LookUp, {barcode});
    if (!q.next())
        return std::nullopt;
    return ScanProduct{q.value(0).toString(),
                       q.value(1).toString(),
                       q.value(2).toString(),
                       q.value(3).toString(),
                       q.value(4).toString(),
                       q.value(5).toDouble(),
                       q.value(6).toString() == QLatin1String("Y")};
}

QList<ScanBranch> ScanCopy::branches() const
{
    QSqlQuery q = m_file.exec(ScanCopySql::Branches);
    QList<ScanBranch> list;
    while (q.next())
        list << ScanBranch{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toInt()};
    return list;
}

bool ScanCopy::serialOnSale(int customer, const QString &productCode, const QString &serialNumber) const
{
    return m_file.scalar(ScanCopySql::SerialOnSale, {customer, productCode, serialNumber}).toInt() > 0;
}

QDateTime ScanCopy::refreshedAt() const
{
    const QVariant at = m_file.scalar(ScanCopySql::Info, {refreshedKey});
    return at.isNull() ? QDateTime() : QDateTime::fromString(at.toString(), Qt::ISODateWithMs);
}

ScanCopyRefresh ScanCopy::refresh(Database &company, const QString &file)
{
    const LocalSqliteFile local(file, QStringLiteral("scan-refresh"), LocalSqliteFile::Sync::Normal);
    createSchema(local);
    ScanCopyRefresh result;
    QElapsedTimer t;
    t.start();

    // The shadow tables are filled in one transaction: a reader goes on reading the tables in use.
    local.begin();
    try {
        local.execScript(ScanCopySql::CreateShadows);
        QSqlQuery barcode = local.prepare(ScanCopySql::InsertBarcode);
        readCompany(company, ScanCopySql::CompanyBarcodes, [&](const QSqlQuery &r) {
            LocalSqliteFile::run(barcode,
                                 {r.value(0).toString(), ++result.barcodes, r.value(1).toString(), r.value(2).toString(),
                                  r.value(4).toString(), r.value(3).toString(), r.value(5).toDouble(), r.value(6).toString()});
        });
        QSqlQuery branch = local.prepare(ScanCopySql::InsertBranch);
        readCompany(company, ConsignmentSql::QBranch, [&](const QSqlQuery &r) {
            LocalSqliteFile::run(
                branch,
                {++result.branches, r.value(0).toString(), r.value(1).toString(), r.value(2).toString(), r.value(3).toInt()});
        });
        QSqlQuery serial = local.prepare(ScanCopySql::InsertSerial);
        readCompany(company, ScanCopySql::CompanySerials, [&](const QSqlQuery &r) {
            ++result.serials;
            LocalSqliteFile::run(serial, {r.value(0).toInt(), r.value(1).toString(), r.value(2).toString()});
        });
        local.commit();
    } catch (...) {
        local.rollback();
        throw;
    }
    result.readMs = t.restart();

    result.refreshedAt = QDateTime::currentDateTimeUtc();
    local.begin();
    try {
        local.execScript(ScanCopySql::Swap);
        local.exec(ScanCopySql::SetInfo, {refreshedKey, result.refreshedAt.toString(Qt::ISODateWithMs)});
        local.exec(ScanCopySql::SetInfo, {QStringLiteral("Barcodes"), result.barcodes});
        local.exec(ScanCopySql::SetInfo, {QStringLiteral("Branches"), result.branches});
        local.exec(ScanCopySql::SetInfo, {QStringLiteral("Serials"), result.serials});
        local.commit();
    } catch (...) {
        local.rollback();
        throw;
    }
    result.swapMs = t.elapsed();
    return result;
}
