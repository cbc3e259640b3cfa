#pragma once

#include "support/SaleLine.h"

// A consignment line of the stand-in's company (tests/tds/program.json): a sale of product
// 8850000000001 at its list price 19.99 by branch BR01, keyed in by SOMCHAI, dated today.
inline ConsignmentLine standInLine(double quantity, const QString &serial = QString())
{
    ConsignmentLine l =
        saleLine(QStringLiteral("BR01"), 1, QStringLiteral("8850000000001"), quantity, 19.99, QDate::currentDate());
    l.serialNumber = serial;
    return l;
}
