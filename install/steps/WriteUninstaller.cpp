// The uninstaller: this program without its payload, written like any installed file so
// that a copy in use (a reinstall started from it) is replaced at the next restart.
#include "install/InstalledFile.h"
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "system/FileStamp.h"
#include <cstring>

StepResult WriteUninstaller(InstallerState& state, InstallLog& log)
{
    if (!state.Has(kFlagUninstallSupport))
        return StepResult::GoOn;
    // The package's date for it, in the stamp's own field order; none keeps the time of
    // writing.
    FileStamp date;
    static_assert(sizeof(date) == sizeof(state.PackageSettings().uninstallerStamp));
    memcpy(&date, state.PackageSettings().uninstallerStamp, sizeof(date));
    const String& image = state.payload.stubImage;
    // A failure is in the log already; the record is still written, for what it can do.
    (void)WriteInstalledFile(state, log, state.UninstallerPath(), image.Text(), image.Length(), date, 0, true);
    return StepResult::GoOn;
}
