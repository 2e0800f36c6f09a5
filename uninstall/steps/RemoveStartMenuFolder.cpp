// The product's Start Menu folder and the parents it leaves empty (its publisher's
// folder), never the programs folder itself.
#include "system/Path.h"
#include "system/SystemFolders.h"
#include "uninstall/Uninstaller.h"

namespace {

constexpr int kStartMenuDepth = 20;

}

bool RemoveStartMenuFolder(Uninstaller& u)
{
    if (IsBlank(u.entry.productStartMenu))
        return true;
    String programs = FolderPath(u.entry.shortcutMode == 1 ? SystemFolder::CommonPrograms : SystemFolder::Programs);
    u.RemoveDirectoryAndEmptyParents(JoinPath(programs, u.entry.productStartMenu), kStartMenuDepth);
    return true;
}
