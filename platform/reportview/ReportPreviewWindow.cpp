#include "platform/reportview/ReportPreviewWindow.h"

#include "platform/core/Exceptions.h"
#include "platform/report/ReportError.h"
#include "platform/report/ReportMessages.h"
#include "platform/report/ReportRun.h"
#include "platform/reportview/ReportFileDialog.h"
#include "platform/reportview/ReportPageView.h"
#include "platform/reportview/ReportPrintDialog.h"
#include "platform/reportview/ReportPrinter.h"
#include "platform/reportview/ReportSetupDialog.h"
#include "platform/ui/DialogService.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace platform {

namespace {

enum ZoomChoice { PageWidth = -1, WholePage = -2 };

// The zoom last chosen in a preview, for the next preview of the session; page width at first,
// so that a whole line of a landscape page is seen.
int &rememberedZoom()
{
    static int choice = PageWidth;
    return choice;
}

} // namespace

ReportPreviewWindow::ReportPreviewWindow(ReportDocument document, std::shared_ptr<const ReportRun> run,
                                         std::shared_ptr<QPrinter> printer, ReportLanguage language, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_document(std::move(document))
    , m_run(std::move(run))
    , m_printer(std::move(printer))
    , m_language(language)
{
    const QString caption = text(u"ตัวอย่างก่อนพิมพ์", u"Print Preview");
    setWindowTitle(m_document.title.isEmpty() ? caption : QStringLiteral("%1 - %2").arg(caption, m_document.title));
    setWindowModality(Qt::NonModal);
    resize(900, 700);

    auto *toolBar = new QToolBar(this);
    m_zoomBox = new QComboBox(toolBar);
    for (int percent : {50, 75, 100, 125, 150, 200, 300})
        m_zoomBox->addItem(QStringLiteral("%1%").arg(percent), percent);
    m_zoomBox->addItem(text(u"พอดีความกว้าง", u"Page width"), int(PageWidth));
    m_zoomBox->addItem(text(u"ทั้งหน้า", u"Whole page"), int(WholePage));
    toolBar->addWidget(m_zoomBox);
    toolBar->addSeparator();
    m_first = toolBar->addAction(QStringLiteral("|<"), this, [this] { setCurrentPage(0); });
    m_first->setToolTip(text(u"หน้าแรก", u"First page"));
    m_first->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Home));
    m_previous = toolBar->addAction(QStringLiteral("<"), this, [this] { setCurrentPage(m_page - 1); });
    m_previous->setToolTip(text(u"หน้าก่อน", u"Previous page"));
    m_previous->setShortcut(QKeySequence(Qt::Key_PageUp));
    m_pageLabel = new QLabel(toolBar);
    m_pageLabel->setMargin(4);
    toolBar->addWidget(m_pageLabel);
    m_next = toolBar->addAction(QStringLiteral(">"), this, [this] { setCurrentPage(m_page + 1); });
    m_next->setToolTip(text(u"หน้าถัดไป", u"Next page"));
    m_next->setShortcut(QKeySequence(Qt::Key_PageDown));
    m_last = toolBar->addAction(QStringLiteral(">|"), this, [this] { setCurrentPage(pageCount() - 1); });
    m_last->setToolTip(text(u"หน้าสุดท้าย", u"Last page"));
    m_last->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_End));
    toolBar->addSeparator();
    m_findEdit = new QLineEdit(toolBar);
    m_findEdit->setPlaceholderText(text(u"ค้นหา", u"Find"));
    m_findEdit->setMaximumWidth(180);
    toolBar->addWidget(m_findEdit);
    QAction *findNext = toolBar->addAction(text(u"ค้นหาต่อ", u"Find next"), this, &ReportPreviewWindow::findTyped);
    findNext->setShortcut(QKeySequence(Qt::Key_F3));
    connect(m_findEdit, &QLineEdit::returnPressed, this, &ReportPreviewWindow::findTyped);
    toolBar->addSeparator();
    m_pageSetup = toolBar->addAction(text(u"ตั้งค่าหน้ากระดาษ", u"Page Setup"), this, &ReportPreviewWindow::pageSetupWithDialog);
    m_pageSetup->setEnabled(m_run != nullptr);
    m_print = toolBar->addAction(text(u"พิมพ์", u"Print"), this, &ReportPreviewWindow::printWithDialog);
    m_print->setShortcut(QKeySequence::Print);
    m_export = toolBar->addAction(text(u"ส่งออก", u"Export"), this, &ReportPreviewWindow::exportWithDialog);
    m_export->setShortcut(QKeySequence::Save);
    QAction *close = toolBar->addAction(text(u"ปิด", u"Close"), this, &QWidget::close);
    close->setShortcut(QKeySequence(Qt::Key_Escape));

    m_view = new ReportPageView;
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(m_view);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(m_scroll, 1);

    m_zoomChoice = rememberedZoom();
    m_zoomBox->setCurrentIndex(std::max(m_zoomBox->findData(m_zoomChoice), 0));
    connect(m_zoomBox, &QComboBox::activated, this, [this](int index) {
        zoomChosen(index);
        rememberedZoom() = m_zoomChoice;
    });
    m_scroll->viewport()->installEventFilter(this);
    showPage();
    applyZoomChoice();
}

