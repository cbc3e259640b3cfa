#include "hints/FormHints.h"

#include "hints/HintWindow.h"

#include <QApplication>
#include <QPalette>
#include <QToolTip>

namespace {

// One hint window serves the whole application, as the standard tooltip does.
QPointer<TfhHintWindow> applicationHintWindow;
QPointer<QWidget> registeredMainWindow;
int componentCount = 0;

QApplication *widgetApplication()
{
    return qobject_cast<QApplication *>(QCoreApplication::instance());
}

void dropHintWindow()
{
    TfhHintWindow *window = applicationHintWindow;
    applicationHintWindow.clear();
    if (!window)
        return;
    if (QApplication *app = widgetApplication())
        app->removeEventFilter(window);
    window->retire();
}

// Recreates the application's hint window: a balloon window watching every tooltip event
// when on, none (standard tooltips) when off.
void switchApplicationHints(bool on)
{
    dropHintWindow();
    QApplication *app = widgetApplication();
    if (!on || !app)
        return;
    applicationHintWindow = new TfhHintWindow;
    app->installEventFilter(applicationHintWindow);
}

} // namespace

TFormHints::TFormHints(QObject *parent)
    : QObject(parent)
{
    ++componentCount;
    if (widgetApplication()) {
        const QPalette palette = QToolTip::palette();
        m_style.ColorBackground = palette.color(QPalette::Inactive, QPalette::ToolTipBase);
        m_style.FontColor = palette.color(QPalette::Inactive, QPalette::ToolTipText);
        m_style.Font = QToolTip::font();
    }
    setActive(true);
}

TFormHints::~TFormHints()
{
    if (--componentCount == 0)
        dropHintWindow();
}

void TFormHints::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    switchApplicationHints(active);
}

void TFormHints::touch()
{
    emit changed();
}

void TFormHints::setBiDiMode(TBiDiMode mode)
{
    m_style.BiDiMode = mode;
    touch();
}

void TFormHints::setColorBackground(const QColor &color)
{
    m_style.ColorBackground = color;
    touch();
}

void TFormHints::setColorBorder(const QColor &color)
{
    m_style.ColorBorder = color;
    touch();
}

void TFormHints::setColorShadow(const QColor &color)
{
    m_style.ColorShadow = color;
    touch();
}

void TFormHints::setDirection(TfhHintDirection direction)
{
    m_direction = direction;
    touch();
}

void TFormHints::setFont(const QFont &font)
{
    m_style.Font = font;
    touch();
}

void TFormHints::setFontColor(const QColor &color)
{
    m_style.FontColor = color;
    touch();
}

void TFormHints::setMaxWidth(quint16 width)
{
    m_maxWidth = width;
    touch();
}

void TFormHints::setRounded(bool rounded)
{
    m_style.Rounded = rounded;
    touch();
}

void TFormHints::setRoundRadius(quint16 radius)
{
    m_style.RoundRadius = radius;
    touch();
}

void TFormHints::setShowArrow(bool show)
{
    m_style.ShowArrow = show;
    touch();
}

void TFormHints::setShowShadow(bool show)
{
    m_style.ShowShadow = show;
    touch();
}

void TFormHints::setTextAlignment(TfhTextAlignment alignment)
{
    m_style.TextAlignment = alignment;
    touch();
}

void TFormHints::setTransparent(bool transparent)
{
    m_style.Transparent = transparent;
    touch();
}

void TFormHints::setTransparencyRate(quint8 rate)
{
    m_style.TransparencyRate = rate;
    touch();
}

TFormHints *TFormHints::createForBaseForm(QWidget *form)
{
    auto *hints = new TFormHints(form);
    hints->setObjectName(QStringLiteral("FormHints1"));
    hints->setTextAlignment(taCenter);
    hints->setTransparencyRate(20);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    hints->setFont(font);
    if (widgetApplication())
        hints->setFontColor(QToolTip::palette().color(QPalette::Inactive, QPalette::ToolTipText));
    return hints;
}

void TFormHints::setMainWindow(QWidget *window)
{
    registeredMainWindow = window;
    if (applicationHintWindow)
        applicationHintWindow->forgetSettings();
}

QWidget *TFormHints::mainWindow()
{
    return registeredMainWindow;
}

TfhHintWindow *TFormHints::hintWindow()
{
    return applicationHintWindow;
}
