#pragma once
#include "core/String.h"
#include <windows.h>

// The shell's folder browser, rooted at the computer (its drives), offering file-system
// folders only, centred, with `path` selected when it opens. True when a folder was
// chosen: `path` then holds it. No choice, or a choice without a path, leaves `path` as
// it was.
bool BrowseForFolder(HWND owner, const String& title, String& path);
