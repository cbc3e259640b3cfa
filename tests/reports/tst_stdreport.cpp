// The report base form on fresh demo databases: showing, running, printing, closing and the
// report functions it answers.
#include "ReportTestUtil.h"

#include "data/LaunchContext.h"
#include "data/U_DM.h"
#include "platform/core/Exceptions.h"
#include "platform/report/ReportEngine.h"
#include "platform/report/ReportExpressionEvaluator.h"
#include "platform/reportview/ReportPreviewWindow.h"
#include "platform/reportview/ReportSetupDialog.h"
#include "platform/reportview/ReportViewer.h"
#include "platform/sql/Database.h"
#include "platform/ui/ApplicationTitle.h"
#include "platform/ui/TarvoApplication.h"
#include "reports/FR_STDREPORT_ParamNew.h"
#include "reports/Fa_ButtonReport.h"
#include "support/ModalDialogs.h"
#include "support/ScriptedDialogService.h"

#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>
#include <memory>

using namespace platform;

namespace {

// Records the argument texts in the order the form asks for their values.
class RecordingEvaluator : public ReportExpressionEvaluator
{
public:
    QStringList asked;
    QVariant evaluate(const QString &expression) override
    {
        asked << expression;
        return expression == QLatin1String("quantity") ? QVariant(25.0) : QVariant(expression == QLatin1String("unit") ? 5 : 2);
    }
};

} // namespace

class TestStdReport : public QObject
{
    Q_OBJECT
    std::unique_ptr<ProgramOnDemo> m_program;

    std::unique_ptr<TFrStdReport_ParamNew> shownForm(const QString &file = "usagelog.frf")
    {
        auto form = std::make_unique<TFrStdReport_ParamNew>();
        form->ReportFile = file;
        form->ReportTitle = "รายงานทดสอบ";
        form->FastFileName = file;
        form->show();
        return form;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_program = std::make_unique<ProgramOnDemo>(std::function<void()>(), reportLaunch(1));
        m_program->copyReportDefinitions();
    }
    void cleanupTestCase() { m_program.reset(); }
    void init()
    {
        m_program->signIn(reportLaunch(1));
        m_program->dbs().company().execute("delete from UserLog");
    }

    void showingTheForm()
    {
        auto form = std::make_unique<TFrStdReport_ParamNew>();
        form->ReportFile = "usagelog.frf";
        form->ReportCondition = "left from before";
        form->PrintMode = 1;
        QCOMPARE(form->size(), QSize(417, 297));
        form->show();

        QCOMPARE(form->UserId, 1);
        QCOMPARE(form->windowTitle(), QString("รายงานโควต้าลูกค้าตามกลุ่มราคา"));
        QCOMPARE(ApplicationTitle::text(), form->windowTitle());
        QCOMPARE(form->FaButtonReport1->BtPreview->text(), QString("แสดง/พิมพ์ รายงาน"));
        QVERIFY(form->PrintDateSet);
        QVERIFY(form->KeyPreview);
        QCOMPARE(form->ReportCondition, QString());
        QCOMPARE(form->PrintMode, 0);
        QCOMPARE(form->width(), 457);
        QCOMPARE(form->height(), 63);
        QCOMPARE(form->FaButtonReport1->y(), 0);
        QCOMPARE(form->ReportPath, QDir::toNativeSeparators(m_program->dir()) + QDir::separator());
        QCOMPARE(form->FaButtonReport1->statusPanel(0)->text(), QString("บริษัท ทาร์โว่ เทรดดิ้ง จำกัด"));
        QVERIFY(form->frfReport->isLoaded());
    }

    void reportPathEndsInOneSeparator()
    {
        const QString sep = QDir::separator();
        QCOMPARE(TFrStdReport_ParamNew::reportPathOf("/"), QDir::toNativeSeparators("/"));
        QCOMPARE(TFrStdReport_ParamNew::reportPathOf("/data/reports"), QDir::toNativeSeparators("/data/reports") + sep);
        QCOMPARE(TFrStdReport_ParamNew::reportPathOf("/data/reports/"), QDir::toNativeSeparators("/data/reports/"));
        QCOMPARE(TFrStdReport_ParamNew::reportPathOf(" /data "), QDir::toNativeSeparators("/data") + sep);
    }

