#pragma once
#include "core/String.h"
#include "ui/TextSource.h"
#include <windows.h>

// The directory dialog: the installation directory in an edit field of at most 259
// characters, a button that opens the folder browser, OK and Cancel. True when the user
// pressed OK: `directory` then holds the field's text (untrimmed, unchecked; the caller
// judges it). False for Cancel, or when the dialog could not be shown.
bool ShowChooseDirDlg(HWND owner, const TextSource& texts, int language, String& directory);
