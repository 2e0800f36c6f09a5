// Directories the installation made but left empty (every file failed, or a script took
// them away) are not left standing. Innermost first: the uninstall directory lies in the
// install directory.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "system/Directory.h"

StepResult RemoveEmptyDirectories(InstallerState& state, InstallLog&)
{
    // Roots and empty paths are refused by RemoveEmptyDirectory; a directory that holds
    // anything stays.
    (void)RemoveEmptyDirectory(state.PackageSettings().sharedDir);
    (void)RemoveEmptyDirectory(state.UninstallDirectory());
    (void)RemoveEmptyDirectory(state.installDir);
    return StepResult::GoOn;
}
