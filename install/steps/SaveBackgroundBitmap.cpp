// The background picture beside the uninstaller, so that the uninstaller's window looks
// like the installer's: it has no payload to take the picture from.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "records/UninstallFile.h"
#include "system/Path.h"
#include "ui/PictureFile.h"

StepResult SaveBackgroundBitmap(InstallerState& state, InstallLog&)
{
    if (!state.Has(kFlagSaveBackgroundBitmap) || !state.look.picture.IsValid())
        return StepResult::GoOn;
    String path = JoinPath(state.UninstallDirectory(), kBackgroundBitmapFileName);
    // Without the file the uninstaller simply draws no picture; nothing to report. Only
    // a file that was written is the product's to remove.
    if (SavePictureFile(state.look.picture, path.Text()))
        (void)state.lists.uninstallFiles.AddUninstallLine(path, false);
    return StepResult::GoOn;
}
