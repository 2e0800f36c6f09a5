// A package may refuse Windows versions it does not work on.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "system/SystemIdentity.h"

StepResult CheckWindowsVersion(InstallerState& state, InstallLog&)
{
    if (static_cast<uint32_t>(state.PackageSettings().excludedVersions) & WindowsCode())
        state.StopWithError(state.TextWith(61, WindowsDescription().Text()));
    return StepResult::GoOn;
}
