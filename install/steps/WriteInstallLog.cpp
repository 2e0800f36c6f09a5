// Install.LOG in the uninstall directory: what was done and what went wrong, written
// when something went wrong or the package always wants it.
#include "core/DateTime.h"
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "records/InstallLogFile.h"
#include "system/FileOperations.h"
#include "system/Path.h"

StepResult WriteInstallLog(InstallerState& state, InstallLog& log)
{
    if (log.Succeeded() && !state.Has(kFlagAlwaysWriteLog))
        return StepResult::GoOn;
    InstallLogHeader header;
    header.displayName = state.DisplayName();
    header.date.SetNow();
    header.uninstallSupport = state.Has(kFlagUninstallSupport);
    header.reinstall = state.previous.reinstall;
    header.installDir = state.installDir;
    header.productVersion = state.PackageSettings().displayVersion;
    String path = JoinPath(state.UninstallDirectory(), kInstallLogFileName);
    // A log that cannot be written is simply not there to read.
    (void)WriteWholeFile(path.Text(), BuildInstallLog(header, log, state.Text(43)));
    return StepResult::GoOn;
}