bool ReportPreviewWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Page width and whole page follow the window's size.
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize && m_zoomChoice < 0)
        applyZoomChoice();
    return QWidget::eventFilter(watched, event);
}

void ReportPreviewWindow::applyZoomChoice()
{
    if (m_zoomChoice == PageWidth)
        fitWidth();
    else if (m_zoomChoice == WholePage)
        fitPage();
    else
        setZoom(m_zoomChoice / 100.0);
}

void ReportPreviewWindow::findTyped()
{
    const QString wanted = m_findEdit->text().trimmed();
    if (!wanted.isEmpty() && !find(wanted))
        DialogService::instance().showMessage(text(u"ไม่พบข้อความ \"%1\" ในรายงาน", u"\"%1\" is not in the report").arg(wanted));
}

ReportPreviewWindow::~ReportPreviewWindow() = default;

void ReportPreviewWindow::setCurrentPage(int page)
{
    if (pageCount() == 0)
        return;
    m_page = std::clamp(page, 0, pageCount() - 1);
    showPage();
}

void ReportPreviewWindow::showPage()
{
    if (pageCount() > 0)
        m_view->setPage(m_document.pages.at(m_page));
    QList<QRectF> marks;
    if (m_match >= 0 && m_matches.at(m_match).page == m_page)
        marks = m_matches.at(m_match).rects;
    m_highlights = marks;
    m_view->setHighlights(marks);
    m_pageLabel->setText(text(u"หน้า %1 / %2", u"Page %1 / %2").arg(pageCount() ? m_page + 1 : 0).arg(pageCount()));
    m_first->setEnabled(m_page > 0);
    m_previous->setEnabled(m_page > 0);
    m_next->setEnabled(m_page + 1 < pageCount());
    m_last->setEnabled(m_page + 1 < pageCount());
}

qreal ReportPreviewWindow::zoom() const
{
    return m_view->zoom();
}

void ReportPreviewWindow::setZoom(qreal zoom)
{
    m_view->setZoom(zoom);
}

void ReportPreviewWindow::fitWidth()
{
    if (pageCount() == 0)
        return;
    const qreal available = m_scroll->viewport()->width() - 24 - m_scroll->verticalScrollBar()->sizeHint().width();
    const qreal pageWidth = m_document.pages.at(m_page).size.width() * m_view->logicalDpiX() / 25.4;
    setZoom(available / pageWidth);
}

void ReportPreviewWindow::fitPage()
{
    if (pageCount() == 0)
        return;
    const QSizeF size = m_document.pages.at(m_page).size * (m_view->logicalDpiX() / 25.4);
    const qreal byWidth = (m_scroll->viewport()->width() - 24) / size.width();
    const qreal byHeight = (m_scroll->viewport()->height() - 24) / size.height();
    setZoom(std::min(byWidth, byHeight));
}

void ReportPreviewWindow::zoomChosen(int index)
{
    m_zoomChoice = m_zoomBox->itemData(index).toInt();
    applyZoomChoice();
}

int ReportPreviewWindow::zoomChoice() const
{
    return m_zoomChoice;
}

