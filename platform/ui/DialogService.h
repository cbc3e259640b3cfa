#pragma once

#include <QColor>
#include <QString>

namespace platform {

// The one way the program shows a message box. Every box goes through the process-wide
// instance(); the program runs with the message-box service, tests install a scripted one that
// records each text and answers as told.
class DialogService
{
public:
    enum class Kind {
        Information,  // a plain box with the text and an OK button
        Confirmation, // a Yes/No question
        Error         // an error report with an OK button
    };

    // Colours of a confirmation box. An invalid colour keeps the platform's look.
    struct Colours {
        QColor background;
        QColor text;
    };

    virtual ~DialogService();

    // A plain box with an OK button.
    virtual void showMessage(const QString &text) = 0;
    // A question with the buttons Yes and No. Yes is the default button (Enter), No answers
    // Escape and closing the box. Returns true for Yes.
    virtual bool confirm(const QString &text, const Colours &colours = Colours()) = 0;
    // The message of an error nobody handled, with an OK button.
    virtual void showError(const QString &text) = 0;

    // The service in force: the installed one, else the message-box service.
    static DialogService &instance();
    // Installs service (not owned) as the one in force and returns the one it replaces
    // (nullptr when the message-box service was in force). nullptr goes back to the message boxes.
    static DialogService *setInstance(DialogService *service);
};

} // namespace platform
