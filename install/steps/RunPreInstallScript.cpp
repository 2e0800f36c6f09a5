// The package's script that runs before anything is installed, in the install directory.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"

StepResult RunPreInstallScript(InstallerState& state, InstallLog&)
{
    state.RunScript(state.PackageSettings().preInstallScript, state.Has(kFlagHideBatchBefore));
    return StepResult::GoOn;
}
