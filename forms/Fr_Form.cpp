#include "forms/Fr_Form.h"

#include "hints/FormHints.h"

#include "data/LaunchContext.h"
#include "platform/ui/ApplicationTitle.h"
#include "platform/ui/ConnectGuarded.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/EnterAsTab.h"
#include "platform/ui/ThaiFont.h"
#include "platform/ui/UpperCaseValidator.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace platform;

static void initFormResources()
{
    Q_INIT_RESOURCE(Fr_Form);
}

namespace {

constexpr int FontPixelSize = 13;
// The captions under the toolbar images are smaller, so that "Chg Code" fits a 54-pixel button.
constexpr int ToolbarCaptionPixelSize = 11;
constexpr int ToolbarPanelHeight = 42;
constexpr int ButtonWidth = 54;
constexpr int ButtonHeight = 36;
constexpr int StatusPanelWidths[] = {200, 50};

const char *const ImageFiles[] = {
    "0-new.png", "1-delete.png", "2-save.png", "3-exit.png", "4-history.png", "5-copy.png", "6-print.png", "7-chgcode.png",
};

} // namespace

TFrForm::TFrForm(QWidget *parent)
    : QMainWindow(parent)
{
    initFormResources();
    setObjectName(QStringLiteral("FrForm"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(thaiFont(FontPixelSize));
    FormHints1 = TFormHints::createForBaseForm(this);

    for (const char *file : ImageFiles)
        ImageList1.append(QIcon(QStringLiteral(":/forms/Fr_Form/images/") + QLatin1String(file)));

    AcNew = makeAction(QStringLiteral("New"), QStringLiteral("New Record"), 0, QKeySequence(Qt::Key_F3), &TFrForm::AcNewExecute);
    AcDel = makeAction(QStringLiteral("Delete"), QStringLiteral("Delete Record"), 1, QKeySequence(Qt::Key_F8),
                       &TFrForm::AcDelExecute);
    AcSave =
        makeAction(QStringLiteral("Save"), QStringLiteral("Save Record"), 2, QKeySequence(Qt::Key_F10), &TFrForm::AcSaveExecute);
    AcHist = makeAction(QStringLiteral("Hist."), QStringLiteral("Show History"), 4, QKeySequence(Qt::CTRL | Qt::Key_H),
                        &TFrForm::AcHistExecute);
    AcCopy =
        makeAction(QStringLiteral("Copy"), QStringLiteral("Copy Record"), 5, QKeySequence(Qt::Key_F6), &TFrForm::AcCopyExecute);
    AcPrint = makeAction(QStringLiteral("Print"), QStringLiteral("Print Record"), 6, QKeySequence(Qt::CTRL | Qt::Key_P),
                         &TFrForm::AcPrintExecute);
    AcExit = makeAction(QStringLiteral("Exit"), QStringLiteral("Exit Program"), 3, QKeySequence(Qt::CTRL | Qt::Key_X),
                        &TFrForm::AcExitExecute);
    AcChgCode = makeAction(QStringLiteral("Chg Code"), QString(), 7, QKeySequence(Qt::Key_F12), &TFrForm::AcChgCodeExecute);
    AcNew->setObjectName(QStringLiteral("AcNew"));
    AcDel->setObjectName(QStringLiteral("AcDel"));
    AcSave->setObjectName(QStringLiteral("AcSave"));
    AcHist->setObjectName(QStringLiteral("AcHist"));
    AcCopy->setObjectName(QStringLiteral("AcCopy"));
    AcPrint->setObjectName(QStringLiteral("AcPrint"));
    AcExit->setObjectName(QStringLiteral("AcExit"));
    AcChgCode->setObjectName(QStringLiteral("AcChgCode"));

    auto *body = new QWidget(this);
    auto *bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->setSpacing(0);

    Panel2 = new QFrame(body);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel2->setFixedHeight(ToolbarPanelHeight);
    auto *panelLayout = new QHBoxLayout(Panel2);
    panelLayout->setContentsMargins(2, 2, 2, 2);
    panelLayout->setSpacing(0);

    ToolBar1 = new QWidget(Panel2);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setCursor(Qt::PointingHandCursor);
    auto *toolLayout = new QHBoxLayout(ToolBar1);
    toolLayout->setContentsMargins(0, 0, 0, 0);
    toolLayout->setSpacing(0);
    BNew = makeButton(AcNew, QStringLiteral("BNew"));
    BDel = makeButton(AcDel, QStringLiteral("BDel"));
    BSave = makeButton(AcSave, QStringLiteral("BSave"));
    BChgCode = makeButton(AcChgCode, QStringLiteral("BChgCode"));
    BHist = makeButton(AcHist, QStringLiteral("BHist"));
    BCopy = makeButton(AcCopy, QStringLiteral("BCopy"));
    BPrint = makeButton(AcPrint, QStringLiteral("BPrint"));
    BExit = makeButton(AcExit, QStringLiteral("BExit"));
    for (QToolButton *button : {BNew, BDel, BSave, BChgCode, BHist, BCopy, BPrint, BExit})
        toolLayout->addWidget(button);
    panelLayout->addWidget(ToolBar1, 0, Qt::AlignLeft | Qt::AlignVCenter);
    panelLayout->addStretch(1);

    ChgCode = new QLineEdit(Panel2);
    ChgCode->setObjectName(QStringLiteral("ChgCode"));
    ChgCode->setValidator(new UpperCaseValidator(ChgCode));
    ChgCode->setText(QStringLiteral("CHGCODE"));
    ChgCode->setFixedWidth(100);
    panelLayout->addWidget(ChgCode, 0, Qt::AlignVCenter);

    m_clientArea = new QWidget(body);
    m_clientArea->setObjectName(QStringLiteral("ClientArea"));
    bodyLayout->addWidget(Panel2);
    bodyLayout->addWidget(m_clientArea, 1);
    setCentralWidget(body);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    for (int width : StatusPanelWidths) {
        auto *panel = new QLabel(StatusBar1);
        panel->setFixedWidth(width);
        StatusBar1->addWidget(panel);
        m_statusPanels.append(panel);
    }
    setStatusBar(StatusBar1);

    setClientSize(DefaultClientWidth, DefaultClientHeight);
    qApp->installEventFilter(this);
}

TFrForm::~TFrForm() = default;

QAction *TFrForm::makeAction(const QString &caption, const QString &hint, int image, const QKeySequence &shortcut,
                             void (TFrForm::*execute)())
{
    auto *action = new QAction(caption, this);
    action->setToolTip(hint);
    action->setProperty("imageIndex", image);
    action->setIcon(ImageList1.value(image));
    action->setShortcut(shortcut);
    // The shortcut works while the form is active, whether or not its button is shown.
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    // Through the virtual function, so that a screen's override runs; its errors go to the
    // application-wide handler.
    connectGuarded(action, &QAction::triggered, this, [this, execute] { (this->*execute)(); });
    m_actions.append(action);
    return action;
}

QToolButton *TFrForm::makeButton(QAction *action, const QString &name)
{
    auto *button = new QToolButton(ToolBar1);
    button->setObjectName(name);
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIconSize(QSize(16, 16));
    button->setAutoRaise(true);
    button->setFixedSize(ButtonWidth, ButtonHeight);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFont(thaiFont(ToolbarCaptionPixelSize));
    m_hints.insert(button, action->toolTip());
    return button;
}

int TFrForm::imageIndex(const QAction *action)
{
    const QVariant index = action->property("imageIndex");
    return index.isValid() ? index.toInt() : -1;
}

void TFrForm::setClientSize(int width, int height)
{
    setFixedSize(width, height);
}

QLabel *TFrForm::statusPanel(int index) const
{
    return m_statusPanels.value(index);
}

void TFrForm::FormShow()
{
    ApplicationTitle::set(windowTitle());
    BHist->setVisible(false);
    BCopy->setVisible(false);
    BPrint->setVisible(false);
    BChgCode->setVisible(false);
    AcNewExecute();
}

void TFrForm::AcNewExecute()
{
    ChgCode->setVisible(false);
    AcSave->setEnabled(false);
    AcDel->setEnabled(false);
    AcChgCode->setEnabled(false);
    KeyPreview = true;
}

void TFrForm::AcExitExecute()
{
    close();
}

bool TFrForm::FormClose()
{
    const QString text = launchContext().ThaiLanguage ? closeQuestionThai() : closeQuestionEnglish();
    return DialogService::instance().confirm(text, {closeQuestionBackground(), closeQuestionText()});
}

bool TFrForm::FormKeyDown(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        EnterAsTab::focusNext(this);
        return false;
    case Qt::Key_Escape:
        AcExitExecute();
        return true;
    default:
        return false;
    }
}

bool TFrForm::FormKeyPress(QKeyEvent *event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

void TFrForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (event->spontaneous())
        return; // restored from the task bar: not a new show
    if (!m_placed) {
        m_placed = true;
        if (QScreen *s = screen())
            move(s->availableGeometry().center() - rect().center());
    }
    FormShow();
}

void TFrForm::closeEvent(QCloseEvent *event)
{
    if (FormClose())
        event->accept();
    else
        event->ignore();
}

bool TFrForm::isKeyOfThisWindow(QObject *watched) const
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this)
        return false;
    // Only the first delivery of a key: to the focused control, or to the form when nothing in
    // it has the focus. Deliveries to parents of a control that ignored the key are not new keys.
    QWidget *focus = QApplication::focusWidget();
    return widget == focus || (widget == this && (!focus || focus->window() != this));
}