bool ReportPreviewWindow::find(const QString &text)
{
    const QString wanted = text.trimmed();
    if (wanted.isEmpty())
        return false;
    if (wanted.compare(m_findText, Qt::CaseInsensitive) != 0) {
        m_findText = wanted;
        m_matches.clear();
        for (int p = 0; p < pageCount(); ++p) {
            for (const ReportPageItem &item : m_document.pages.at(p).items) {
                if (item.kind != ReportPageItem::Kind::Text || !item.text.contains(wanted, Qt::CaseInsensitive))
                    continue;
                Match match{p, {}};
                for (const ReportTextLine &line : item.lines) {
                    if (line.text.contains(wanted, Qt::CaseInsensitive))
                        match.rects.append(line.rect);
                }
                if (match.rects.isEmpty()) // the text runs over a line break
                    match.rects.append(item.rect);
                m_matches.append(match);
            }
        }
        // Start at the current page.
        m_match = -1;
        for (int i = 0; i < m_matches.size(); ++i) {
            if (m_matches.at(i).page >= m_page) {
                m_match = i - 1;
                break;
            }
        }
    }
    if (m_matches.isEmpty()) {
        m_match = -1;
        showPage();
        return false;
    }
    m_match = (m_match + 1) % int(m_matches.size());
    m_page = m_matches.at(m_match).page;
    showPage();
    const QRectF first = m_matches.at(m_match).rects.first();
    const qreal scale = m_view->scale();
    m_scroll->ensureVisible(int(12 + first.center().x() * scale), int(12 + first.center().y() * scale), 50, 80);
    return true;
}

QString ReportPreviewWindow::text(const char16_t *thai, const char16_t *english) const
{
    return byLanguage(m_language, QString::fromUtf16(thai), QString::fromUtf16(english));
}

int ReportPreviewWindow::print(QPrinter &printer, const ReportPrintOptions &options) const
{
    return ReportPrinter::print(m_document, printer, options, m_language);
}

void ReportPreviewWindow::exportTo(ReportExport::Format format, const QString &path) const
{
    ReportExport::write(m_document, format, path, m_language);
}

void ReportPreviewWindow::setPageLayout(const QPageLayout &layout)
{
    if (!m_run)
        return;
    try {
        m_document = m_run->layOut(layout);
    } catch (const ReportError &error) {
        DialogService::instance().showMessage(
            ReportMessages::cannotPrepare(m_language, m_run->definition().fileName, error.message()));
        return;
    }
    m_findText.clear();
    m_matches.clear();
    m_match = -1;
    m_page = 0;
    showPage();
    applyZoomChoice();
}

void ReportPreviewWindow::pageSetupWithDialog()
{
    ReportSetupDialog dialog(ReportSetupDialog::Kind::Page, m_document.pageLayout, nullptr, m_language, this);
    if (dialog.exec() == QDialog::Accepted)
        setPageLayout(dialog.pageLayout());
}

// The printer is the one chosen in the printer set-up; each page goes out on the paper it was
// laid out on.
void ReportPreviewWindow::printWithDialog()
{
    if (!m_printer || pageCount() == 0)
        return;
    ReportPrintDialog dialog(*m_printer, pageCount(), m_page, m_language, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (dialog.pdfFileEdit())
        m_printer->setOutputFileName(dialog.pdfFileName());
    try {
        print(*m_printer, dialog.options());
    } catch (const EInOutError &error) {
        DialogService::instance().showMessage(error.message());
    }
}

void ReportPreviewWindow::exportWithDialog()
{
    const QStringList extensions{QStringLiteral("csv"), QStringLiteral("xlsx"), QStringLiteral("pdf"), QStringLiteral("rtf")};
    const QString name = m_document.title.isEmpty() ? QStringLiteral("report") : m_document.title;
    const QString path = ReportFileDialog::saveFileName(this, m_language, text(u"ส่งออกรายงาน", u"Export Report"),
                                                        name + QStringLiteral(".csv"), extensions);
    if (path.isEmpty())
        return;
    try {
        exportTo(ReportExport::formatOf(path), path);
    } catch (const EInOutError &error) {
        DialogService::instance().showMessage(error.message());
    }
}

} // namespace platform
