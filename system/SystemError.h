#pragma once
#include "core/String.h"
#include <cstdint>

// The system's own message for a Win32 error code, in the neutral language; "" for
// code 0 and for codes Windows has no text for. Callers add it to their own messages.
String SystemErrorText(uint32_t code);
// The same for the thread's last error.
String LastErrorText();

// Operations that refuse their arguments say why through the thread's last error, as
// Windows functions do: cleared, or ERROR_INVALID_PARAMETER (87).
void ClearLastError();
void SetLastErrorInvalidParameter();

// System code never shows a window itself. An operation asked to show its failure
// (RegistryKey::kShowErrors) hands the caption and the system's text to the display the
// application set; without one, nothing is shown. The thread's last error is kept
// across the display, so the caller can still read why the operation failed.
using SystemErrorDisplay = void (*)(const char* caption, const char* text);
void SetSystemErrorDisplay(SystemErrorDisplay display);
void DisplaySystemError(const char* caption, const String& text);
