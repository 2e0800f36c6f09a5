// With AddToPath the install directory joins the PATH line of autoexec.bat, so that the
// product's programs start by name from a command prompt. When the file cannot be
// edited the person is told what to add by hand.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "records/InstallLog.h"
#include "system/AutoexecPath.h"

StepResult AddToPath(InstallerState& state, InstallLog& log)
{
    if (state.Has(kFlagAddToPath))
        log.AddError(EditAutoexecPath(state.installDir, true));
    return StepResult::GoOn;
}
