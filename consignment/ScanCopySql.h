#pragma once

#include "platform/sql/Statement.h"

#include <QList>
#include <QString>

// The statements of the scan copy (ScanCopy): what its refresh reads from the company database,
// and the statements of its own file (embedded engine).
namespace ScanCopySql {
// Every barcode as the entry pages' look-up (ConsignmentSql::QProduct) finds it, with the
// product's blocked flag, in the order the look-up meets several rows of one barcode.
extern const platform::Statement CompanyBarcodes;
// Each branch's serial numbers on sale now: sold more often than taken back, the rule the save
// procedure refuses a second sale by. Compared without regard to case or trailing blanks.
extern const platform::Statement CompanySerials;
QList<const platform::Statement *> all(); // the company statements

extern const QString CreateSchema; // several statements: the tables read and their shadows
extern const QString CreateShadows;
extern const QString InsertBarcode;
extern const QString InsertBranch;
extern const QString InsertSerial;
extern const QString SetInfo;
extern const QString Swap; // several statements
extern const QString LookUp;
extern const QString Branches;
extern const QString SerialOnSale;
extern const QString Info;
} // namespace ScanCopySql
