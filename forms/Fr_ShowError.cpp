#include "forms/Fr_ShowError.h"

#include "data/Dm_Config.h"
#include "data/LaunchContext.h"
#include "platform/ui/ConnectGuarded.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include <memory>

using namespace platform;

int TFrShowError::s_counter = 0;
bool TFrShowError::s_sending = false;

namespace {

QPushButton *makeButton(const QString &caption, const QRect &geometry, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setGeometry(geometry);
    QFont font = button->font();
    font.setBold(true);
    button->setFont(font);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace

TFrShowError::TFrShowError(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , ErrorBox(new QPlainTextEdit(this))
    , BOk(makeButton(QStringLiteral("Send Error"), QRect(94, 70, 75, 25), this))
    , BCancel(makeButton(QStringLiteral("Don't Send"), QRect(198, 70, 75, 25), this))
    , TimeCount(new QLabel(this))
    , Timer1(new QTimer(this))
{
    setObjectName(QStringLiteral("FrShowError"));
    setWindowTitle(QStringLiteral("Windows Error Message"));
    setFixedSize(344, 101);

    // The text colour of the box is the colour text boxes normally have as background.
    const QColor windowColour = QApplication::palette().color(QPalette::Base);

    QPalette formPalette = palette();
    formPalette.setColor(QPalette::Window, Qt::red);
    setPalette(formPalette);
    setAutoFillBackground(true);

    ErrorBox->setObjectName(QStringLiteral("ErrorBox"));
    ErrorBox->setGeometry(0, 0, 344, 65);
    ErrorBox->setReadOnly(true);
    ErrorBox->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QPalette boxPalette = ErrorBox->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        boxPalette.setColor(group, QPalette::Base, Qt::red);
        boxPalette.setColor(group, QPalette::Text, windowColour);
    }
    ErrorBox->setPalette(boxPalette);

    BOk->setObjectName(QStringLiteral("BOk"));
    BCancel->setObjectName(QStringLiteral("BCancel"));

    TimeCount->setObjectName(QStringLiteral("TimeCount"));
    TimeCount->move(32, 75);
    QFont countFont = TimeCount->font();
    countFont.setBold(true);
    countFont.setPixelSize(16);
    TimeCount->setFont(countFont);

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);

    connectGuarded(BOk, &QPushButton::clicked, this, &TFrShowError::BOkClick);
    connectGuarded(BCancel, &QPushButton::clicked, this, &TFrShowError::BCancelClick);
    connectGuarded(Timer1, &QTimer::timeout, this, &TFrShowError::Timer1Timer);
}

TFrShowError::~TFrShowError() = default;

void TFrShowError::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFrShowError::hideEvent(QHideEvent *event)
{
    // A closed dialog no longer counts down: the countdown state is shared by every instance.
    if (!event->spontaneous())
        Timer1->stop();
    QDialog::hideEvent(event);
}

void TFrShowError::FormShow()
{
    move(50, 100);
    // The parts of the text are separated by single carriage returns; each starts a line.
    QString shown = ErrorText;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    ErrorBox->setPlainText(shown);
    BCancel->setFocus();
    s_sending = false;
    s_counter = 10;
    TimeCount->setText(QString());
    Timer1->start();
}

void TFrShowError::Timer1Timer()
{
    if (s_sending)
        return;
    --s_counter;
    if (s_counter == 1)
        BCancelClick();
}

void TFrShowError::BOkClick()
{
    // From here on the countdown cannot close the dialog while the mail is under way.
    s_sending = true;
    const LaunchContext &context = launchContext();
    const QChar cr(u'\r');
    const QString body = QStringLiteral("[User = ") + context.UserCode.trimmed() + QStringLiteral("] ") + cr +
        QStringLiteral("Local IP = ") + TDMConfig::GetLocalIP() + cr + ErrorText;
    const QString subject =
        QStringLiteral("Error ") + context.CompanyDatabase.trimmed() + QLatin1Char(' ') + context.MenuCaption.trimmed();
    if (DMConfig)
        DMConfig->SendErrorMail(subject, body);
    close();
}

void TFrShowError::BCancelClick()
{
    close();
}

void TFrShowError::showError(const QString &errorText)
{
    const std::unique_ptr<TFrShowError> form(new TFrShowError);
    form->ErrorText = errorText;
    form->exec();
}
