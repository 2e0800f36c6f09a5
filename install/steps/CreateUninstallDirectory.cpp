// The uninstaller's own folder below the install directory, when the package names one:
// the files that go beside the uninstaller need it first.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "system/Directory.h"

StepResult CreateUninstallDirectory(InstallerState& state, InstallLog&)
{
    // A folder that cannot be made shows as the failure of each file that goes there.
    if (!state.PackageSettings().uninstallSubdir.IsEmpty())
        (void)CreateDirectories(state.UninstallDirectory());
    return StepResult::GoOn;
}
