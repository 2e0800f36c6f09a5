// The shell is told that the desktop changed when shortcuts were put on it, so that they
// show at once. It comes after the post-install script, which may have changed the
// desktop too.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "system/SystemFolders.h"

StepResult RefreshDesktop(InstallerState& state, InstallLog&)
{
    if (state.lists.desktopShortcuts)
        (void)NotifyDesktopChanged(state.PackageSettings().shortcutMode == 1);
    return StepResult::GoOn;
}
