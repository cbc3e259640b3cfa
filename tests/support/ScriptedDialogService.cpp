#include "support/ScriptedDialogService.h"

#include <QtGlobal>

using namespace platform;

ScriptedDialogService::ScriptedDialogService()
    : m_previous(DialogService::setInstance(this))
{}

ScriptedDialogService::~ScriptedDialogService()
{
    DialogService::setInstance(m_previous);
}

void ScriptedDialogService::record(const Shown &shown)
{
    m_shown.append(shown);
    if (onShow)
        onShow(m_shown.constLast());
}

void ScriptedDialogService::showMessage(const QString &text)
{
    record({Kind::Information, text, Colours(), false});
}

bool ScriptedDialogService::confirm(const QString &text, const Colours &colours)
{
    if (m_answers.isEmpty())
        qFatal("ScriptedDialogService: no answer queued for the question \"%s\"", qPrintable(text));
    const bool answer = m_answers.takeFirst();
    record({Kind::Confirmation, text, colours, answer});
    return answer;
}

void ScriptedDialogService::showError(const QString &text)
{
    record({Kind::Error, text, Colours(), false});
}

QStringList ScriptedDialogService::texts() const
{
    QStringList result;
    for (const Shown &shown : m_shown)
        result << shown.text;
    return result;
}
