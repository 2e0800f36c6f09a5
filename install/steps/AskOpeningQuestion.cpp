// The opening question: whether to install at all. Automatic mode goes on.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"

StepResult AskOpeningQuestion(InstallerState& state, InstallLog&)
{
    bool yes = state.Ask().AskYesNo(state.Text(1), state.Text(65), BoxIcon::Information, QuestionKind::GoOn);
    return yes ? StepResult::GoOn : StepResult::Stop;
}
