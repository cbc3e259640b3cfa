#pragma once

#include <QDate>

namespace platform {
class Database;
}

// Fills freshly created databases with a demo company whose ids scripts and tests rely on:
//   company database DEMO (company 1); menu 1 the consignment screen, menu 2 the quota report;
//   user 1 SOMCHAI (Thai) and user 2 JOHN (English) with access to both, user 3 GUEST without
//   access, user 4 QLM (the suite's own user, which has a tablet code but is never a branch);
//   branch users 11 to 16 (BR01..BR06) tied to customers 1 to 6 (C0001..C0006);
//   products P0001.. with units whose barcodes are "885" and the unit id in 10 digits
//   (unit 1: 8850000000001); product 13 is blocked; every 25th product has serial numbers.
// Movement dates are relative to `today`, so the daily views always have recent rows.
struct DemoScale {
    int products = 320;
    int customers = 40;
    int branches = 6;
    int consignmentLines = 240;
    int invoicesPerBranch = 8;
    int returnsPerBranch = 3;
    int salesOrders = 40;
    int onhandUnitsPerBranch = 60;
    int cartonEvery = 5;      // every product whose id is not a multiple of this has a carton unit
    int cartonPermille = -1;  // when 0 or more instead: the products whose id modulo 1000 is below it
    int lineDays = 28;        // consignment lines spread over this many days before today
    int invoiceDays = 45;     // invoices likewise
    int heavyBranchShare = 0; // percent of the lines that go to branch 1 on top of its share
};

class DemoData
{
public:
    using Scale = DemoScale;

    static void populate(platform::Database &config, platform::Database &company, const QDate &today = QDate::currentDate(),
                         const DemoScale &scale = DemoScale());

    // The barcode of a product unit in the demo data.
    static QString barcodeOfUnit(int unitId);
};
