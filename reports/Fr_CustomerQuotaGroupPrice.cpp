#include "reports/Fr_CustomerQuotaGroupPrice.h"

#include "platform/format/FormatFloat.h"
#include "platform/report/ReportEngine.h"
#include "platform/ui/NumberEdit.h"
#include "reports/Fa_ButtonReport.h"
#include "reports/Fa_GetYearReport.h"

#include <QPushButton>

TFrCustomerQuotaGroupPrice::TFrCustomerQuotaGroupPrice(QWidget *parent)
    : TFrStdReport_ParamNew(parent)
{
    setObjectName(QStringLiteral("FrCustomerQuotaGroupPrice"));
    FaGetYearReport1 = new TFaGetYearReport(this);
    FaGetYearReport1->setObjectName(QStringLiteral("FaGetYearReport1"));
    FaGetYearReport1->resize(417, TFaGetYearReport::FrameHeight);
    addParameterFrame(FaGetYearReport1);
    // The year first: the window opens in the year box, Enter then leads to the buttons.
    setTabOrder(FaGetYearReport1->GetYear, FaButtonReport1->BtPreview);
    setTabOrder(FaButtonReport1->BtPreview, FaButtonReport1->BtPrintSetup);
    setTabOrder(FaButtonReport1->BtPrintSetup, FaButtonReport1->BtClose);
}

void TFrCustomerQuotaGroupPrice::FormShow()
{
    ReportFile = reportFileName();
    ReportTitle = reportTitleText();
    FastFileName = ReportFile;
    TFrStdReport_ParamNew::FormShow();
    FaGetYearReport1->SetStartGetYearFrame();
}

void TFrCustomerQuotaGroupPrice::FaButtonReport1BtPreviewClick()
{
    ReportFile = reportFileName();
    frfReport->clear();
    ReportCondition.clear();
    frfReport->loadFromFile(ReportPath + ReportFile);
    frfReport->setVariable(QStringLiteral("GetYear"), FloatToStr(FaGetYearReport1->GetYear->value()));
    TFrStdReport_ParamNew::FaButtonReport1BtPreviewClick();
}