    void titleAndVariables_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("windowTitle");
        QTest::addColumn<QString>("rptitle");
        QTest::addColumn<QString>("conditionVariable");
        QTest::newRow("caption") << "  เมนูรายงาน  "
                                 << " ปี 2024 "
                                 << "  เมนูรายงาน  "
                                 << "'เมนูรายงาน'"
                                 << "'ปี 2024'";
        QTest::newRow("empty caption") << ""
                                       << ""
                                       << "รายงานทดสอบ"
                                       << "'รายงานทดสอบ'"
                                       << "''";
        QTest::newRow("caption of spaces") << "   "
                                           << ""
                                           << "รายงานทดสอบ"
                                           << "'รายงานทดสอบ'"
                                           << "''";
        // Quotes and backslashes inside are escaped, so the report shows the text as it stands.
        QTest::newRow("quote in caption") << "รายงาน 'พิเศษ'"
                                          << ""
                                          << "รายงาน 'พิเศษ'"
                                          << "'รายงาน \\'พิเศษ\\''"
                                          << "''";
        QTest::newRow("quote in condition") << ""
                                            << "ลูกค้า O'Neil"
                                            << "รายงานทดสอบ"
                                            << "'รายงานทดสอบ'"
                                            << "'ลูกค้า O\\'Neil'";
        QTest::newRow("backslash") << "C:\\รายงาน"
                                   << ""
                                   << "C:\\รายงาน"
                                   << "'C:\\\\รายงาน'"
                                   << "''";
    }
    void titleAndVariables()
    {
        QFETCH(QString, caption);
        QFETCH(QString, condition);
        launchContext().MenuCaption = caption;
        ScriptedDialogService dialogs;
        auto form = shownForm();
        QTEST(form->windowTitle(), "windowTitle");
        form->ReportCondition = condition;
        form->FaButtonReport1BtPreviewClick();
        QTEST(form->frfReport->variable("RPTITLE"), "rptitle");
        QTEST(form->frfReport->variable("CONDITION"), "conditionVariable");
        QCOMPARE(form->frfReport->variable("PNTDATESET"), QString("true"));
        QVERIFY2(form->lastRun().ok, qPrintable(form->lastRun().message));
        QCOMPARE(dialogs.count(), 0);
        const QString shownTitle = caption.trimmed().isEmpty() ? QString("รายงานทดสอบ") : caption.trimmed();
        QCOMPARE(itemText(form->frfReport->document(), "Title"), shownTitle);
        QCOMPARE(itemText(form->frfReport->document(), "PrintDate"), QString("True"));
        m_program->signIn(reportLaunch(1));
    }

    void usageLogIsWrittenBeforeTheRun()
    {
        auto form = shownForm();
        QTest::mouseClick(form->FaButtonReport1->BtPreview, Qt::LeftButton);
        QVERIFY2(form->lastRun().ok, qPrintable(form->lastRun().message));
        // The report read the log while it was prepared: the row of this run was there.
        QCOMPARE(itemText(form->frfReport->document(), "LogRows"), QString("1 1 2 0"));
        QCOMPARE(m_program->scalar("select count(*) from UserLog where FunctionListId = 6 and Remark = ''").toInt(), 1);
        QCOMPARE(form->previews().size(), 1);
        QCOMPARE(form->PrintMode, 0);
    }

    void noRunWhenTheLogFails()
    {
        ScriptedDialogService dialogs;
        auto form = shownForm();
        m_program->dbs().company().execute("alter table UserLog rename to UserLogAway");
        form->PrintMode = 1;
        QTest::mouseClick(form->FaButtonReport1->BtPreview, Qt::LeftButton);
        m_program->dbs().company().execute("alter table UserLogAway rename to UserLog");
        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(dialogs.last().kind, DialogService::Kind::Error);
        QVERIFY2(dialogs.last().text.contains("UserLog"), qPrintable(dialogs.last().text));
        QVERIFY(!form->frfReport->isPrepared());
        QVERIFY(form->previews().isEmpty());
        QCOMPARE(form->frfReport->variable("RPTITLE"), QString());
        QCOMPARE(form->PrintMode, 0); // the next run previews
    }

    // A definition that is not there is said in the user's language, naming the file, and no
    // use is logged: no report ran.
    void missingDefinitionIsSaid_data()
    {
        QTest::addColumn<int>("user");
        QTest::addColumn<QString>("message");
        QTest::newRow("Thai-language user") << 1 << "ไม่พบไฟล์รายงาน \"%1\"";
        QTest::newRow("English-language user") << 2 << "The report file \"%1\" does not exist";
    }
    void missingDefinitionIsSaid()
    {
        QFETCH(int, user);
        QFETCH(QString, message);
        m_program->signIn(reportLaunch(user));
        ScriptedDialogService dialogs;
        auto form = shownForm("nowhere.frf");
        QTest::mouseClick(form->FaButtonReport1->BtPreview, Qt::LeftButton);
        QVERIFY(!form->lastRun().ok);
        const QString path = QDir::toNativeSeparators(m_program->dir() + "/nowhere.frf");
        QCOMPARE(dialogs.texts(), QStringList{message.arg(path)});
        QCOMPARE(m_program->scalar("select count(*) from UserLog").toInt(), 0);
        QVERIFY(form->previews().isEmpty());
    }

    void printRunThenPreviewAgain()
    {
        auto form = shownForm();
        const QString pdf = m_program->dir() + "/printed.pdf";
        form->frfViewer->printer().setOutputFormat(QPrinter::PdfFormat);
        form->frfViewer->printer().setOutputFileName(pdf);
        form->FaButtonReport1BtPrintClick();
        QCOMPARE(form->PrintMode, 0);
        QVERIFY(form->previews().isEmpty());
        QVERIFY(QFile::exists(pdf));
        if (!QStandardPaths::findExecutable("pdftotext").isEmpty()) {
            QProcess p;
            p.start("pdftotext", {pdf, "-"});
            QVERIFY(p.waitForFinished(30000));
            // Marks above and below one letter may come out in either order.
            const QString text = QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_C);
            QVERIFY2(text.contains(QString("รายงานโควต้าลูกค้าตามกลุ่มราคา").normalized(QString::NormalizationForm_C)),
                     qPrintable(text));
        }

        QFile::remove(pdf);
        QTest::mouseClick(form->FaButtonReport1->BtPreview, Qt::LeftButton);
        QCOMPARE(form->previews().size(), 1);
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(m_program->scalar("select count(*) from UserLog").toInt(), 2);
    }

    // The printer set-up button opens the set-up of this form's printer and paper; Cancel
    // changes neither.
    void printerSetupWorksOnTheEnginesPrinter()
    {
        auto form = shownForm();
        const QPageLayout before = form->frfReport->pageLayout();
        form->frfViewer->printer().setOutputFileName(m_program->dir() + "/kept.pdf");
        QStringList seen;
        ModalDialogs::whenOpens<ReportSetupDialog>([&](ReportSetupDialog *dialog) {
            seen << dialog->windowTitle() << dialog->fileEdit()->text();
            QTest::mouseClick(dialog->landscapeButton(), Qt::LeftButton);
            dialog->fileEdit()->setText(m_program->dir() + "/other.pdf");
            QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        });
        QTest::mouseClick(form->FaButtonReport1->BtPrintSetup, Qt::LeftButton);
        QCOMPARE(seen, (QStringList{"กำหนดเครื่องพิมพ์", m_program->dir() + "/kept.pdf"}));
        QVERIFY(form->frfReport->pageLayout().isEquivalentTo(before));
        QCOMPARE(form->frfViewer->printer().outputFileName(), m_program->dir() + "/kept.pdf");
    }

    void closing_data()
    {
        QTest::addColumn<int>("user");
        QTest::addColumn<QString>("question");
        QTest::newRow("language 1") << 1 << "ออกจากโปรแกรม ?";
        QTest::newRow("language 2") << 2 << "Exit Program ?";
        QTest::newRow("user without a row") << 555 << "ออกจากโปรแกรม ?";
    }
    void closing()
    {
        QFETCH(int, user);
        m_program->signIn(reportLaunch(user));
        ScriptedDialogService dialogs;
        auto form = shownForm();
        QCOMPARE(form->UserId, user);
        dialogs.answerNo();
        QTest::mouseClick(form->FaButtonReport1->BtClose, Qt::LeftButton);
        QVERIFY(form->isVisible());
        dialogs.answerYes();
        form->close();
        QVERIFY(!form->isVisible());
        QTEST(dialogs.texts().value(0), "question");
        QCOMPARE(dialogs.texts().value(1), dialogs.texts().value(0));
        QCOMPARE(dialogs.last().kind, DialogService::Kind::Confirmation);
        QVERIFY(!dialogs.last().colours.background.isValid()); // a plain box
    }

    void closingTakesThePreviewsAlong()
    {
        ScriptedDialogService dialogs;
        auto form = shownForm();
        form->FaButtonReport1BtPreviewClick();
        QPointer<ReportPreviewWindow> preview = form->previews().value(0);
        QVERIFY(preview && preview->isVisible());
        dialogs.answerYes();
        form->close();
        QTRY_VERIFY(!preview);
    }

    void reportFunctions()
    {
        auto form = shownForm("functions.frf");
        form->FaButtonReport1BtPreviewClick();
        QVERIFY2(form->lastRun().ok, qPrintable(form->lastRun().message));
        const ReportDocument &doc = form->frfReport->document();
        QCOMPARE(itemText(doc, "Whole"), QString("2 (โหล) 1 (ชิ้น)"));
        QCOMPARE(itemText(doc, "WholeUpper"), QString("- 2 (โหล) 1 (ชิ้น)"));
        QCOMPARE(itemText(doc, "WholeExpr"), QString("2 (โหล) 1 (ชิ้น)"));
        QCOMPARE(itemText(doc, "WholeTexts"), QString("2 (โหล)"));
        QCOMPARE(itemText(doc, "Large"), QString("2 โหล"));
        QCOMPARE(itemText(doc, "Small"), QString("< 1 ชิ้น>"));
        QCOMPARE(itemText(doc, "WrongPart"), QString("25 IDERROR"));
        QCOMPARE(itemText(doc, "Words"), QString("หนึ่งพันสองร้อยสามสิบสี่บาทห้าสิบสตางค์"));
        QCOMPARE(itemText(doc, "WordsUpper"), QString("ยี่สิบห้าบาทถ้วน"));
        QCOMPARE(itemText(doc, "ServerYear"), DM->GetServerTime().toString("yyyy"));
        QCOMPARE(itemText(doc, "Unknown"), QString("<>"));
        QCOMPARE(itemText(doc, "UnknownIsNull"), QString("null"));
    }

    void functionArgumentsAndUnknownNames()
    {
        auto form = shownForm();
        RecordingEvaluator evaluator;
        QVariant result = QString("kept");
        form->frfReportUserFunction("OnHandQuantityLSUnit", {"quantity", "unit", "part"}, evaluator, result);
        QCOMPARE(evaluator.asked, (QStringList{"quantity", "part", "unit"}));
        QCOMPARE(result.toString(), QString(" 1 ชิ้น"));

        evaluator.asked.clear();
        result = QString("kept");
        form->frfReportUserFunction("OnHandQuantity", {"quantity", "unit"}, evaluator, result);
        QCOMPARE(evaluator.asked, (QStringList{"quantity", "unit"}));
        QCOMPARE(result.toString(), QString("2 (โหล) 1 (ชิ้น)"));

        evaluator.asked.clear();
        result = QString("kept");
        form->frfReportUserFunction("ONHANDQUANTITIES", {"quantity", "unit"}, evaluator, result);
        form->frfReportUserFunction("TELL_REAL_THAI_", {"quantity", "part"}, evaluator, result);
        QCOMPARE(result, QVariant(QString("kept")));
        QVERIFY(evaluator.asked.isEmpty());

        result = QVariant();
        form->frfReportUserFunction("getServerTime", {}, evaluator, result);
        QCOMPARE(result.typeId(), QMetaType::QDateTime);
    }
};

int main(int argc, char **argv)
{
    TarvoApplication app(argc, argv);
    TestStdReport test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_stdreport.moc"
