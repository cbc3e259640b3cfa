#include "app/Fr_FormLogo.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

TFormLogo::TFormLogo(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , Image1(new QLabel(this))
{
    setObjectName(QStringLiteral("FormLogo"));
    setFixedSize(301, 166);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0, 0, 255)); // clBlue
    setPalette(p);
    setCursor(Qt::PointingHandCursor);
    Image1->setGeometry(rect());
    Image1->setScaledContents(true);
    Image1->setPixmap(picture());
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    qApp->installEventFilter(this);
}

bool TFormLogo::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::Hide) && !event->spontaneous() && watched != this && watched->isWidgetType()) {
        const auto *window = static_cast<QWidget *>(watched);
        if (window->isWindow() && window->isModal()) {
            if (type == QEvent::Show) {
                ++m_modalWindowsUp;
                hide();
            } else if (m_modalWindowsUp > 0 && --m_modalWindowsUp == 0) {
                show();
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFormLogo::showAndPaint()
{
    show();
    raise();
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QPixmap TFormLogo::picture()
{
    QPixmap pixmap(301, 166);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 166);
    sky.setColorAt(0, QColor(10, 40, 160));
    sky.setColorAt(1, QColor(0, 0, 255));
    painter.fillRect(pixmap.rect(), sky);
    painter.setPen(QPen(QColor(255, 210, 60), 3));
    painter.drawRoundedRect(QRectF(8, 8, 285, 150), 12, 12);
    QFont title(QStringLiteral("Loma"));
    title.setPixelSize(40);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 22, 301, 56), Qt::AlignCenter, QStringLiteral("Tarvo"));
    QFont sub(QStringLiteral("Loma"));
    sub.setPixelSize(18);
    painter.setFont(sub);
    painter.drawText(QRect(0, 80, 301, 30), Qt::AlignCenter, QStringLiteral("ระบบฝากขายและปรับปรุงสต๊อก"));
    sub.setPixelSize(12);
    painter.setFont(sub);
    painter.setPen(QColor(200, 220, 255));
    painter.drawText(QRect(0, 118, 301, 24), Qt::AlignCenter, QStringLiteral("กำลังเปิดฐานข้อมูล..."));
    return pixmap;
}
