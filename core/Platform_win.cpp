#include "core/Platform.h"
#include <cstdio>
#include <windows.h>

void PlatformShowFatalBox(void* owner, const char* text)
{
    MessageBoxA(static_cast<HWND>(owner), text, "FATAL ERROR", MB_TASKMODAL | MB_ICONERROR);
}

void PlatformFormatList(char* buffer, int size, const char* format, va_list arguments)
{
    // msvcrt answers -1 and leaves no terminator when the text does not fit.
    _vsnprintf(buffer, static_cast<size_t>(size), format, arguments);
    buffer[size - 1] = 0;
}

void PlatformExit()
{
    ExitProcess(1);
}
