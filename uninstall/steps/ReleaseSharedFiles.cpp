// The product's hold on its shared files: each count under SharedDLLs goes down by one,
// and a file no other product uses any more is unregistered and removed.
#include "records/SharedFileList.h"
#include "records/UninstallValue.h"
#include "system/Directory.h"
#include "system/FileAtRestart.h"
#include "system/FileOperations.h"
#include "system/OwnedHandle.h"
#include "system/TypeLibrary.h"
#include "uninstall/Uninstaller.h"

namespace {

constexpr const char* kSharedCountsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// Lets a COM server remove its own registration before its file goes. Its answer does
// not matter: the file goes either way.
void UnregisterServer(const String& path)
{
    LoadedModule library(LoadLibraryA(path.Text()));
    // Handles up to 31 are the error codes of the oldest Windows.
    if (reinterpret_cast<uintptr_t>(library.Get()) <= 31)
        return;
    using Entry = HRESULT(WINAPI*)();
    if (auto unregister = reinterpret_cast<Entry>(GetProcAddress(library.Get(), "DllUnregisterServer")))
        (void)unregister();
}

void Release(Uninstaller& u, RegistryKey& counts, const String& path, char marker)
{
    uint32_t count = static_cast<uint32_t>(counts.ReadNumber(path.Text(), 0));
    if (count > 1) {
        (void)counts.WriteNumber(path.Text(), count - 1);
        return;
    }
    // The last user: a missing count counts as unused too.
    (void)counts.DeleteValue(path.Text());
    if (marker == kSharedMarkerKeep)
        return;
    if (marker == kSharedMarkerCom)
        UnregisterServer(path);
    else if (marker == kSharedMarkerTypeLib)
        (void)UnregisterTypeLibrary(path.Text());
    if (FileAttributes(path.Text()) == -1)
        return;
    if (u.Has(kFlagAskSharedRemoval) &&
        !u.questions.AskYesNo(FillInMessage(u.Message(59), path), u.Message(35), BoxIcon::Question,
                              QuestionKind::GoOn))
        return;
    // A file another program holds goes at the next start of Windows: its count is gone,
    // so nothing would ever remove it later.
    (void)DeleteOneFile(path.Text(), kDeleteAtRestartIfBusy);
}

}

bool ReleaseSharedFiles(Uninstaller& u)
{
    const String& list = u.entry.sharedFiles;
    if (IsBlank(list))
        return true;
    RegistryKey counts;
    if (!counts.Open(HKEY_LOCAL_MACHINE, kSharedCountsKey)) {
        u.errors += "REGISTRY ERROR:  Unable to adjust shared file reference counts.\r\n\r\n";
        return true;
    }
    String path;
    char marker;
    for (int32_t at = 0; NextSharedFile(list, at, path, marker);)
        Release(u, counts, path, marker);
    counts.Close();
    // Each count is taken back once: a second run after a partial uninstallation must not
    // take another product's share.
    (void)u.key.DeleteValue(UninstallValueName::kSharedFiles);
    if (!IsBlank(u.entry.sharedPath) && !u.IsKeptDirectory(u.entry.sharedPath))
        (void)RemoveEmptyDirectory(u.entry.sharedPath);
    return true;
}