bool TFrForm::shortcutOfEnabledAction(const QKeyEvent *event) const
{
    const int key = event->key();
    if (key == 0 || key == Qt::Key_unknown || key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
        key == Qt::Key_Meta)
        return false;
    const QKeySequence pressed(QKeyCombination(event->modifiers() & ~Qt::KeypadModifier, Qt::Key(key)));
    const QList<QAction *> formActions = actions();
    for (const QAction *action : formActions)
        if (action->isEnabled() && action->shortcuts().contains(pressed))
            return true;
    return false;
}

bool TFrForm::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ToolTip:
        // A button whose action has no hint shows none (rather than its caption).
        if (auto *button = qobject_cast<QToolButton *>(watched);
            button && m_hints.contains(button) && m_hints.value(button).isEmpty())
            return true;
        break;
    case QEvent::ShortcutOverride:
        // Leaving the event unaccepted lets the action's shortcut run instead of the control's
        // own use of the key.
        if (isKeyOfThisWindow(watched) && shortcutOfEnabledAction(static_cast<QKeyEvent *>(event)))
            return true;
        break;
    case QEvent::KeyPress:
        if (KeyPreview && isKeyOfThisWindow(watched)) {
            auto *key = static_cast<QKeyEvent *>(event);
            QPointer<TFrForm> self(this);
            bool consumed = FormKeyDown(key);
            if (self && FormKeyPress(key))
                consumed = true;
            if (consumed)
                return true;
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}
