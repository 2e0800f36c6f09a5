// With RemoveInstallDirTree, the install directory goes with everything in it, the
// person's own files included; the program itself, still running, stays for the
// self-removal script.
#include "system/Directory.h"
#include "uninstall/Uninstaller.h"

bool RemoveInstallTree(Uninstaller& u)
{
    // After a failure the tree holds the record that a later run needs.
    if (!u.Has(kFlagRemoveInstallDirTree) || !u.errors.IsEmpty() || u.HoldsSystemFolder(u.InstallDir()))
        return true;
    (void)DeleteTree(u.InstallDir());
    return true;
}
