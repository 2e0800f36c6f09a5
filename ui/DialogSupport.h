#pragma once
#include "ui/TextSource.h"
#include <windows.h>

// What the installer's dialogs share: centring, and placing the package's texts.

// Centres the window on the screen (never past its top-left corner), without
// repainting. Every dialog centres itself when it starts, the folder browser too.
void CenterWindow(HWND window);

// One text of a dialog: the control (0: the caption) and its string number.
struct DialogText {
    int control;
    int number;
};

// Puts texts `numbers` of `language` into the dialog's controls.
void SetDialogTexts(HWND dialog, const DialogText* texts, int count, const TextSource& source, int language);

// The text of a dialog's control.
String DialogItemText(HWND dialog, int control);

// Handed to the dialog procedures: what the dialog shows and what it answers.
template <typename Context>
Context* DialogContext(HWND dialog, UINT message, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    return reinterpret_cast<Context*>(GetWindowLongPtrA(dialog, DWLP_USER));
}
