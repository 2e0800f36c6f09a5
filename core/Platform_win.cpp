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

void PlatformLocalTime(PlatformTime& time)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    time.year = now.wYear;
    time.month = now.wMonth;
    time.day = now.wDay;
    time.hour = now.wHour;
    time.minute = now.wMinute;
    time.second = now.wSecond;
}

int PlatformZoneOffset()
{
    // Bias is UTC minus local time in minutes; the extra bias of the period in force
    // (standard or daylight) is added to it.
    TIME_ZONE_INFORMATION zone;
    if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_DAYLIGHT)
        return -static_cast<int>(zone.Bias + zone.DaylightBias);
    return -static_cast<int>(zone.Bias + zone.StandardBias);
}

void PlatformAdviseLargeBlock(void*, size_t)
{
}
