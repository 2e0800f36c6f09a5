#include "system/SystemError.h"
#include <windows.h>

String SystemErrorText(uint32_t code)
{
    if (code == 0)
        return String();
    char* message = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code,
                                  MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&message), 0,
                                  nullptr);
    String text;
    if (message) {
        if (length)
            text.Assign(message, static_cast<int32_t>(length));
        LocalFree(message);
    }
    return text;
}

String LastErrorText()
{
    return SystemErrorText(GetLastError());
}

void ClearLastError()
{
    SetLastError(ERROR_SUCCESS);
}

void SetLastErrorInvalidParameter()
{
    SetLastError(ERROR_INVALID_PARAMETER);
}

static SystemErrorDisplay s_display = nullptr;

void SetSystemErrorDisplay(SystemErrorDisplay display)
{
    s_display = display;
}

void DisplaySystemError(const char* caption, const String& text)
{
    if (!s_display)
        return;
    DWORD error = GetLastError();
    s_display(caption, text.Text());
    SetLastError(error);
}
