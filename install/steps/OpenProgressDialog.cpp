// The progress dialog, standing from here to the end of the install steps.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"

StepResult OpenProgressDialog(InstallerState& state, InstallLog&)
{
    state.OpenProgress();
    state.Step(8, 2);
    return StepResult::GoOn;
}
