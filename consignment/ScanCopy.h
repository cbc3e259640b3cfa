#pragma once

#include "consignment/LocalSqliteFile.h"

#include <QDateTime>
#include <QList>
#include <optional>

namespace platform {
class Database;
}

// A barcode as the entry pages' look-up answers it (ConsignmentSql::QProduct, its last row),
// with the product's blocked flag.
struct ScanProduct {
    QString barcode;
    QString productCode;
    QString productName;
    QString unitName;
    QString useSerial; // "Y" for goods with serial numbers
    double price = 0;  // price type 19, 0 without one
    bool blocked = false;
    bool operator==(const ScanProduct &) const = default;
};

// A branch as the branch box lists it (ConsignmentSql::QBranch).
struct ScanBranch {
    QString userCode;
    QString cusCode;
    QString cusName;
    int cusId = 0;
    bool operator==(const ScanBranch &) const = default;
};

// What a refresh copied and how long it took.
struct ScanCopyRefresh {
    int barcodes = 0; // rows of the look-up (a barcode with several rows counts each)
    int branches = 0;
    int serials = 0;
    qint64 readMs = 0; // reading the company database and writing the new tables
    qint64 swapMs = 0; // the swap, the only moment a reader could notice
    QDateTime refreshedAt;
};

// The copy of what a clerk needs to scan while the company database cannot be reached, in an
// embedded file of this workstation: every barcode as the look-up finds it, the branch list and
// each branch's serial numbers on sale now. A scan reads it through its primary key.
//
// refresh() takes the company connection it reads and opens the file on a connection of its
// own, so it can run on a worker thread with a company connection of that thread: it fills
// shadow tables and swaps them in with one short transaction, so that a ScanCopy reading the
// same file meanwhile (WAL) never waits and sees either the old copy or the new one, whole.
// Raises EDatabaseError on every failure; a failed refresh leaves the copy as it was.
class ScanCopy
{
public:
    explicit ScanCopy(const QString &file); // an empty copy until the first refresh

    std::optional<ScanProduct> product(const QString &barcode) const;
    QList<ScanBranch> branches() const;
    // Whether the branch has this serial number of the product on sale now, so that the save
    // procedure refuses selling it again.
    bool serialOnSale(int customer, const QString &productCode, const QString &serialNumber) const;
    QDateTime refreshedAt() const; // UTC; null before the first refresh
    const LocalSqliteFile &file() const { return m_file; }

    static ScanCopyRefresh refresh(platform::Database &company, const QString &file);

private:
    LocalSqliteFile m_file;
};
