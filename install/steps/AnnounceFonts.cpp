// Programs that are running learn of the new fonts once, after the last one.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"

StepResult AnnounceFonts(InstallerState& state, InstallLog&)
{
    // A window that hangs must not hold up the installation.
    if (state.lists.fontsChanged)
        SendMessageTimeoutA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, 1000, nullptr);
    return StepResult::GoOn;
}
