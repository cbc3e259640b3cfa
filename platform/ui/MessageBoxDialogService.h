#pragma once

#include "platform/ui/DialogService.h"

namespace platform {

// The dialog service of the running program: modal message boxes over the active window,
// titled with the application's title (the caption of the main screen, ApplicationTitle),
// questions with "Confirm"; every box is wide enough for its title.
class MessageBoxDialogService : public DialogService
{
public:
    void showMessage(const QString &text) override;
    bool confirm(const QString &text, const Colours &colours = Colours()) override;
    void showError(const QString &text) override;

    // The title of confirmation boxes.
    static QString confirmationTitle() { return QStringLiteral("Confirm"); }
};

} // namespace platform
