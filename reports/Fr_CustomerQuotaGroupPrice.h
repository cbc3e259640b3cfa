#pragma once

#include "reports/FR_STDREPORT_ParamNew.h"

class TFaGetYearReport;

// The customer quota group price report: the user picks a year and previews or prints each
// customer's quota by quota group for that year. The definition file is read again before every
// run, so a changed file is used from the next run on; the year goes to the report as the
// number variable GetYear.
class TFrCustomerQuotaGroupPrice : public TFrStdReport_ParamNew
{
    Q_OBJECT
public:
    explicit TFrCustomerQuotaGroupPrice(QWidget *parent = nullptr);

    static QString reportFileName() { return QStringLiteral("RP_CustomerQuotaGroupPrice_Tarvo.frf"); }
    static QString reportTitleText() { return QStringLiteral("รายงานแสกงจำนวน โควต้า"); }

    TFaGetYearReport *FaGetYearReport1 = nullptr;

    void FormShow() override;
    void FaButtonReport1BtPreviewClick() override;
};
