// The package's script that runs once everything is installed and recorded.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"

StepResult RunPostInstallScript(InstallerState& state, InstallLog&)
{
    state.RunScript(state.PackageSettings().postInstallScript, state.Has(kFlagHideBatchAfter));
    state.WaitForStep();
    return StepResult::GoOn;
}
