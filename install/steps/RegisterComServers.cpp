// The COM servers among the installed files register themselves: each is loaded and its
// DllRegisterServer called. What a server answers is its own affair; the log tells
// which ones could not even be asked, and the installation goes on either way.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "records/InstallLog.h"
#include "system/OwnedHandle.h"
#include <cstdint>
#include <windows.h>

StepResult RegisterComServers(InstallerState& state, InstallLog& log)
{
    for (const String& path : state.lists.comServers) {
        log.RegisteringComServer(path);
        LoadedModule library(LoadLibraryA(path.Text()));
        // Handles up to 31 are the error codes of the oldest Windows.
        if (reinterpret_cast<uintptr_t>(library.Get()) <= 31) {
            log.ComLoadFailed();
            continue;
        }
        using Entry = HRESULT(WINAPI*)();
        auto registerServer = reinterpret_cast<Entry>(GetProcAddress(library.Get(), "DllRegisterServer"));
        if (!registerServer) {
            log.ComEntryMissing();
            continue;
        }
        (void)registerServer();
        log.RegistrationSucceeded();
    }
    return StepResult::GoOn;
}
