// Files left to be replaced at the next start of Windows need that start: the person
// says whether it is now. Automatic mode restarts without asking, unless the package
// wants the question there too.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"

StepResult AskRestart(InstallerState& state, InstallLog&)
{
    if (state.Has(kFlagRestartRequired))
        state.restartRequested =
            state.Ask().AskYesNo(state.Text(37), state.Text(20), BoxIcon::Question, QuestionKind::Restart);
    return StepResult::GoOn;
}
