// The person's yes (automatic mode gives it), then the progress dialog, whose Cancel is
// grey: a removal stopped half way would leave neither the product nor its record whole.
#include "ui/ProgramWindows.h"
#include "uninstall/Uninstaller.h"

bool ConfirmUninstall(Uninstaller& u)
{
    if (!u.questions.AskYesNo(u.Message(53), u.Message(55), BoxIcon::Question, QuestionKind::GoOn))
        return false;
    ProgramWindows& windows = TheProgramWindows();
    if (u.progress.Create(windows.background, u, 0, true, true, nullptr))
        windows.progress = u.progress.Handle();
    return true;
}
