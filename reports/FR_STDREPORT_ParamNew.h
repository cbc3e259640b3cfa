#pragma once

#include "platform/report/ReportPrepareResult.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>
#include <memory>

class CompanyReportData;
namespace platform {
class Query;
class ReportEngine;
class ReportExpressionEvaluator;
class ReportPreviewWindow;
class ReportViewer;
} // namespace platform
class TFaButtonReport;

// The base form of every report screen: a small dialog-style window with the button frame,
// owning the report engine. A report screen derives from it, sets ReportFile, ReportTitle and
// FastFileName in its FormShow override before calling this FormShow, adds its own inputs
// (placed above the button frame with addParameterFrame) and replaces
// FaButtonReport1BtPreviewClick to set its own report variables before calling this one.
//
// A run logs the use, passes RPTITLE, CONDITION and PNTDATESET, then previews (non-modal) or,
// when PrintMode is 1, prints every page once. A definition that could not be opened is
// reported in the user's language and the run stops there, before the log. Report definitions may call four functions the
// form answers: ONHANDQUANTITY, ONHANDQUANTITYLSUNIT, TELL_REAL_THAI and GETSERVERTIME.
class TFrStdReport_ParamNew : public QWidget
{
    Q_OBJECT
public:
    explicit TFrStdReport_ParamNew(QWidget *parent = nullptr);
    ~TFrStdReport_ParamNew() override;

    static constexpr int ClientWidth = 417;
    static constexpr int ClientHeight = 297;
    static constexpr int ShownWidth = 457;

    TFaButtonReport *FaButtonReport1 = nullptr;
    platform::ReportEngine *frfReport = nullptr;
    platform::ReportViewer *frfViewer = nullptr; // preview, printing and the printer chosen for this form
    platform::Query *QLanguage = nullptr;

    int UserId = 0;
    int PrintMode = 0;       // 0: the next run previews; 1: it prints without preview
    QString FastFileName;    // shown by a double click on the status bar
    QString ReportPath;      // directory of the definitions, ending in the separator
    QString ReportFile;      // definition file name, relative to ReportPath
    QString ReportTitle;     // report title when the menu entry has no caption
    QString ReportCondition; // the chosen parameters as text
    bool PrintDateSet = false;
    bool KeyPreview = false; // Enter moves to the next control

    // Prepares the form and loads the definition.
    virtual void FormShow();
    // Runs the report: usage log, variables, preview or print.
    virtual void FaButtonReport1BtPreviewClick();
    // Prints without preview: PrintMode 1, then the (possibly replaced) preview handler.
    void FaButtonReport1BtPrintClick();
    // The printer set-up: the printer and the paper of this form's later previews and
    // printing, kept while the form lives.
    void FaButtonReport1BtPrintSetupClick();
    void FaButtonReport1BtCloseClick();
    void FaButtonReport1FaStatusBarDblClick();
    // Whether the form may close: asks "Exit Program ?" (language number 2) or
    // "ออกจากโปรแกรม ?" in a plain Yes/No box. True for Yes.
    bool FormClose();

    // The user's language number in the configuration database; 0 when the user has no row.
    int GetLanguageNo(int userId);

    // Answers the report functions; a name that is none of the four leaves result unchanged.
    void frfReportUserFunction(const QString &name, const QStringList &arguments, platform::ReportExpressionEvaluator &evaluator,
                               QVariant &result);

    // The outcome of the last run's preparation (ok when none ran).
    const platform::ReportPrepareResult &lastRun() const { return m_lastRun; }
    // The preview windows opened by this form that are still open.
    QList<platform::ReportPreviewWindow *> previews() const;

    // The report path for a working directory: the directory with the platform's separator
    // appended unless it already ends in one.
    static QString reportPathOf(const QString &directory);

    static QString closeQuestionThai() { return QStringLiteral("ออกจากโปรแกรม ?"); }
    static QString closeQuestionEnglish() { return QStringLiteral("Exit Program ?"); }

protected:
    // Puts a parameter frame of a report screen above the button frame (after those added
    // before it).
    void addParameterFrame(QWidget *frame);

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void dockButtonsToTop();

    std::unique_ptr<CompanyReportData> m_data;
    QList<QPointer<platform::ReportPreviewWindow>> m_previews;
    QList<QWidget *> m_parameterFrames;
    platform::ReportPrepareResult m_lastRun{true, QString()};
    bool m_placed = false;
};
