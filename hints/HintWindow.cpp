#include "hints/HintWindow.h"

#include "hints/FormHints.h"
#include "hints/HintGeometry.h"
#include "hints/HintPainter.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTabBar>
#include <QToolTip>

#include <algorithm>

namespace {

QRect toScreen(const QWidget *widget, const QRect &rect)
{
    return QRect(widget->mapToGlobal(rect.topLeft()), rect.size());
}

QScreen *screenFor(const QPoint &cursor, const QWidget *control)
{
    if (QScreen *screen = QGuiApplication::screenAt(cursor))
        return screen;
    if (control && control->screen())
        return control->screen();
    return QGuiApplication::primaryScreen();
}

// The screen under the balloon. What the platform cannot read back (a balloon sticking out
// of the screen, a platform without screen capture) is the window colour instead.
QImage snapshotUnder(QScreen *screen, const QRect &rect)
{
    QImage image(rect.size(), QImage::Format_RGB32);
    image.fill(QApplication::palette().color(QPalette::Window));
    if (!screen)
        return image;
    const QRect g = screen->geometry();
    const QRect visible = rect & g;
    if (visible.isEmpty())
        return image;
    QImage grabbed = screen->grabWindow(0, visible.x() - g.x(), visible.y() - g.y(), visible.width(), visible.height()).toImage();
    if (grabbed.isNull())
        return image;
    grabbed.setDevicePixelRatio(1);
    if (grabbed.size() != visible.size())
        grabbed = grabbed.scaled(visible.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&image);
    painter.drawImage(visible.topLeft() - rect.topLeft(), grabbed);
    return image;
}

// Time a hint stays up, as for the standard tooltip.
int hideDelay(const QWidget *control, const QString &text)
{
    if (control && control->toolTipDuration() > 0)
        return control->toolTipDuration();
    return 10000 + 40 * std::max<qsizetype>(0, text.size() - 100);
}

struct BusyScope {
    explicit BusyScope(int &counter)
        : m_counter(counter)
    {
        ++m_counter;
    }
    ~BusyScope() { --m_counter; }
    int &m_counter;
};

} // namespace

TfhHintWindow::TfhHintWindow()
    : QWidget(nullptr,
              Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus |
                  Qt::NoDropShadowWindowHint)
{
    setObjectName(QStringLiteral("fhHintWindow"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // The composed image covers every pixel; nothing is erased underneath.
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_hideTimer.setSingleShot(true);
    connect(&m_hideTimer, &QTimer::timeout, this, &TfhHintWindow::hideHint);
}

TfhHintWindow::~TfhHintWindow() = default;

TFormHints *TfhHintWindow::settings()
{
    if (!m_settings) {
        QWidget *main = TFormHints::mainWindow();
        if (!main)
            main = QApplication::activeWindow();
        if (main) {
            for (QObject *child : main->children()) {
                if (auto *hints = qobject_cast<TFormHints *>(child)) {
                    m_settings = hints;
                    connect(hints, &TFormHints::changed, this, &TfhHintWindow::settingsChanged);
                    break;
                }
            }
        }
    }
    return m_settings;
}

void TfhHintWindow::forgetSettings()
{
    if (m_settings)
        disconnect(m_settings, nullptr, this, nullptr);
    m_settings.clear();
}

QRect TfhHintWindow::CalcHintRect(int maxWidth, const QString &hint)
{
    TFormHints *hints = settings();
    if (hints && hints->MaxWidth() != 0)
        maxWidth = hints->MaxWidth();
    const QFont font = hints ? hints->Font() : QToolTip::font();
    return QRect(QPoint(0, 0), hintTextRect(font, hint, maxWidth));
}

bool TfhHintWindow::ActivateHint(QWidget *control, const QPoint &cursor, const QString &hint, const QRect &area)
{
    BusyScope busy(m_busy);
    hideHint();
    TFormHints *hints = settings();
    if (!hints)
        return false;

    m_control = control;
    m_text = hint;
    m_area = area.isValid() || !control ? area : toScreen(control, control->rect());

    bool allowShowHint = true;
    bool showStandardHint = false;
    if (hints->OnShowHint())
        hints->OnShowHint()(this, control, hint, allowShowHint, showStandardHint);
    // The handler may have switched the balloons off or destroyed the settings.
    if (m_retired || !m_settings)
        return true;
    if (!allowShowHint)
        return true;

    m_standardLook = showStandardHint;
    if (m_standardLook) {
        const QRect local =
            control && m_area.isValid() ? QRect(control->mapFromGlobal(m_area.topLeft()), m_area.size()) : QRect();
        QToolTip::showText(cursor, hint, control, local, hideDelay(control, hint));
        return true;
    }
    QToolTip::hideText();

    m_drawnText = alignHintText(hint, hints->TextAlignment());
    QScreen *screen = screenFor(cursor, control);
    const QRect screenRect = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    // The application asks for hints as wide as the screen.
    const QRect textRect = CalcHintRect(screenRect.width(), hint);
    const HintPlacement placement = placeHintBalloon(cursor, screenRect, textRect.size(), hints->Direction());
    m_direction = placement.direction;
    setGeometry(placement.rect);
    m_background = snapshotUnder(screen, placement.rect);
    recompose();
    // A new tool-tip window is mapped above every other window, without activation.
    show();
    m_hideTimer.start(hideDelay(control, hint));
    return true;
}

void TfhHintWindow::hideHint()
{
    m_hideTimer.stop();
    if (isVisible())
        hide();
}

void TfhHintWindow::retire()
{
    m_retired = true;
    hideHint();
    forgetSettings();
    if (m_busy > 0)
        deleteLater();
    else
        delete this;
}

void TfhHintWindow::settingsChanged()
{
    if (isVisible() && !m_standardLook)
        recompose();
}

void TfhHintWindow::recompose()
{
    if (!m_settings)
        return;
    m_composed = composeHintImage(m_background, m_settings->hintStyle(), m_direction, m_drawnText);
    update();
}

void TfhHintWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_composed);
}

