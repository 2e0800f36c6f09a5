// The product's hold on its shared files, at 87 percent: each file's reference count
// under SharedDLLs goes up by one, and the SharedFiles value of the Uninstall entry lists
// them with their markers, so that the uninstaller takes the counts back. A reinstall
// first takes back the counts of the installation it replaces, so that installing the
// same product twice leaves every count as one installation made it.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "records/InstallLog.h"
#include "records/SharedFileList.h"
#include "system/RegistryKey.h"

namespace {

constexpr const char* kSharedCountsKey = "Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

void TakeBack(RegistryKey& counts, const String& previousList)
{
    String path;
    char marker;
    for (int32_t at = 0; NextSharedFile(previousList, at, path, marker);) {
        int32_t count = counts.ReadNumber(path.Text(), 0);
        if (count > 1)
            (void)counts.WriteNumber(path.Text(), static_cast<uint32_t>(count - 1));
        else
            (void)counts.DeleteValue(path.Text());
    }
}

}

StepResult UpdateSharedCounts(InstallerState& state, InstallLog& log)
{
    (void)state.progress.SetPosition(87);
    InstallLists& lists = state.lists;
    // Without the uninstaller nothing would ever take a count back.
    if (!state.Has(kFlagUninstallSupport))
        return StepResult::GoOn;
    RegistryKey counts;
    if (!counts.OpenProductKey(kSharedCountsKey, false)) {
        log.SharedCountsFailed();
        lists.sharedFilesValue = state.previous.sharedFiles;
        return StepResult::GoOn;
    }
    if (state.previous.reinstall)
        TakeBack(counts, state.previous.sharedFiles);
    for (const String& entry : lists.sharedFiles) {
        String path(entry);
        char marker = StripSharedMarker(path);
        uint32_t count = static_cast<uint32_t>(counts.ReadNumber(path.Text(), 0));
        (void)counts.WriteNumber(path.Text(), count + 1);
        AppendSharedFile(lists.sharedFilesValue, path, marker);
    }
    return StepResult::GoOn;
}
