#include "system/WindowsRestart.h"
#include "system/OwnedHandle.h"
#include "system/RuntimeLoader.h"
#include <windows.h>

using OpenProcessTokenFunction = BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE);
using LookupPrivilegeValueFunction = BOOL(WINAPI*)(LPCSTR, LPCSTR, PLUID);
using AdjustTokenPrivilegesFunction = BOOL(WINAPI*)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES,
                                                    PDWORD);

static void* s_openProcessToken;
static void* s_lookupPrivilegeValue;
static void* s_adjustTokenPrivileges;

// Loaded once; all three or none are used.
static bool LoadTokenFunctions()
{
    static bool s_loaded = false;
    if (!s_loaded) {
        s_loaded = true;
        static const RuntimeFunction kTable[] = {
            {"OpenProcessToken", &s_openProcessToken, true},
            {"LookupPrivilegeValueA", &s_lookupPrivilegeValue, true},
            {"AdjustTokenPrivileges", &s_adjustTokenPrivileges, true},
            {nullptr, nullptr, false},
        };
        (void)LoadRuntimeTable("advapi32.dll", kTable);
    }
    return s_openProcessToken && s_lookupPrivilegeValue && s_adjustTokenPrivileges;
}

bool SetPrivilege(const char* name, bool on)
{
    if (!LoadTokenFunctions())
        return false;
    HANDLE opened = nullptr;
    if (!reinterpret_cast<OpenProcessTokenFunction>(s_openProcessToken)(
            GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &opened))
        return false;
    KernelHandle token(opened);
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    if (!reinterpret_cast<LookupPrivilegeValueFunction>(s_lookupPrivilegeValue)(nullptr, name,
                                                                                 &privileges.Privileges[0].Luid))
        return false;
    // Turning off names the one privilege with no attributes, which disables it alone.
    privileges.Privileges[0].Attributes = on ? SE_PRIVILEGE_ENABLED : 0;
    SetLastError(ERROR_SUCCESS);
    if (!reinterpret_cast<AdjustTokenPrivilegesFunction>(s_adjustTokenPrivileges)(token.Get(), FALSE, &privileges,
                                                                                  sizeof privileges, nullptr, nullptr))
        return false;
    // The call succeeds even when the token does not hold the privilege at all.
    return GetLastError() == ERROR_SUCCESS;
}

bool RestartWindows(int kind, uint32_t options)
{
    static const char kShutdownPrivilege[] = "SeShutdownPrivilege";
    // Without the privilege (the 9x family, or a token that lacks it) Windows decides.
    (void)SetPrivilege(kShutdownPrivilege, true);
    bool accepted = ExitWindowsEx(ExitWindowsFlags(kind, options), 0) != 0;
    DWORD error = GetLastError();
    (void)SetPrivilege(kShutdownPrivilege, false);
    SetLastError(error);
    return accepted;
}
