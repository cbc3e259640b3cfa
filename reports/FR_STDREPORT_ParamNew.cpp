#include "reports/FR_STDREPORT_ParamNew.h"

#include "data/Dm_Config.h"
#include "data/LaunchContext.h"
#include "data/LaunchParameters.h"
#include "data/U_DM.h"
#include "platform/core/InstalledData.h"
#include "platform/format/Conversions.h"
#include "platform/report/ReportEngine.h"
#include "platform/report/ReportExpressionEvaluator.h"
#include "platform/reportview/ReportPreviewWindow.h"
#include "platform/reportview/ReportViewer.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/ui/ApplicationTitle.h"
#include "platform/ui/ConnectGuarded.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/EnterAsTab.h"
#include "platform/ui/ThaiFont.h"
#include "reports/CompanyReportData.h"
#include "reports/FR_STDREPORT_ParamNewSql.h"
#include "reports/Fa_ButtonReport.h"
#include "reports/ReportFunctions.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QVBoxLayout>

using namespace platform;

namespace {

// Where the installed program keeps its report definitions, inside its data folder.
const QString reportsFolder = QStringLiteral("reports") + QDir::separator();

// A text as a string literal of the report's expressions. A quote or backslash inside is escaped,
// so a title such as "O'Neil" reads as itself instead of ending the literal early.
QString quotedText(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

} // namespace

TFrStdReport_ParamNew::TFrStdReport_ParamNew(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("FrStdReport_ParamNew"));
    // A dialog-style window: a system menu with the close button only, not resizable.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFont(thaiFont(13));

    frfReport = new ReportEngine(this);
    frfViewer = new ReportViewer(*frfReport, this);
    m_data = std::make_unique<CompanyReportData>(DM->DMdata);
    frfReport->setDataProvider(m_data.get());
    frfReport->setFunctionHandler([this](const QString &name, const QStringList &arguments, ReportExpressionEvaluator &evaluator,
                                         QVariant &result) { frfReportUserFunction(name, arguments, evaluator, result); });

    QLanguage = new Query(DMConfig->DmCfg, this);
    QLanguage->setStatement(StdReportSql::QLanguage);

