#include "reports/Fa_GetYearReport.h"

#include "data/LaunchContext.h"
#include "platform/format/Conversions.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/FocusEntry.h"
#include "platform/ui/FocusExit.h"
#include "platform/ui/NumberEdit.h"

#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

using namespace platform;

TFaGetYearReport::TFaGetYearReport(QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("FaGetYearReport"));
    resize(FrameWidth, FrameHeight);
    setFixedHeight(FrameHeight);

    YearBox = new QGroupBox(this);
    YearBox->setObjectName(QStringLiteral("YearBox"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(YearBox);

    LbYear = new QLabel(QStringLiteral("ปี ค.ศ.     "), YearBox);
    LbYear->setObjectName(QStringLiteral("LbYear"));
    LbYear->setGeometry(15, 14, 150, 21);
    LbYear->setAlignment(Qt::AlignRight | Qt::AlignBottom);

    GetYear = new NumberEdit(YearBox);
    GetYear->setObjectName(QStringLiteral("GetYear"));
    GetYear->setGeometry(200, 14, 40, 21);
    GetYear->setAlignment(Qt::AlignCenter);
    GetYear->setDisplayFormat(QStringLiteral("0000"));
    GetYear->setMaxLength(4);
    GetYear->setCheckOnExit(true);
    // After the edit's own conversion, which it registered first.
    FocusExit::watch(GetYear, [this] { GetYearExit(); });

    FocusEntry::watch(this, [this] { FrameEnter(); });
}

void TFaGetYearReport::SetStartGetYearFrame()
{
    const QDate today = QDate::currentDate();
    CurYear = quint16(today.year());
    CurMonth = quint16(today.month());
    CurDay = quint16(today.day());
    GetYear->setText(QString::number(CurYear).trimmed());
}

void TFaGetYearReport::SetStartGetYearFrameEng()
{
    YearBox->setTitle(QStringLiteral(" Year "));
    LbYear->setText(QStringLiteral("Year     "));
    SetStartGetYearFrame();
}

void TFaGetYearReport::ConditionGetYearFrame(int &year, QString &condition)
{
    const QString text = GetYear->text().trimmed();
    year = StrToInt(text);
    condition = QStringLiteral("ปี ค.ศ. : ") + text;
}

void TFaGetYearReport::ConditionGetYearFrameEng(int &year, QString &condition)
{
    const QString text = GetYear->text().trimmed();
    year = StrToInt(text);
    condition = QStringLiteral("Year : ") + text;
}

void TFaGetYearReport::GetYearExit()
{
    const QString typed = GetYear->text().trimmed();
    if (typed.size() >= 4 && GetYear->value() >= 1000)
        return;
    GetYear->setText(QStringLiteral("    "));
    DialogService::instance().showMessage(yearMessage());
    GetYear->setText(typed);
    FocusExit::refocus(GetYear);
}

void TFaGetYearReport::FrameEnter()
{
    if (!launchContext().ThaiLanguage)
        LbYear->setText(QStringLiteral("Year"));
}
