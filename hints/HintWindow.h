#pragma once

#include "hints/HintTypes.h"

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>

class TFormHints;

// The balloon hint window. While balloons are switched on (see TFormHints) the application
// has one of these, installed as an application-wide event filter: it takes every tooltip
// event whose widget has a hint, asks the settings' OnShowHint, places the balloon beside
// the cursor, snapshots the screen under it and shows the composed image. Events it leaves
// alone (no settings found, no hint text) reach Qt's standard tooltip as usual.
//
// Hint texts come from, starting at the deepest widget under the cursor (disabled widgets
// included) and going up to the widget that received the event: an item view's item
// (Qt::ToolTipRole) or header section, a tab bar's tab, or the widget's toolTip(). Other
// widgets that compose tooltips of their own (menus, for example) keep the standard look.
//
// The balloon hides when the mouse leaves the hinted area, on a key or mouse button press,
// the wheel, when the hinted window or the application is deactivated, and after the
// standard tooltip's time (or the widget's toolTipDuration()).
class TfhHintWindow : public QWidget
{
    Q_OBJECT

public:
    TfhHintWindow();
    ~TfhHintWindow() override;

    // The settings: the first TFormHints among the direct children of the main window (the
    // registered one, else the active window), looked up on first need and kept while it
    // lives. Null when there is none.
    TFormHints *settings();
    void forgetSettings();

    // The text rectangle of a hint: the settings' MaxWidth, when not zero, replaces maxWidth.
    QRect CalcHintRect(int maxWidth, const QString &hint);

    // Shows the hint of a control with the cursor at the given screen position. area is the
    // screen rectangle the hint belongs to (the control's when empty). Returns false when no
    // settings are found, so that the caller shows a standard tooltip; true when the hint was
    // shown (as a balloon or a standard tooltip) or suppressed by OnShowHint.
    bool ActivateHint(QWidget *control, const QPoint &cursor, const QString &hint, const QRect &area = QRect());
    void hideHint();

    // Ends this window when the application switches back to standard tooltips.
    void retire();

    TfhHintDirection direction() const { return m_direction; }
    bool standardLook() const { return m_standardLook; }
    QWidget *hintControl() const { return m_control; }
    QString hintText() const { return m_text; }
    QImage backgroundImage() const { return m_background; }
    QImage composedImage() const { return m_composed; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    struct HintSource {
        QWidget *control = nullptr;
        QString text;
        QRect area; // screen coordinates
    };

    static HintSource hintSourceOf(QWidget *widget, const QPoint &pos);
    static HintSource hintSourceAt(QWidget *receiver, const QPoint &pos);
    bool closesHint(QObject *watched, QEvent *event) const;
    void settingsChanged();
    void recompose();

    QPointer<TFormHints> m_settings;
    TfhHintDirection m_direction = dUpRight;
    bool m_standardLook = false;
    QImage m_background;
    QImage m_composed;
    QPointer<QWidget> m_control;
    QString m_text;
    QString m_drawnText;
    QRect m_area;
    QTimer m_hideTimer;
    int m_busy = 0;
    bool m_retired = false;
};
