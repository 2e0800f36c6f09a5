#include "install/InstallerState.h"
#include "install/MessageFormat.h"
#include "system/CommandBatch.h"
#include "system/Path.h"
#include "system/SystemPaths.h"
#include "ui/BackgroundWindow.h"
#include "ui/MessagePump.h"
#include "ui/ProgramExit.h"
#include "ui/ProgramWindows.h"

InstallerState::InstallerState(const CommandLine& line)
    : commandLine(line), installDir(line.installDir), m_questions(m_boxes)
{
    SettleAutomaticMode();
}

String InstallerState::UninstallDirectory() const
{
    return JoinPath(installDir, payload.settings.uninstallSubdir);
}

String InstallerState::UninstallerPath() const
{
    return JoinPath(UninstallDirectory(), payload.settings.uninstallerFileName);
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

String InstallerState::Text(int number, int language) const
{
    if (!stringTableRead)
        return String();
    String text = payload.settings.StringAt(number, language);
    ReplaceProductAndOs(text);
    return text;
}

String InstallerState::TextWith(int number, const char* first, const char* second, const char* third) const
{
    const char* values[] = { first, second, third };
    int count = third ? 3 : second ? 2 : 1;
    return FillPlaceholders(Text(number), values, count);
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

void InstallerState::StopWithError(const String& text)
{
    ShowError(text);
    ExitProgram();
}

void InstallerState::ExpandPathVariables(String& text) const
{
    ::ExpandPathVariables(text, MachinePathValues(installDir, payload.settings.sharedDir));
}

void InstallerState::RunScript(const String& commands, bool hidden) const
{
    uint32_t options = (hidden ? kBatchHidden : 0) | (AutomaticMode() ? kBatchNoPauses : 0);
    RunBatch(installDir, payload.settings.sharedDir, commands, options, PumpMessages);
}

void InstallerState::OpenProgress()
{
    ProgramWindows& windows = TheProgramWindows();
    // Without the dialog the installation still goes on: its calls only pump then.
    (void)progress.Create(windows.background, *this, currentLanguage, false, Has(kFlagNoCancel), this);
    windows.progress = progress.Handle();
}

void InstallerState::CloseProgress()
{
    TheProgramWindows().progress = nullptr;
    progress.Destroy();
}

void InstallerState::LanguageShown(int language)
{
    currentLanguage = language;
    ShowTitle();
}

void InstallerState::CancelPressed(HWND)
{
    if (m_questions.AskYesNo(Text(28), Text(20), BoxIcon::Question, QuestionKind::Needed))
        ExitProgram();
}

void InstallerState::ShowTitle()
{
    look.displayTitle = Text(0);
    if (HWND background = TheProgramWindows().background)
        RepaintBackground(background);
}
