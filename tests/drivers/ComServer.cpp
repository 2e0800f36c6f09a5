// A COM server in name only, for the installer's and the uninstaller's tests: its
// DllRegisterServer leaves the file "<its own path>.registered" behind and its
// DllUnregisterServer "<its own path>.unregistered", which show that they were called.
// Built a second time without DllRegisterServer (QUOX_NO_REGISTER_ENTRY), it is a
// library that cannot register itself.
#include <windows.h>

static HMODULE s_self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        s_self = instance;
    return TRUE;
}

// Leaves the file of this library's path and `suffix`.
static HRESULT LeaveMark(const char* suffix)
{
    char path[MAX_PATH + 16];
    DWORD length = GetModuleFileNameA(s_self, path, MAX_PATH);
    if (!length || length >= MAX_PATH)
        return E_FAIL;
    lstrcpyA(path + length, suffix);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return E_FAIL;
    CloseHandle(file);
    return S_OK;
}

#ifndef QUOX_NO_REGISTER_ENTRY
extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer()
{
    return LeaveMark(".registered");
}
#endif

extern "C" __declspec(dllexport) HRESULT WINAPI DllUnregisterServer()
{
    return LeaveMark(".unregistered");
}
