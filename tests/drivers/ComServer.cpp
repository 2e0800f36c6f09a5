// A COM server in name only, for the uninstaller's tests: its DllUnregisterServer leaves
// the file "<its own path>.unregistered" behind, which shows that it was called.
#include <windows.h>

static HMODULE s_self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        s_self = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllUnregisterServer()
{
    char path[MAX_PATH + 16];
    DWORD length = GetModuleFileNameA(s_self, path, MAX_PATH);
    if (!length || length >= MAX_PATH)
        return E_FAIL;
    lstrcpyA(path + length, ".unregistered");
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return E_FAIL;
    CloseHandle(file);
    return S_OK;
}
