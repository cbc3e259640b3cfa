// The report button frame and the year frame, driven through their widgets.
#include "data/LaunchContext.h"
#include "platform/core/Exceptions.h"
#include "platform/ui/NumberEdit.h"
#include "platform/ui/TarvoApplication.h"
#include "reports/Fa_ButtonReport.h"
#include "reports/Fa_GetYearReport.h"
#include "support/ScriptedDialogService.h"

#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

using namespace platform;

namespace {

// A window holding both frames and one control outside them, as a report screen does.
struct Host {
    QWidget window;
    QLineEdit *outside;
    TFaGetYearReport *year;
    TFaButtonReport *buttons;

    Host()
    {
        auto *layout = new QVBoxLayout(&window);
        outside = new QLineEdit(&window);
        year = new TFaGetYearReport(&window);
        buttons = new TFaButtonReport(&window);
        layout->addWidget(outside);
        layout->addWidget(year);
        layout->addWidget(buttons);
        outside->setFocus();
        window.show();
        window.activateWindow();
    }
    bool active() { return QTest::qWaitForWindowActive(&window); }
};

} // namespace

class TestReportFrames : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { launchContext().ThaiLanguage = true; }

    void startsWithTodaysYearAndThaiCaptions()
    {
        TFaGetYearReport year;
        QCOMPARE(year.CurYear, quint16(0));
        year.SetStartGetYearFrame();
        const QDate today = QDate::currentDate();
        QCOMPARE(year.CurYear, quint16(today.year()));
        QCOMPARE(year.CurMonth, quint16(today.month()));
        QCOMPARE(year.CurDay, quint16(today.day()));
        QCOMPARE(year.GetYear->text(), QString::number(today.year()));
        QCOMPARE(year.LbYear->text(), QString("ปี ค.ศ.     "));
        QCOMPARE(year.YearBox->title(), QString());
        QCOMPARE(year.GetYear->displayFormat(), QString("0000"));

        year.SetStartGetYearFrameEng();
        QCOMPARE(year.YearBox->title(), QString(" Year "));
        QCOMPARE(year.LbYear->text(), QString("Year     "));
        QCOMPARE(year.GetYear->text(), QString::number(today.year()));

        TFaButtonReport buttons;
        QCOMPARE(buttons.size(), QSize(417, 63));
        QCOMPARE(buttons.BtPreview->text(), QString("แสดง/พิมพ์ รายงาน"));
        QCOMPARE(buttons.BtPrintSetup->text(), QString("กำหนดเครื่องพิมพ์"));
        QCOMPARE(buttons.BtClose->text(), QString("ปิด"));
        QVERIFY(!buttons.BtClose->icon().isNull());
        QVERIFY(buttons.BtPreview->icon().isNull());
        buttons.EngButtomCaption();
        QCOMPARE(buttons.BtPreview->text(), QString("Preview Report"));
        QCOMPARE(buttons.BtPrintSetup->text(), QString("Printer Setup"));
        QCOMPARE(buttons.BtClose->text(), QString("Close"));
    }

    void conditionTexts()
    {
        TFaGetYearReport year;
        year.GetYear->setText("2024");
        int value = 0;
        QString condition;
        year.ConditionGetYearFrame(value, condition);
        QCOMPARE(value, 2024);
        QCOMPARE(condition, QString("ปี ค.ศ. : 2024"));
        year.ConditionGetYearFrameEng(value, condition);
        QCOMPARE(condition, QString("Year : 2024"));
        year.GetYear->setText("20x4"); // only code can put such a text there
        QVERIFY_THROWS_EXCEPTION(EConvertError, year.ConditionGetYearFrame(value, condition));
    }

    void leavingTheYear_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("999") << "999" << false;
        QTest::newRow("0999") << "0999" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("-100") << "-100" << false;
        QTest::newRow("1000") << "1000" << true;
        QTest::newRow("2024") << "2024" << true;
    }
    void leavingTheYear()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        Host host;
        QVERIFY(host.active());
        ScriptedDialogService dialogs;
        QString shownWhileAsking;
        dialogs.onShow = [&](const ScriptedDialogService::Shown &) { shownWhileAsking = host.year->GetYear->text(); };

        host.year->GetYear->setFocus();
        host.year->GetYear->clear();
        QTest::keyClicks(host.year->GetYear, typed);
        QCOMPARE(host.year->GetYear->text(), typed);
        QTest::keyClick(host.year->GetYear, Qt::Key_Tab, Qt::ShiftModifier); // back to the control outside

        if (accepted) {
            QCOMPARE(dialogs.count(), 0);
            QCOMPARE(QApplication::focusWidget(), host.outside);
        } else {
            QCOMPARE(dialogs.texts(), QStringList{"จำนวนหลัก ปี ค.ศ. 4 หลัก !"});
            QCOMPARE(dialogs.last().kind, DialogService::Kind::Information);
            QCOMPARE(shownWhileAsking, QString("    "));
            QCOMPARE(host.year->GetYear->text(), typed); // what the user typed is back
            QCOMPARE(QApplication::focusWidget(), host.year->GetYear);
        }
        QCOMPARE(host.year->GetYear->text(), typed);
    }

    void yearTakesFourDigitsOnly()
    {
        Host host;
        QVERIFY(host.active());
        host.year->GetYear->setFocus();
        host.year->GetYear->clear();
        QTest::keyClicks(host.year->GetYear, "20245");
        QCOMPARE(host.year->GetYear->text(), QString("2024"));
        host.year->GetYear->clear();
        QTest::keyClicks(host.year->GetYear, "2a0.2 4");
        QCOMPARE(host.year->GetYear->text(), QString("2024"));
    }
};

int main(int argc, char **argv)
{
    TarvoApplication app(argc, argv);
    TestReportFrames test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_reportframes.moc"
