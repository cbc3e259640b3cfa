#pragma once

#include "platform/ui/DialogService.h"

#include <QList>
#include <QStringList>
#include <functional>

// A dialog service for tests: it records every box the program asks for and answers
// confirmations from a queue of answers given in advance. Creating it installs it; destroying
// it puts back the service it replaced. A confirmation with no answer left ends the test run
// with a fatal message naming the question, so a missing or extra question never passes unseen.
class ScriptedDialogService : public platform::DialogService
{
public:
    struct Shown {
        Kind kind = Kind::Information;
        QString text;
        Colours colours;
        bool answer = false; // the answer given to a confirmation
    };

    ScriptedDialogService();
    ~ScriptedDialogService() override;
    ScriptedDialogService(const ScriptedDialogService &) = delete;
    ScriptedDialogService &operator=(const ScriptedDialogService &) = delete;

    void showMessage(const QString &text) override;
    bool confirm(const QString &text, const Colours &colours = Colours()) override;
    void showError(const QString &text) override;

    // Answers for the next confirmations, in order.
    void answerYes() { m_answers.append(true); }
    void answerNo() { m_answers.append(false); }
    int pendingAnswers() const { return int(m_answers.size()); }

    const QList<Shown> &shown() const { return m_shown; }
    QStringList texts() const;
    int count() const { return int(m_shown.size()); }
    const Shown &last() const { return m_shown.constLast(); }
    void clear() { m_shown.clear(); }

    // Runs while a box is "open", after it has been recorded (for example to look at the state
    // of the screen at that moment).
    std::function<void(const Shown &)> onShow;

private:
    void record(const Shown &shown);

    platform::DialogService *m_previous = nullptr;
    QList<bool> m_answers;
    QList<Shown> m_shown;
};
