#include "platform/ui/MessageBoxDialogService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace {

// Shows the box modally and gives the window that was active before back its activation, so
// the focus returns to the control that had it whatever the window manager does.
int execBox(QMessageBox &box, QWidget *previous)
{
    QPointer<QWidget> guard(previous);
    const int result = box.exec();
    box.hide();
    if (guard && guard->isVisible() && QApplication::activeWindow() != guard)
        guard->activateWindow();
    return result;
}

QString boxTitle()
{
    const QString title = QGuiApplication::applicationDisplayName();
    return title.isEmpty() ? QCoreApplication::applicationName() : title;
}

} // namespace

void MessageBoxDialogService::showMessage(const QString &text)
{
    QWidget *active = QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, boxTitle(), text, QMessageBox::Ok, active);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    execBox(box, active);
}

bool MessageBoxDialogService::confirm(const QString &text, const Colours &colours)
{
    QWidget *active = QApplication::activeWindow();
    QMessageBox box(QMessageBox::Question, confirmationTitle(), text, QMessageBox::Yes | QMessageBox::No, active);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    if (colours.background.isValid() || colours.text.isValid()) {
        QPalette palette = box.palette();
        if (colours.background.isValid()) {
            palette.setColor(QPalette::Window, colours.background);
            box.setAutoFillBackground(true);
        }
        if (colours.text.isValid())
            palette.setColor(QPalette::WindowText, colours.text);
        box.setPalette(palette);
        // The buttons keep the platform's look; only the box and its text take the colours.
        for (QAbstractButton *button : box.buttons())
            button->setPalette(QApplication::palette(button));
    }
    return execBox(box, active) == QMessageBox::Yes;
}

void MessageBoxDialogService::showError(const QString &text)
{
    QWidget *active = QApplication::activeWindow();
    QMessageBox box(QMessageBox::Critical, boxTitle(), text, QMessageBox::Ok, active);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    execBox(box, active);
}
