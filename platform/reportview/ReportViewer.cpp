#include "platform/reportview/ReportViewer.h"

#include "platform/report/ReportEngine.h"
#include "platform/reportview/ReportPreviewWindow.h"
#include "platform/reportview/ReportPrinter.h"
#include "platform/reportview/ReportSetupDialog.h"

#include <QPrinter>

namespace platform {

ReportViewer::ReportViewer(ReportEngine &engine, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
{}

ReportViewer::~ReportViewer() = default;

QPrinter &ReportViewer::printer()
{
    if (!m_printer)
        m_printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

bool ReportViewer::printerSetup(QWidget *parent)
{
    ReportSetupDialog dialog(ReportSetupDialog::Kind::Printer, m_engine.pageLayout(), &printer(), m_engine.language(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    m_engine.setPageLayout(dialog.pageLayout());
    return true;
}

ReportPreviewWindow *ReportViewer::showPreview(QWidget *parent)
{
    if (!m_engine.isPrepared())
        return nullptr;
    printer();
    auto *window = new ReportPreviewWindow(m_engine.document(), m_engine.preparedRun(), m_printer, m_engine.language(), parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

ReportPrepareResult ReportViewer::showReport(QWidget *parent)
{
    ReportPrepareResult result = m_engine.prepare();
    if (result.ok)
        showPreview(parent);
    return result;
}

int ReportViewer::printPreparedReport(const ReportPrintOptions &options)
{
    if (!m_engine.isPrepared())
        return 0;
    return ReportPrinter::print(m_engine.document(), printer(), options, m_engine.language());
}

} // namespace platform
