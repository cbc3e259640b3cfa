#pragma once

#include <QDate>
#include <QString>

// One line of the consignment screen as it goes to the company database: the eleven values of
// Save_Tarvo_Consignment, in the procedure's order, and the texts the clerk saw when saving it.
// A plain value: it can be kept, compared, shown again and handed to the store more than once.
struct ConsignmentLine {
    // Which page the line comes from; each page has its own text of the save call.
    enum class Entry { Consignment, Adjustment };
    Entry entry = Entry::Consignment;

    QString userCode;     // the branch's user code
    QString userKeyIn;    // code of the user running the screen
    int customer = 0;     // the branch's customer id
    QString consigType;   // "S", "R" or "A"; sent upper-cased and trimmed
    QString barcode;      // sent trimmed
    QString serialNumber; // as typed; empty for goods without serial numbers
    double quantity = 0;  // signed: an adjustment's decrease is negative
    double price = 0;     // 0 for a free gift
    bool free = false;    // sent as ChkFree "Y" or "N"
    double oldPrice = 0;  // the list price of the product looked up
    QDate editDate;       // date only

    // What the page showed at the save, as the clerk read it.
    struct Shown {
        QString productCode;
        QString productName;
        QString unitName;
        QString quantity;
        QString price;
        bool operator==(const Shown &) const = default;
    };
    Shown shown;

    QString chkFree() const { return free ? QStringLiteral("Y") : QStringLiteral("N"); }
    bool operator==(const ConsignmentLine &) const = default;
};
