#include "install/InstallerState.h"
#include "system/SystemPaths.h"

InstallerState::InstallerState(const CommandLine& line)
    : commandLine(line), installDir(line.installDir), m_questions(m_boxes)
{
    SettleAutomaticMode();
}

void InstallerState::SettleAutomaticMode()
{
    AutomaticAnswers answers;
    answers.showErrors = Has(kFlagShowErrorsInAutomatic);
    answers.askRestart = Has(kFlagAskRestartInAutomatic);
    m_questions.SetMode(commandLine.automaticMode || Has(kFlagForceAutomatic), answers);
}

void InstallerState::LeaveAutomaticMode()
{
    m_questions.SetMode(false, AutomaticAnswers());
}

String InstallerState::Text(int number) const
{
    if (!stringTableRead)
        return String();
    String text = payload.settings.StringAt(number, currentLanguage);
    ReplaceProductAndOs(text);
    return text;
}

void InstallerState::ReplaceProductAndOs(String& text) const
{
    text.Replace("<product>", DisplayName(), String::kIgnoreCase);
    text.Replace("<os>", WindowsDirectory(), String::kIgnoreCase);
}

void InstallerState::ShowError(const String& text)
{
    String caption = Text(21);
    if (caption.IsEmpty())
        caption = "Error";
    m_questions.ShowError(text, caption);
}
