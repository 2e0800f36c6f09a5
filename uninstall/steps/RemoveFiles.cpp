// The files of Uninstall.DAT in their order, then its directories, deepest first. What
// cannot be removed is reported and listed again for a later run.
#include "system/FileOperations.h"
#include "uninstall/Uninstaller.h"

namespace {

// Files go faster than anyone can read their names: the dialog shows the file at hand
// this often, which keeps it current without repainting it for every file.
constexpr DWORD kShowInterval = 100;

}

bool RemoveFiles(Uninstaller& u)
{
    u.remaining.Clear();
    DWORD shown = GetTickCount() - kShowInterval;
    for (const UninstallItem& item : u.record.items) {
        if (item.kind == UninstallItem::kKey) {
            (void)RegistryKey::DeleteKeyAt(HKEY_CLASSES_ROOT, "", item.path.Text());
            continue;
        }
        if (GetTickCount() - shown >= kShowInterval) {
            shown = GetTickCount();
            (void)u.progress.SetPosition(item.percent);
            (void)u.progress.SetStepText(item.path);
        }
        if (DeleteOneFile(item.path.Text(), 0))
            continue;
        // A file that is gone already is as wanted.
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            continue;
        u.errors.AppendFormat("%s %s\r\n", u.Message(58).Text(), item.path.Text());
        (void)u.remaining.AddUninstallLine(item.path, false);
    }
    for (const String& directory : u.record.directories)
        u.RemoveDirectoryAndEmptyParents(directory, 0);
    // A directory still there (holding a file that stayed) is listed again, so that a
    // later run removes it once it is empty.
    for (const String& directory : u.record.directories) {
        if (IsDirectory(directory) && !u.IsKeptDirectory(directory))
            (void)u.remaining.AddUninstallLine(directory, true);
    }
    return true;
}
