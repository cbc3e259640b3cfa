#include "platform/reportview/ReportPageView.h"

#include "platform/report/ReportPagePainter.h"

#include <QPainter>

namespace platform {

namespace {
constexpr int border = 12;
}

ReportPageView::ReportPageView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ReportPageView::setPage(const ReportPage &page)
{
    m_page = page;
    m_highlights.clear();
    resize(sizeHint());
    update();
}

void ReportPageView::setZoom(qreal zoom)
{
    m_zoom = std::clamp<qreal>(zoom, 0.1, 8.0);
    resize(sizeHint());
    update();
}

void ReportPageView::setHighlights(const QList<QRectF> &highlights)
{
    m_highlights = highlights;
    update();
}

qreal ReportPageView::scale() const
{
    return logicalDpiX() / 25.4 * m_zoom;
}

QSize ReportPageView::sizeHint() const
{
    const QSizeF size = m_page.size * scale();
    return QSize(qCeil(size.width()) + 2 * border, qCeil(size.height()) + 2 * border);
}

void ReportPageView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    const QRectF paper(border, border, m_page.size.width() * scale(), m_page.size.height() * scale());
    painter.fillRect(paper.translated(3, 3), QColor(0, 0, 0, 90));
    painter.fillRect(paper, Qt::white);
    ReportPagePainter::paint(painter, m_page, scale(), paper.topLeft(), m_highlights);
}

} // namespace platform
