// The package's last script, once the person has seen how the installation ended.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"

StepResult RunClosingScript(InstallerState& state, InstallLog&)
{
    state.RunScript(state.PackageSettings().closingScript, state.Has(kFlagHideBatchFinal));
    return StepResult::GoOn;
}
