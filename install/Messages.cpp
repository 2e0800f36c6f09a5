#include "install/Messages.h"
#include "core/Fatal.h"
#include "install/InstallerState.h"
#include "install/StringLookup.h"
#include "system/RuntimeLoader.h"
#include "system/SystemPaths.h"
#include "ui/MessagePump.h"
#include <cstdarg>
#include <ole2.h>
#include <windows.h>

void ExitProgram()
{
    if (ProgressDialog) {
        DestroyWindow(ProgressDialog);
        ProgressDialog = nullptr;
    }
    if (BackgroundWindow) {
        ShowWindow(BackgroundWindow, SW_MINIMIZE);
        DestroyWindow(BackgroundWindow);
        BackgroundWindow = nullptr;
    }
    PumpMessages();
    OleUninitialize();
    FreeLoadedLibraries();
    ExitProcess(1);
}

void* MessageBoxOwner()
{
    return ProgressDialog ? ProgressDialog : BackgroundWindow;
}

void ShowErrorBox(const char* format, ...)
{
    if (AutomaticMode && !(ProductFlagsHigh() & kShowErrorsInAutomatic))
        return;
    va_list arguments;
    va_start(arguments, format);
    String text;
    text.AppendFormatList(format, arguments);
    va_end(arguments);
    if (text.IsEmpty())
        return;
    String caption = LookupString(21);
    if (caption.IsEmpty())
        caption = "Error";
    MessageBoxA(static_cast<HWND>(MessageBoxOwner()), text.Text(), caption.Text(), MB_OK | MB_ICONERROR);
}

void ShowUsageError(const String& complaint)
{
    FatalMessage("%s\n\nUsage:\n%s [/a] [/d:\"dir\"] [/n:\"name\"] [/u:\"name\"] [/r:\"program\"]\n\n"
                 "/a                  \tAutomatic mode\n"
                 "/d:\"dir\"        \tOverride installation directory\n"
                 "/n:\"name\"\tOverride product name\n"
                 "/u:\"name\"\tUninstall product by name\r\n"
                 "/r:\"program\"\tRun the specified program after a successful installation",
                 complaint.Text(), ProgramName().Text());
}

bool AskYesNo(const String& text, const String& caption, QuestionIcon icon)
{
    String question(text);
    ReplaceProductAndOs(question);
    UINT style = MB_YESNO | (icon == QuestionIcon::Question ? MB_ICONQUESTION : MB_ICONINFORMATION);
    return MessageBoxA(static_cast<HWND>(MessageBoxOwner()), question.Text(), caption.Text(), style) == IDYES;
}

WaitCursor::WaitCursor()
{
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
}

WaitCursor::~WaitCursor()
{
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}
