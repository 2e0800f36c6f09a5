// An earlier installation of the product, whose place a new one takes (the directory
// choice asks about it) and whose shared counts a reinstall takes back.
#include "install/InstallerState.h"
#include "install/UninstallKey.h"
#include "install/steps/InstallStep.h"
#include "system/Directory.h"
#include "system/RegistryKey.h"

StepResult FindPreviousInstallation(InstallerState& state, InstallLog&)
{
    RegistryKey key;
    if (!state.Has(kFlagUninstallSupport) || !OpenUninstallEntry(key, state.UninstallName()))
        return StepResult::GoOn;
    PreviousInstallation& previous = state.previous;
    previous.location = key.ReadText("InstallLocation");
    previous.displayVersion = key.ReadText("DisplayVersion");
    previous.sharedFiles = key.ReadText("SharedFiles");
    // A product whose folder is gone has nothing left to reinstall over.
    if (previous.location.IsEmpty() || !DirectoryExists(previous.location))
        previous.location.Clear();
    return StepResult::GoOn;
}
