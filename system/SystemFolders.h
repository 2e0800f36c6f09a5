#pragma once
#include "core/String.h"

// The user's and the machine's standard folders, font registrations and the shell's
// change notifications.
//
// Each folder is found from three sources, the first one that gives a text winning:
// the registry value that Windows keeps for it, the shell's own lookup
// (SHGetSpecialFolderPathA, loaded at run time because the oldest shells lack it), and
// a fixed default, which for the common (all-users) folders is the user's folder worked
// out in full. No lookup fails. The defaults lean on the Windows directory, so the
// system paths must have been set up first.
enum class SystemFolder {
    CommonFiles,
    Desktop,
    CommonDesktop,
    Documents,
    CommonDocuments,
    Favorites,
    CommonFavorites,
    Fonts,
    ProgramFiles,
    Media,
    DevicePath,
    StartMenu,
    CommonStartMenu,
    Programs,
    CommonPrograms,
    Startup,
    CommonStartup,
};
constexpr int kSystemFolderCount = static_cast<int>(SystemFolder::CommonStartup) + 1;

String FolderPath(SystemFolder folder);

// The upper-case letter of the boot drive, from the Setup key's BootDir; 'C' when that
// is missing or is not a drive.
char BootDrive();

// The key under HKEY_LOCAL_MACHINE that lists installed fonts; it differs between the
// NT and the 9x family.
const char* FontsKey();

// Writes (or removes) the font's value in the fonts key, creating the key when missing.
// UnregisterFont is true only when a value was deleted.
[[nodiscard]] bool RegisterFont(const char* valueName, const char* fileName);
[[nodiscard]] bool UnregisterFont(const char* valueName);

// Tell the shell that file associations, a folder's contents or the desktop changed.
// False when the shell offers no notification function (or for a blank path).
[[nodiscard]] bool NotifyAssociationsChanged();
[[nodiscard]] bool NotifyFolderChanged(const char* path);
[[nodiscard]] bool NotifyDesktopChanged(bool common);
