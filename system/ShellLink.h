#pragma once
#include "core/String.h"

// Shell shortcuts (.LNK files), made with the shell's link object through COM. COM is
// initialised once for the whole process by the program's start-up, not here. Every
// operation answers true or false; after false the thread's last error says why (a COM
// failure is carried as its HRESULT).

// The file a shortcut of this path is saved as: ".LNK" is appended unless the name
// already ends with ".lnk" in any case ("Tool" -> "Tool.LNK", "Tool.lnk" stays).
String LinkFilePath(const char* linkPath);

// Saves a shortcut to `target` at LinkFilePath(linkPath), creating its folders. The icon
// is the icon file's first icon, or the target's when no icon file is given; arguments
// and working directory are set when not empty. The saved path must fit in 259
// characters.
[[nodiscard]] bool CreateLink(const char* linkPath, const char* target, const char* arguments, const char* directory,
                              const char* iconFile);

// A shortcut on the desktop (all users' desktop when `common`), and one in the Start
// Menu's programs folder (all users' when `common`). The link name may hold subfolders
// ("Group\Tool"), which are created. `linkPath` receives the file saved, ".LNK"
// included, so that it can be removed again.
[[nodiscard]] bool CreateDesktopShortcut(const char* linkName, const char* target, const char* arguments,
                                         const char* directory, String& linkPath, const char* iconFile, bool common);
[[nodiscard]] bool CreateProgramsShortcut(const char* linkName, const char* target, const char* arguments,
                                          const char* directory, String& linkPath, const char* iconFile, bool common);
