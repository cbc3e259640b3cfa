#pragma once

#include "platform/report/ReportPage.h"

#include <QList>
#include <QRectF>
#include <QWidget>

namespace platform {

// Shows one prepared page at a zoom factor (1.0 = real size on screen), with marked areas.
class ReportPageView : public QWidget
{
    Q_OBJECT

public:
    explicit ReportPageView(QWidget *parent = nullptr);

    void setPage(const ReportPage &page);
    void setZoom(qreal zoom);
    qreal zoom() const { return m_zoom; }
    void setHighlights(const QList<QRectF> &highlights);
    // Pixels per millimetre at the current zoom.
    qreal scale() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ReportPage m_page;
    qreal m_zoom = 1;
    QList<QRectF> m_highlights;
};

} // namespace platform
