#pragma once

#include "hints/HintStyle.h"
#include "hints/HintTypes.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QWidget;
class TfhHintWindow;

// Called before a balloon is shown. Sender is the hint window, HintControl the widget whose
// hint is about to show, Hint its text. Clearing AllowShowHint shows nothing; setting
// ShowStandardHint shows this hint as a standard tooltip instead of a balloon.
using TfhOnShowHint = std::function<void(TfhHintWindow *Sender, QWidget *HintControl, const QString &Hint, bool &AllowShowHint,
                                         bool &ShowStandardHint)>;

// Settings of the balloon hint window, placed on a form as a child object:
//
//     auto *hints = new TFormHints(form);   // switches the whole application to balloons
//
// Whenever Active changes, the application's hint window is recreated: while it is true every
// tooltip of the application is shown by the one TfhHintWindow, which watches the
// application's tooltip events; false goes back to the standard tooltips. The constructor
// sets Active, so creating the component switches the application over. Several components
// share the one application-wide switch: the last change wins, and the balloons end when the
// last component is destroyed.
//
// The hint window takes its settings from the first TFormHints among the direct children of
// the application's main window: the window registered with setMainWindow(), or, while none
// is registered, the active window at the time of the first hint. With no settings found,
// hints show as standard tooltips.
class TFormHints : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE setActive)
    Q_PROPERTY(TBiDiMode BiDiMode READ BiDiMode WRITE setBiDiMode)
    Q_PROPERTY(QColor ColorBackground READ ColorBackground WRITE setColorBackground)
    Q_PROPERTY(QColor ColorBorder READ ColorBorder WRITE setColorBorder)
    Q_PROPERTY(QColor ColorShadow READ ColorShadow WRITE setColorShadow)
    Q_PROPERTY(TfhHintDirection Direction READ Direction WRITE setDirection)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(QColor FontColor READ FontColor WRITE setFontColor)
    Q_PROPERTY(quint16 MaxWidth READ MaxWidth WRITE setMaxWidth)
    Q_PROPERTY(bool Rounded READ Rounded WRITE setRounded)
    Q_PROPERTY(quint16 RoundRadius READ RoundRadius WRITE setRoundRadius)
    Q_PROPERTY(bool ShowArrow READ ShowArrow WRITE setShowArrow)
    Q_PROPERTY(bool ShowShadow READ ShowShadow WRITE setShowShadow)
    Q_PROPERTY(TfhTextAlignment TextAlignment READ TextAlignment WRITE setTextAlignment)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(quint8 TransparencyRate READ TransparencyRate WRITE setTransparencyRate)

public:
    explicit TFormHints(QObject *parent = nullptr);
    ~TFormHints() override;

    bool Active() const { return m_active; }
    void setActive(bool active);

    TBiDiMode BiDiMode() const { return m_style.BiDiMode; }
    void setBiDiMode(TBiDiMode mode);
    QColor ColorBackground() const { return m_style.ColorBackground; }
    void setColorBackground(const QColor &color);
    QColor ColorBorder() const { return m_style.ColorBorder; }
    void setColorBorder(const QColor &color);
    QColor ColorShadow() const { return m_style.ColorShadow; }
    void setColorShadow(const QColor &color);
    TfhHintDirection Direction() const { return m_direction; }
    void setDirection(TfhHintDirection direction);
    // The text font; its colour is FontColor (a QFont carries none).
    QFont Font() const { return m_style.Font; }
    void setFont(const QFont &font);
    QColor FontColor() const { return m_style.FontColor; }
    void setFontColor(const QColor &color);
    quint16 MaxWidth() const { return m_maxWidth; }
    void setMaxWidth(quint16 width);
    bool Rounded() const { return m_style.Rounded; }
    void setRounded(bool rounded);
    quint16 RoundRadius() const { return quint16(m_style.RoundRadius); }
    void setRoundRadius(quint16 radius);
    bool ShowArrow() const { return m_style.ShowArrow; }
    void setShowArrow(bool show);
    bool ShowShadow() const { return m_style.ShowShadow; }
    void setShowShadow(bool show);
    TfhTextAlignment TextAlignment() const { return m_style.TextAlignment; }
    void setTextAlignment(TfhTextAlignment alignment);
    bool Transparent() const { return m_style.Transparent; }
    void setTransparent(bool transparent);
    quint8 TransparencyRate() const { return quint8(m_style.TransparencyRate); }
    void setTransparencyRate(quint8 rate);
    const TfhOnShowHint &OnShowHint() const { return m_onShowHint; }
    void setOnShowHint(TfhOnShowHint handler) { m_onShowHint = std::move(handler); }

    // The look of a balloon as plain values.
    HintStyle hintStyle() const { return m_style; }

    // The settings of the base data-entry form: a component named "FormHints1" on the form
    // with centred text, transparency rate 20 and an 11-pixel "MS Sans Serif" font in the
    // tooltip text colour; everything else default.
    static TFormHints *createForBaseForm(QWidget *form);

    // The window whose first TFormHints child gives the settings. The program registers its
    // main screen; the live hint window then looks its settings up again.
    static void setMainWindow(QWidget *window);
    static QWidget *mainWindow();

    // The application's balloon hint window while balloons are switched on, else null.
    static TfhHintWindow *hintWindow();

signals:
    // Any property changed; a balloon on screen is repainted with the new settings at once.
    void changed();

private:
    void touch();

    bool m_active = false;
    TfhHintDirection m_direction = dUpRight;
    quint16 m_maxWidth = 0;
    HintStyle m_style;
    TfhOnShowHint m_onShowHint;
};
