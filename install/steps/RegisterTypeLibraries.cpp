// The type libraries among the installed files are registered, so that programs find
// their interfaces. A failure is a line in the detailed log: the product still runs.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "records/InstallLog.h"
#include "system/SystemError.h"
#include "system/TypeLibrary.h"

StepResult RegisterTypeLibraries(InstallerState& state, InstallLog& log)
{
    for (const String& path : state.lists.typeLibraries) {
        log.RegisteringTypeLibrary(path);
        if (RegisterTypeLibrary(path.Text())) {
            log.RegistrationSucceeded();
        } else {
            String reason = LastErrorText();
            log.TypeLibraryFailed(reason);
        }
    }
    return StepResult::GoOn;
}
