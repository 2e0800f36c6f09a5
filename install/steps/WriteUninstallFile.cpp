// Uninstall.DAT beside the uninstaller: what to remove, in the order it was installed,
// the uninstaller's messages in the language of the installation, and the file
// associations to undo.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "records/InstallLog.h"
#include "records/UninstallFile.h"
#include "system/FileOperations.h"
#include "system/Path.h"
#include "system/SystemError.h"

StepResult WriteUninstallFile(InstallerState& state, InstallLog& log)
{
    if (!state.Has(kFlagUninstallSupport))
        return StepResult::GoOn;
    UninstallMessages messages;
    for (int32_t number : kUninstallMessageNumbers)
        (void)messages.Set(number, state.Text(number));
    const InstallLists& lists = state.lists;
    String path = JoinPath(state.UninstallDirectory(), kUninstallFileName);
    if (!WriteWholeFile(path.Text(), BuildUninstallFile(lists.uninstallFiles.Text(), messages, lists.associations))) {
        String reason = LastErrorText();
        log.FileNotWritten(state.Text(31), path, reason);
    }
    return StepResult::GoOn;
}
