#pragma once

#include <QHash>
#include <QIcon>
#include <QList>
#include <QMainWindow>

class QAction;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class TFormHints;
class QStatusBar;
class QToolButton;

// The base data-entry form every screen derives from: a toolbar of record actions across the
// top, a status bar at the bottom, Enter moving to the next control, Escape leaving the screen,
// fixed action shortcuts and a confirmation before the form closes, in the user's language.
//
// Building a screen on it:
//  - In the constructor, set the caption (setWindowTitle), the size (setClientSize) and build
//    the controls on clientArea(), whose top-left corner lies just under the toolbar panel.
//    Set the tab order with QWidget::setTabOrder; Enter follows it.
//  - Override FormShow() and AcNewExecute(); call TFrForm::FormShow() / TFrForm::AcNewExecute()
//    first, then do the screen's own steps. The base show runs AcNewExecute() through the
//    override, so the screen's "new" runs at show time too; AcNew (F3) runs the override.
//  - Override AcSaveExecute(), AcDelExecute() (and the others) for the actions the screen uses;
//    each action runs its function when triggered and enabled. The base "new" disables AcSave,
//    AcDel and AcChgCode; the screen enables them (AcSave->setEnabled(true)) when they may run.
//  - A toolbar button that the base show hides (BHist, BCopy, BPrint, BChgCode) is shown again
//    with setVisible(true) after calling TFrForm::FormShow().
//  - Handlers for leaving a control go through FocusExit::watch, every other handler is connected
//    with connectGuarded (platform/ui/ConnectGuarded.h), messages go through DialogService::instance(). Errors are
//    not caught by the screen: they reach the application-wide handler.
//
// Keys: while KeyPreview is on (from the first "new" on) the form sees every key of its window
// before the focused control: Enter moves to the next tab stop and goes no further, Escape runs
// AcExitExecute(), and the shortcut of an enabled action wins over a control's own use of the
// key (Ctrl+X closes rather than cuts).
//
// Closing: every way of closing (Exit button, Ctrl+X, Escape, the title bar, close()) asks
// FormClose(); No leaves the form exactly as it was.
class TFrForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TFrForm(QWidget *parent = nullptr);
    ~TFrForm() override;

    // Client area of a plain form.
    static constexpr int DefaultClientWidth = 632;
    static constexpr int DefaultClientHeight = 421;

    // The area between the toolbar panel and the status bar, where a screen puts its controls.
    QWidget *clientArea() const { return m_clientArea; }
    // Fixes the form's client size (the window cannot be resized by the user).
    void setClientSize(int width, int height);

    // One of the status bar's two panels (0: 200 pixels wide, 1: 50 pixels).
    QLabel *statusPanel(int index) const;

    // The action with the given image index in ImageList1 (-1 for none).
    static int imageIndex(const QAction *action);

    // Toolbar panel and toolbar.
    QFrame *Panel2 = nullptr;
    QWidget *ToolBar1 = nullptr;
    QToolButton *BNew = nullptr;
    QToolButton *BDel = nullptr;
    QToolButton *BSave = nullptr;
    QToolButton *BChgCode = nullptr;
    QToolButton *BHist = nullptr;
    QToolButton *BCopy = nullptr;
    QToolButton *BPrint = nullptr;
    QToolButton *BExit = nullptr;

    QStatusBar *StatusBar1 = nullptr;
    // Upper-case code box, hidden whenever a new record starts.
    QLineEdit *ChgCode = nullptr;
    // The toolbar images, indexed by the actions' image indexes.
    QList<QIcon> ImageList1;
    // The balloon hint component of the form: centred text, transparency rate 20, an 11-pixel
    // font. While it is active every tooltip of the program is a balloon.
    TFormHints *FormHints1 = nullptr;

    // Actions (ActionList1).
    QAction *AcNew = nullptr;
    QAction *AcDel = nullptr;
    QAction *AcSave = nullptr;
    QAction *AcHist = nullptr;
    QAction *AcCopy = nullptr;
    QAction *AcPrint = nullptr;
    QAction *AcExit = nullptr;
    QAction *AcChgCode = nullptr;

    // The form sees keys before its controls (switched on by AcNewExecute).
    bool KeyPreview = false;

    // On every show: the application title takes the caption, BHist, BCopy, BPrint and BChgCode
    // are hidden, then AcNewExecute() runs.
    virtual void FormShow();
    // Start of a new record: hides ChgCode, disables AcSave, AcDel and AcChgCode, KeyPreview on.
    virtual void AcNewExecute();
    // Asks the form to close (the close is confirmed by FormClose).
    virtual void AcExitExecute();
    // Bound to the actions of the same name; nothing in the base form.
    virtual void AcDelExecute() {}
    virtual void AcSaveExecute() {}
    virtual void AcHistExecute() {}
    virtual void AcCopyExecute() {}
    virtual void AcPrintExecute() {}
    virtual void AcChgCodeExecute() {}
    // Decides whether a close may proceed: asks "ออกจากโปรแกรม ?" (Thai users) or
    // "Exit Program ?" in a green Yes/No box with white text. True for Yes.
    virtual bool FormClose();
    // A key of the form's window, seen first. Enter moves the focus to the next tab stop
    // (not consumed here); Escape runs AcExitExecute() (consumed). Returns true when consumed.
    virtual bool FormKeyDown(QKeyEvent *event);
    // The character of a key: Enter is swallowed so no control reacts to it. True when consumed.
    virtual bool FormKeyPress(QKeyEvent *event);

    // The close question's texts and colours.
    static QString closeQuestionThai() { return QStringLiteral("ออกจากโปรแกรม ?"); }
    static QString closeQuestionEnglish() { return QStringLiteral("Exit Program ?"); }
    static QColor closeQuestionBackground() { return QColor(0, 128, 0); }
    static QColor closeQuestionText() { return QColor(255, 255, 255); }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *makeAction(const QString &caption, const QString &hint, int image, const QKeySequence &shortcut,
                        void (TFrForm::*execute)());
    QToolButton *makeButton(QAction *action, const QString &name);
    bool isKeyOfThisWindow(QObject *watched) const;
    bool shortcutOfEnabledAction(const QKeyEvent *event) const;

    QWidget *m_clientArea = nullptr;
    QList<QLabel *> m_statusPanels;
    QList<QAction *> m_actions;
    QHash<QToolButton *, QString> m_hints;
    bool m_placed = false;
};
