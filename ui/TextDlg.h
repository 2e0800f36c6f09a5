#pragma once
#include "core/String.h"
#include "ui/TextSource.h"
#include <windows.h>

// The licence and readme dialogs: a long text in a read-only field with two buttons.
// Each answers kIdOk (accept, or go on) or kIdCancel; any other answer (-1: it could
// not be shown) counts as a cancel. Only the two buttons end them.

int ShowLicenseDlg(HWND owner, const String& text, const TextSource& texts, int language);
int ShowReadmeDlg(HWND owner, const String& text, const TextSource& texts, int language);
