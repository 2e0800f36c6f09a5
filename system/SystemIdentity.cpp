#include "system/SystemIdentity.h"
#include <windows.h>

// GetVersionExA with the plain structure (148 bytes). A failed call leaves a platform
// that matches no row, so the answers fall to "other".
static OSVERSIONINFOA WindowsVersion()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) {
        info = {};
        info.dwPlatformId = 0xffffffffu;
    }
    return info;
}

bool IsNtFamily()
{
    return WindowsVersion().dwPlatformId == VER_PLATFORM_WIN32_NT;
}

uint32_t WindowsCode()
{
    OSVERSIONINFOA info = WindowsVersion();
    DWORD major = info.dwMajorVersion;
    DWORD minor = info.dwMinorVersion;
    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32s:
        return kWindowsWin32s;
    case VER_PLATFORM_WIN32_WINDOWS:
        if (major != 4)
            return kWindowsOther;
        if (minor < 10)
            return kWindows95;
        return minor < 90 ? kWindows98 : kWindowsMe;
    case VER_PLATFORM_WIN32_NT:
        if (major <= 3)
            return kWindowsNt3;
        if (major == 4)
            return kWindowsNt4;
        if (major == 5 && minor == 0)
            return kWindows2000;
        if (major == 5 && minor == 1)
            return kWindowsXp;
        if (major == 5 && minor == 2)
            return kWindowsServer2003;
        return kWindowsOther;
    default:
        return kWindowsOther;
    }
}

String WindowsDescription()
{
    OSVERSIONINFOA info = WindowsVersion();
    int major = static_cast<int>(info.dwMajorVersion);
    int minor = static_cast<int>(info.dwMinorVersion);
    String text("Windows ");
    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32s:
        text.AppendFormat("%d.%d", major, minor);
        break;
    case VER_PLATFORM_WIN32_WINDOWS:
        if (major != 4)
            text.AppendFormat("9x %d.%d", major, minor);
        else if (minor <= 9)
            text += "95";
        else if (minor > 89)
            text += "ME";
        else
            text += "98";
        break;
    case VER_PLATFORM_WIN32_NT:
        if (major == 5 && minor == 0)
            text += "2000";
        else if (major == 5 && minor == 1)
            text += "XP";
        else
            text.AppendFormat("NT %d.%d", major, minor);
        break;
    default:
        break;
    }
    // The service-pack text may come with its own leading blank (Windows 98 SE has " A ").
    info.szCSDVersion[sizeof info.szCSDVersion - 1] = 0;
    if (info.szCSDVersion[0] != ' ')
        text += ' ';
    text += info.szCSDVersion;
    text.TrimRight();
    return text;
}

uint32_t ElapsedMilliseconds(uint32_t since)
{
    // Unsigned subtraction stays right when the tick count has wrapped (every 49.7 days)
    // since the earlier reading.
    return GetTickCount() - since;
}
