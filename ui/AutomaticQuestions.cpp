// What automatic mode answers. Plain code with no window of its own, so that the host
// tests check the answers.
#include "ui/Questions.h"

bool AutomaticQuestions::Ask(const String& text, const String& caption, BoxButtons buttons, BoxIcon icon,
                             QuestionKind kind)
{
    bool ask = !m_automatic || kind == QuestionKind::Needed ||
               (kind == QuestionKind::Restart && m_answers.askRestart);
    if (ask)
        return m_person.Ask(text, caption, buttons, icon, kind);
    return kind != QuestionKind::Offer;
}

void AutomaticQuestions::ShowError(const String& text, const String& caption, BoxIcon icon)
{
    if (!m_automatic || m_answers.showErrors)
        m_person.ShowError(text, caption, icon);
}

void AutomaticQuestions::Tell(const String& text, const String& caption, BoxIcon icon)
{
    if (!m_automatic)
        m_person.Tell(text, caption, icon);
}
