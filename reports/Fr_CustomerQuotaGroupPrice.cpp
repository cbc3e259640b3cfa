#include "reports/Fr_CustomerQuotaGroupPrice.h"

#include "platform/format/FormatFloat.h"
#include "platform/report/ReportEngine.h"
#include "platform/ui/NumberEdit.h"
#include "reports/Fa_ButtonReport.h"
#include "reports/Fa_GetYearReport.h"

#include <QPushButton>

using namespace platform;

TFrCustomerQuotaGroupPrice::TFrCustomerQuotaGroupPrice(QWidget *parent)
    : TFrStdReport_ParamNew(parent)
{
    setObjectName(QStringLiteral("FrCustomerQuotaGroupPrice"));
    FaGetYearReport1 = new TFaGetYearReport(this);
    FaGetYearReport1->setObjectName(QStringLiteral("FaGetYearReport1"));
    FaGetYearReport1->resize(417, TFaGetYearReport::FrameHeight);
    addParameterFrame(FaGetYearReport1);
    // The window opens in the year box; Enter and Tab lead from it to the buttons.
    FaGetYearReport1->GetYear->setFocus();
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
