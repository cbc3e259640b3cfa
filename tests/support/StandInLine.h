#pragma once

#include "consignment/ConsignmentLine.h"

// A consignment line of the stand-in's company (tests/tds/program.json): a sale of product
// 8850000000001 at its list price 19.99 by branch BR01, keyed in by SOMCHAI, dated today.
inline ConsignmentLine standInLine(double quantity, const QString &serial = QString())
{
    ConsignmentLine l;
    l.userCode = QStringLiteral("BR01");
    l.userKeyIn = QStringLiteral("SOMCHAI");
    l.customer = 1;
    l.consigType = QStringLiteral("S");
    l.barcode = QStringLiteral("8850000000001");
    l.serialNumber = serial;
    l.quantity = quantity;
    l.price = l.oldPrice = 19.99;
    l.editDate = QDate::currentDate();
    return l;
}
