#include "system/ProcessLauncher.h"
#include "system/OwnedHandle.h"
#include "system/SystemError.h"
#include "system/SystemPaths.h"
#include <windows.h>
#include <shellapi.h>

// How long one wait lasts before the pump runs anyway: the wait also ends at once when a
// message arrives, so this only bounds the delay of messages that wake nothing (a
// message already looked at but left in the queue).
static constexpr DWORD kPumpInterval = 50;

static void WaitForProcess(HANDLE process, bool (*pump)())
{
    if (!pump) {
        WaitForSingleObject(process, INFINITE);
        return;
    }
    for (;;) {
        DWORD woken = MsgWaitForMultipleObjects(1, &process, FALSE, kPumpInterval, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED)
            return;
        pump();
    }
}

uint32_t RunProgram(const char* commandLine, uint32_t options, const char* directory, const LauncherHooks& hooks)
{
    if (!commandLine || !*commandLine) {
        SetLastErrorInvalidParameter();
        return kRunNotStarted;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    int show = RunShowState(options);
    if (show >= 0) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(show);
    }
    // CreateProcess may write into the command line, so it gets a copy of its own.
    String line(commandLine);
    PROCESS_INFORMATION started = {};
    DWORD creation = RunPriorityClass(options) | ((options & kRunNewConsole) ? CREATE_NEW_CONSOLE : 0);
    if (!CreateProcessA(nullptr, line.Buffer(), nullptr, nullptr, FALSE, creation, nullptr,
                        directory && *directory ? directory : nullptr, &startup, &started)) {
        if ((options & kRunReportFailure) && hooks.reportFailure) {
            DWORD error = GetLastError();
            hooks.reportFailure(StartFailureText(commandLine));
            SetLastError(error);
        }
        return kRunNotStarted;
    }
    KernelHandle process(started.hProcess);
    KernelHandle thread(started.hThread);
    if (!(options & kRunWait))
        return kRunNoExitCode;
    WaitForProcess(process.Get(), (options & kRunPumpMessages) ? hooks.pump : nullptr);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process.Get(), &exitCode))
        return kRunNoExitCode;
    return exitCode;
}

// ShellExecuteA answers a failure as a small number of its own; most are Win32 error
// codes, the rest are given the nearest one so that the caller can show its text.
static DWORD ErrorOfShellAnswer(uintptr_t answer)
{
    switch (answer) {
    case 0:
        return ERROR_NOT_ENOUGH_MEMORY;
    case SE_ERR_SHARE:
        return ERROR_SHARING_VIOLATION;
    case SE_ERR_ASSOCINCOMPLETE:
    case SE_ERR_NOASSOC:
        return ERROR_NO_ASSOCIATION;
    case SE_ERR_DDETIMEOUT:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY:
        return ERROR_DDE_FAIL;
    case SE_ERR_DLLNOTFOUND:
        return ERROR_DLL_NOT_FOUND;
    default:
        return static_cast<DWORD>(answer); // file or path not found, access denied, bad format
    }
}

bool OpenDocument(const char* path)
{
    if (IsBlank(path)) {
        SetLastErrorInvalidParameter();
        return false;
    }
    uintptr_t answer = reinterpret_cast<uintptr_t>(
        ShellExecuteA(nullptr, nullptr, path, nullptr, ProgramDirectory().Text(), SW_SHOW));
    if (answer > 32)
        return true;
    SetLastError(ErrorOfShellAnswer(answer));
    return false;
}
