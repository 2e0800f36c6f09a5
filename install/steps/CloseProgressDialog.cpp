// The end of the install steps: the messages that follow stand on their own.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"

StepResult CloseProgressDialog(InstallerState& state, InstallLog&)
{
    state.CloseProgress();
    return StepResult::GoOn;
}
