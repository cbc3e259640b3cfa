#include "app/UnattendedRun.h"

#include "platform/core/Exceptions.h"
#include "platform/report/ReportEngine.h"
#include "platform/ui/DialogService.h"
#include "reports/FR_STDREPORT_ParamNew.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>

using namespace platform;

namespace {

class LoggingDialogService : public DialogService
{
public:
    explicit LoggingDialogService(const QString &path)
        : m_path(path)
    {}
    void showMessage(const QString &text) override { append(QStringLiteral("message"), text); }
    void showError(const QString &text) override { append(QStringLiteral("error"), text); }
    bool confirm(const QString &text, const Colours &) override
    {
        const bool yes = qEnvironmentVariable("TARVO_DIALOG_ANSWER", QStringLiteral("yes"))
                             .compare(QStringLiteral("no"), Qt::CaseInsensitive) != 0;
        append(yes ? QStringLiteral("confirm yes") : QStringLiteral("confirm no"), text);
        return yes;
    }

    void append(const QString &kind, const QString &text)
    {
        QFile f(m_path);
        if (f.open(QIODevice::Append)) {
            QString flat = text;
            flat.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
            f.write((kind + QStringLiteral(": ") + flat + u'\n').toUtf8());
        }
    }

private:
    QString m_path;
};

} // namespace

namespace UnattendedRun {

bool logsDialogs()
{
    return !qEnvironmentVariable("TARVO_DIALOG_LOG").isEmpty();
}

void installDialogLog()
{
    if (!logsDialogs())
        return;
    static LoggingDialogService service(qEnvironmentVariable("TARVO_DIALOG_LOG"));
    DialogService::setInstance(&service);
}

void logErrorDialog(const QString &errorText)
{
    LoggingDialogService(qEnvironmentVariable("TARVO_DIALOG_LOG")).append(QStringLiteral("error dialog"), errorText);
}

void watchMainWindow(QWidget *mainWindow)
{
    if (mainWindow && qEnvironmentVariableIsSet("TARVO_EXIT_ON_SHOW")) {
        QTimer::singleShot(0, mainWindow, [] {
            QFile out;
            if (out.open(stdout, QIODevice::WriteOnly))
                out.write("shown\n");
            out.flush();
            QCoreApplication::exit(0);
        });
        return;
    }
    const QString pdf = qEnvironmentVariable("TARVO_REPORT_PDF");
    if (auto *report = qobject_cast<TFrStdReport_ParamNew *>(mainWindow); report && !pdf.isEmpty()) {
        QTimer::singleShot(0, report, [report, pdf] {
            // As the preview button runs it; what goes wrong is said as the screen says it.
            report->FaButtonReport1BtPreviewClick();
            if (!report->lastRun().ok) {
                QCoreApplication::exit(1);
                return;
            }
            try {
                report->frfReport->exportTo(ReportExport::Format::Pdf, pdf);
            } catch (const Exception &e) {
                DialogService::instance().showMessage(e.message());
                QCoreApplication::exit(1);
                return;
            }
            QCoreApplication::exit(0);
        });
        return;
    }
    const QString path = qEnvironmentVariable("TARVO_SCREENSHOT");
    if (path.isEmpty() || !mainWindow)
        return;
    QTimer::singleShot(1500, mainWindow, [mainWindow, path] {
        mainWindow->grab().save(path, "PNG");
        QCoreApplication::exit(0);
    });
}

} // namespace UnattendedRun