    FaButtonReport1 = new TFaButtonReport(this);
    FaButtonReport1->setObjectName(QStringLiteral("FaButtonReport1"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addStretch(1);
    layout->addWidget(FaButtonReport1); // docked to the bottom until the form is shown
    setFixedSize(ClientWidth, ClientHeight);

    connectGuarded(FaButtonReport1->BtPreview, &QPushButton::clicked, this, [this] { FaButtonReport1BtPreviewClick(); });
    connectGuarded(FaButtonReport1->BtPrintSetup, &QPushButton::clicked, this, [this] { FaButtonReport1BtPrintSetupClick(); });
    connectGuarded(FaButtonReport1->BtClose, &QPushButton::clicked, this, [this] { FaButtonReport1BtCloseClick(); });
    connectGuarded(FaButtonReport1, &TFaButtonReport::statusBarDoubleClicked, this,
                   [this] { FaButtonReport1FaStatusBarDblClick(); });

    qApp->installEventFilter(this);
}

TFrStdReport_ParamNew::~TFrStdReport_ParamNew()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

void TFrStdReport_ParamNew::addParameterFrame(QWidget *frame)
{
    auto *box = static_cast<QVBoxLayout *>(layout());
    box->insertWidget(int(m_parameterFrames.size()), frame);
    m_parameterFrames.append(frame);
}

QString TFrStdReport_ParamNew::reportPathOf(const QString &directory)
{
    QString path = QDir::toNativeSeparators(directory).trimmed();
    if (!path.endsWith(QDir::separator()))
        path += QDir::separator();
    return path;
}

void TFrStdReport_ParamNew::dockButtonsToTop()
{
    auto *box = static_cast<QVBoxLayout *>(layout());
    box->removeWidget(FaButtonReport1);
    for (int i = box->count() - 1; i >= 0; --i) {
        if (box->itemAt(i)->spacerItem())
            delete box->takeAt(i);
    }
    box->insertWidget(int(m_parameterFrames.size()), FaButtonReport1);
    box->addStretch(1);
    // The form takes the height of what it holds.
    int height = 0;
    for (QWidget *frame : std::as_const(m_parameterFrames))
        height += frame->height();
    height += FaButtonReport1->height();
    setFixedSize(width(), height);
}

void TFrStdReport_ParamNew::FormShow()
{
    DM->DMdata->ensureOpen();
    UserId = StrToInt(launchParameter(2));
    if (GetLanguageNo(UserId) == 2) {
        FaButtonReport1->BtPreview->setText(QStringLiteral("Preview/Print Report"));
        FaButtonReport1->BtPrintSetup->setText(QStringLiteral("Printer Setup"));
        FaButtonReport1->BtClose->setText(QStringLiteral("Close"));
    }
    frfReport->clear();
    // The engine speaks Thai to a Thai-language user and English to anyone else.
    frfReport->setLanguage(launchContext().ThaiLanguage ? ReportLanguage::Thai : ReportLanguage::English);
    dockButtonsToTop();

    const QString caption = launchContext().MenuCaption;
    const QString title = caption.trimmed().isEmpty() ? ReportTitle : caption;
    ApplicationTitle::set(title);
    setWindowTitle(title);

    PrintDateSet = true;
    KeyPreview = true;
    ReportCondition.clear();
    setFixedSize(ShownWidth, height());

    // Definitions are looked for in the working directory of the moment, then among the
    // installed program's data. The separator is the platform's, so the path names a file on
    // every system.
    ReportPath = reportPathOf(QDir::currentPath());
    if (!QFileInfo::exists(ReportPath + ReportFile) && QFileInfo::exists(installedDataDir() + reportsFolder + ReportFile))
        ReportPath = installedDataDir() + reportsFolder;
    PrintMode = 0;
    FaButtonReport1->statusPanel(0)->setText(launchContext().CompanyNameThai);
    frfReport->loadFromFile(ReportPath + ReportFile);
}

void TFrStdReport_ParamNew::FaButtonReport1BtPreviewClick()
{
    // Whatever happens in this run, the next one previews.
    const auto previewNext = qScopeGuard([this] { PrintMode = 0; });

    // A definition that could not be opened is said so, and nothing is logged: no report ran.
    if (!frfReport->isLoaded()) {
        m_lastRun = {false, frfReport->loadError()};
        DialogService::instance().showMessage(m_lastRun.message);
        return;
    }
    DM->AddUserLog(TDM::ReportActionCode, 0, QStringLiteral(""));

    const QString caption = launchContext().MenuCaption.trimmed();
    frfReport->setVariable(QStringLiteral("RPTITLE"), quotedText(caption.isEmpty() ? ReportTitle.trimmed() : caption));
    frfReport->setVariable(QStringLiteral("CONDITION"), quotedText(ReportCondition.trimmed()));
    frfReport->setVariable(QStringLiteral("PNTDATESET"), PrintDateSet ? QStringLiteral("true") : QStringLiteral("false"));

    m_lastRun = frfReport->prepare();
    if (m_lastRun.ok) {
        if (PrintMode == 0) {
            m_previews.removeIf([](const QPointer<ReportPreviewWindow> &window) { return window.isNull(); });
            m_previews.append(frfViewer->showPreview(this));
        } else {
            frfViewer->printPreparedReport({QString(), 1, true, ReportPrintOptions::PageChoice::All});
        }
    }
    PrintMode = 0;
    // The engine reports nothing itself: a report that cannot be prepared is said so here
    // rather than ending in silence.
    if (!m_lastRun.ok)
        DialogService::instance().showMessage(m_lastRun.message);
}

void TFrStdReport_ParamNew::FaButtonReport1BtPrintClick()
{
    PrintMode = 1;
    FaButtonReport1BtPreviewClick();
}

void TFrStdReport_ParamNew::FaButtonReport1BtPrintSetupClick()
{
    frfViewer->printerSetup(this);
}

void TFrStdReport_ParamNew::FaButtonReport1BtCloseClick()
{
    close();
}

void TFrStdReport_ParamNew::FaButtonReport1FaStatusBarDblClick()
{
    DialogService::instance().showMessage(QStringLiteral("Fast File : ") + FastFileName);
}

bool TFrStdReport_ParamNew::FormClose()
{
    const int language = GetLanguageNo(UserId);
    return DialogService::instance().confirm(language == 2 ? closeQuestionEnglish() : closeQuestionThai());
}

int TFrStdReport_ParamNew::GetLanguageNo(int userId)
{
    QLanguage->close();
    QLanguage->setParam(QStringLiteral("IdUser"), userId);
    QLanguage->open();
    const auto closeAgain = qScopeGuard([this] { QLanguage->close(); });
    if (QLanguage->isEmpty())
        return 0;
    QLanguage->first();
    return QLanguage->fieldByName(QStringLiteral("LanguageNo")).asInteger();
}

void TFrStdReport_ParamNew::frfReportUserFunction(const QString &name, const QStringList &arguments,
                                                  ReportExpressionEvaluator &evaluator, QVariant &result)
{
    answerReportFunction(name, arguments, evaluator, result);
}

QList<ReportPreviewWindow *> TFrStdReport_ParamNew::previews() const
{
    QList<ReportPreviewWindow *> open;
    for (const QPointer<ReportPreviewWindow> &window : m_previews) {
        if (window)
            open.append(window.data());
    }
    return open;
}

void TFrStdReport_ParamNew::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return; // restored from the task bar: not a new show
    FormShow();
    if (!m_placed) {
        m_placed = true;
        if (QScreen *s = screen())
            move(s->availableGeometry().center() - rect().center());
    }
}

void TFrStdReport_ParamNew::closeEvent(QCloseEvent *event)
{
    if (!FormClose()) {
        event->ignore();
        return;
    }
    event->accept();
    // The report screen is the program's main window: its previews go with it.
    for (ReportPreviewWindow *window : previews())
        window->close();
}

bool TFrStdReport_ParamNew::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this)
        return false;
    // Only the first delivery of a key: to the focused control, or to the form when nothing in
    // it has the focus.
    QWidget *focus = QApplication::focusWidget();
    if (!(widget == focus || (widget == this && (!focus || focus->window() != this))))
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
        close();
        return true;
    }
    if (KeyPreview && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        EnterAsTab::focusNext(this);
        return true; // no control acts on the Enter that moved the focus
    }
    return false;
}
