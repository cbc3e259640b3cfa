#include "platform/ui/MessageBoxDialogService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace {

QString boxTitle()
{
    const QString title = QGuiApplication::applicationDisplayName();
    return title.isEmpty() ? QCoreApplication::applicationName() : title;
}

} // namespace

void MessageBoxDialogService::showMessage(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, boxTitle(), text, QMessageBox::Ok, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

bool MessageBoxDialogService::confirm(const QString &text, const Colours &colours)
{
    QMessageBox box(QMessageBox::Question, confirmationTitle(), text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
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
    return box.exec() == QMessageBox::Yes;
}

void MessageBoxDialogService::showError(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, boxTitle(), text, QMessageBox::Ok, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}
