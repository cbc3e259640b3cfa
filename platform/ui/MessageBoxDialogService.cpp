#include "platform/ui/MessageBoxDialogService.h"

#include "platform/ui/ApplicationTitle.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPointer>

namespace platform {

namespace {

// A box is at least as wide as its title, so that the window manager need not cut it: the
// title's width in the application's font, with room for the title bar's icon and buttons.
void fitTitle(QMessageBox &box)
{
    constexpr int titleBarRoom = 120;
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid)
        return;
    const int width = QFontMetrics(QApplication::font()).horizontalAdvance(box.windowTitle()) + titleBarRoom;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

// Shows the box modally and gives the window that was active before back its activation, so
// the focus returns to the control that had it whatever the window manager does.
int execBox(QMessageBox &box, QWidget *previous)
{
    fitTitle(box);
    QPointer<QWidget> guard(previous);
    const int result = box.exec();
    box.hide();
    if (guard && guard->isVisible() && QApplication::activeWindow() != guard)
        guard->activateWindow();
    return result;
}

} // namespace

void MessageBoxDialogService::showMessage(const QString &text)
{
    QWidget *active = QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle::text(), text, QMessageBox::Ok, active);
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
    QMessageBox box(QMessageBox::Critical, ApplicationTitle::text(), text, QMessageBox::Ok, active);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    execBox(box, active);
}

} // namespace platform
