#pragma once

#include "consignment/ConsignmentRequestSql.h"
#include "consignment/Fr_TarvoAdjAndConsignmentSql.h"
#include "consignment/ScanCopySql.h"
#include "data/Dm_ConfigSql.h"
#include "data/U_DMSql.h"
#include "forms/Fr_SearchBarCodeSql.h"
#include "reports/FR_STDREPORT_ParamNewSql.h"

#include <QList>

// Every statement entry of the program. A component that adds statements adds its list here.
inline QList<const platform::Statement *> allStatements()
{
    QList<const platform::Statement *> all;
    all += DmConfigSql::all();
    all += UDMSql::all();
    all += ConsignmentSql::all();
    all += ConsignmentRequestSql::all();
    all += ScanCopySql::all();
    all += SearchBarCodeSql::all();
    all += StdReportSql::all();
    return all;
}
