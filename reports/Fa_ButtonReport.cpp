#include "reports/Fa_ButtonReport.h"

#include "data/LaunchContext.h"
#include "platform/ui/FocusEntry.h"

#include <QEvent>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

using namespace platform;

namespace {

constexpr int GroupHeight = 41;
constexpr int StatusBarHeight = 22;
constexpr int ButtonWidth = 135;
constexpr int ButtonHeight = 27;
constexpr int ButtonTop = 8;
constexpr int ButtonLefts[] = {5, 141, 277};
constexpr int PanelWidths[] = {250, 50};

// The close glyph: a red cross on a light disc; Qt derives the greyed image for a disabled
// button from it.
QIcon closeIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(150, 20, 20), 1));
    painter.setBrush(QColor(250, 235, 235));
    painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    painter.setPen(QPen(QColor(200, 0, 0), 2.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
    painter.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
    painter.end();
    return QIcon(pixmap);
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, int index)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setCursor(Qt::PointingHandCursor);
    button->setAutoDefault(false);
    button->setGeometry(ButtonLefts[index], ButtonTop, ButtonWidth, ButtonHeight);
    return button;
}

} // namespace

TFaButtonReport::TFaButtonReport(QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("FaButtonReport"));
    resize(FrameWidth, FrameHeight);
    setFixedHeight(FrameHeight);
    setMinimumWidth(FrameWidth);

    GroupButton = new QGroupBox(this);
    GroupButton->setObjectName(QStringLiteral("GroupButton"));
    GroupButton->setFixedHeight(GroupHeight);
    BtPreview = makeButton(GroupButton, "BtPreview", QStringLiteral("แสดง/พิมพ์ รายงาน"), 0);
    BtPrintSetup = makeButton(GroupButton, "BtPrintSetup", QStringLiteral("กำหนดเครื่องพิมพ์"), 1);
    BtClose = makeButton(GroupButton, "BtClose", QStringLiteral("ปิด"), 2);
    BtClose->setIcon(closeIcon());
    setTabOrder(BtPreview, BtPrintSetup);
    setTabOrder(BtPrintSetup, BtClose);

    FaStatusBar = new QStatusBar(this);
    FaStatusBar->setObjectName(QStringLiteral("FaStatusBar"));
    FaStatusBar->setSizeGripEnabled(false);
    FaStatusBar->setFixedHeight(StatusBarHeight);
    for (int width : PanelWidths) {
        auto *panel = new QLabel(FaStatusBar);
        panel->setFixedWidth(width);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        FaStatusBar->addWidget(panel);
        panel->installEventFilter(this);
        m_panels.append(panel);
    }
    FaStatusBar->installEventFilter(this);

    // Both docked to the bottom: the status bar at the very bottom, the buttons above it.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addStretch(1);
    layout->addWidget(GroupButton);
    layout->addWidget(FaStatusBar);

    FocusEntry::watch(this, [this] { FrameEnter(); });
}

void TFaButtonReport::EngButtomCaption()
{
    BtPreview->setText(QStringLiteral("Preview Report"));
    BtPrintSetup->setText(QStringLiteral("Printer Setup"));
    BtClose->setText(QStringLiteral("Close"));
}

void TFaButtonReport::FrameEnter()
{
    if (launchContext().ThaiLanguage)
        return;
    EngButtomCaption();
}

bool TFaButtonReport::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick &&
        (watched == FaStatusBar || m_panels.contains(static_cast<QLabel *>(watched)))) {
        Q_EMIT statusBarDoubleClicked();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}
