#pragma once

#include "support/TempDir.h"

#include <QDate>
#include <QList>
#include <QVariantMap>
#include <memory>

namespace platform {
class Database;
}

// Fresh demo databases built by the same set-up as tarvo-dbinit, in a temporary folder, with a
// configuration and a company connection open on them.
class DemoDatabases
{
public:
    explicit DemoDatabases(bool withDemoData = true);
    ~DemoDatabases();

    QString dir() const { return m_dirs.dir(); }
    QString server() const { return m_dirs.server(); }
    platform::Database &config() { return *m_config; }
    platform::Database &company() { return *m_company; }

    // Writes the folder's Server.Dat, which the program reads from its working directory: the
    // line naming these databases, or the content given.
    void writeServerDat(const QByteArray &content = QByteArray()) const;

    // Runs a query and returns the first column of the first row.
    static QVariant scalar(platform::Database &db, const QString &sql);
    QVariant scalar(const QString &sql) { return scalar(*m_company, sql); }

    // The demo data's first unit of a product, and that unit's barcode.
    int firstUnitOf(int product);
    QString barcodeOfProduct(int product);

    // The consignment lines stored on the company database: how many, and the one with the
    // highest id (the eleven values of the save call, by name), or the last count, oldest first.
    int consignmentCount();
    QVariantMap lastLine();
    QList<QVariantMap> lastLines(int count);

    // What the database file alone holds (a backup of it, say): the file, and none of the
    // engine's files beside it, is copied to a folder of its own and the query runs there.
    static QVariant scalarInCopyOf(const QString &file, const QString &sql);

private:
    TempDatabases m_dirs;
    std::unique_ptr<platform::Database> m_config;
    std::unique_ptr<platform::Database> m_company;
};
