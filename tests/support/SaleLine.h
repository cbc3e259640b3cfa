#pragma once

#include "consignment/ConsignmentLine.h"

// A consignment sale of user SOMCHAI, sold at the list price: the line the tests hand to the
// store or the journal without a screen.
inline ConsignmentLine saleLine(const QString &userCode, int customer, const QString &barcode, double quantity, double price,
                                const QDate &date)
{
    ConsignmentLine line;
    line.userCode = userCode;
    line.userKeyIn = QStringLiteral("SOMCHAI");
    line.customer = customer;
    line.consigType = QStringLiteral("S");
    line.barcode = barcode;
    line.quantity = quantity;
    line.price = price;
    line.oldPrice = price;
    line.editDate = date;
    return line;
}