TfhHintWindow::HintSource TfhHintWindow::hintSourceOf(QWidget *widget, const QPoint &pos)
{
    HintSource source;
    auto *view = qobject_cast<QAbstractItemView *>(widget->parentWidget());
    if (view && view->viewport() == widget) {
        QRect area;
        if (auto *header = qobject_cast<QHeaderView *>(view)) {
            const int section = header->logicalIndexAt(pos);
            if (section >= 0 && header->model()) {
                source.text = header->model()->headerData(section, header->orientation(), Qt::ToolTipRole).toString();
                area = header->orientation() == Qt::Horizontal
                    ? QRect(header->sectionViewportPosition(section), 0, header->sectionSize(section), widget->height())
                    : QRect(0, header->sectionViewportPosition(section), widget->width(), header->sectionSize(section));
            }
        } else {
            const QModelIndex index = view->indexAt(pos);
            if (index.isValid()) {
                source.text = index.data(Qt::ToolTipRole).toString();
                area = view->visualRect(index);
            }
        }
        if (!source.text.isEmpty()) {
            source.control = view;
            source.area = toScreen(widget, area);
        }
        // Without an item hint the view itself (or a parent) may still have one.
        return source;
    }
    if (auto *tabs = qobject_cast<QTabBar *>(widget)) {
        const int tab = tabs->tabAt(pos);
        if (tab >= 0 && !tabs->tabToolTip(tab).isEmpty()) {
            source.control = tabs;
            source.text = tabs->tabToolTip(tab);
            source.area = toScreen(tabs, tabs->tabRect(tab));
            return source;
        }
    }
    if (!widget->toolTip().isEmpty()) {
        source.control = widget;
        source.text = widget->toolTip();
        source.area = toScreen(widget, widget->rect());
    }
    return source;
}

TfhHintWindow::HintSource TfhHintWindow::hintSourceAt(QWidget *receiver, const QPoint &pos)
{
    // Qt delivers tooltip events for a disabled widget to its enabled parent; the hint of the
    // disabled widget under the cursor still comes first.
    QWidget *deepest = receiver->childAt(pos);
    for (QWidget *w = deepest ? deepest : receiver; w; w = w->parentWidget()) {
        const HintSource source = hintSourceOf(w, w->mapFrom(receiver, pos));
        if (!source.text.isEmpty() || w == receiver)
            return source;
    }
    return HintSource();
}

bool TfhHintWindow::closesHint(QObject *watched, QEvent *event) const
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        return true;
    case QEvent::MouseMove: {
        const QPoint global = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
        return !m_area.contains(global);
    }
    case QEvent::Leave:
        return watched == m_control;
    case QEvent::WindowDeactivate:
        return !m_control || watched == m_control->window();
    case QEvent::ApplicationStateChange:
        return QGuiApplication::applicationState() != Qt::ApplicationActive;
    default:
        return false;
    }
}

bool TfhHintWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (m_retired)
        return false;
    if (event->type() == QEvent::ToolTip && watched->isWidgetType() && watched != this) {
        auto *help = static_cast<QHelpEvent *>(event);
        const HintSource source = hintSourceAt(static_cast<QWidget *>(watched), help->pos());
        if (source.text.isEmpty())
            return false;
        if (isVisible() && source.control == m_control && source.text == m_text && source.area == m_area) {
            return true; // this hint is up already
        }
        if (!ActivateHint(source.control, help->globalPos(), source.text, source.area))
            return false;
        event->accept();
        return true;
    }
    if (isVisible() && (closesHint(watched, event) || !m_control))
        hideHint();
    return false;
}
