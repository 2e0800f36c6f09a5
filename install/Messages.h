#pragma once
#include "core/String.h"

// The small routines through which the program talks to the person at the machine and
// through which it always ends.

// Destroys the progress dialog and the background window, pumps pending messages once,
// uninitialises OLE and ends the process with exit code 1: every end of the program,
// successful or not, comes through here.
[[noreturn]] void ExitProgram();

// The window that owns message boxes: the progress dialog, else the background window,
// else none.
void* MessageBoxOwner();

// Formats like printf and shows the text with the error icon under caption string 21
// ("Error" until a package is read). Silent in automatic mode unless the package asks
// for errors to be shown; an empty text shows nothing. Execution goes on.
void ShowErrorBox(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The usage box: the complaint, then the switches this program understands. Fatal.
[[noreturn]] void ShowUsageError(const String& complaint);

enum class QuestionIcon { Information, Question };

// Asks with Yes and No after replacing "<product>" and "<os>"; true only for Yes.
bool AskYesNo(const String& text, const String& caption, QuestionIcon icon = QuestionIcon::Information);

// Shows the wait cursor for its lifetime.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
