#pragma once
#include "core/String.h"
#include <cstdint>

// Starting other programs: command scripts through the command interpreter, the program
// a product asks to run after its installation, the viewer of the install log.
//
// The launcher shows nothing itself. Waiting with kRunPumpMessages keeps the caller's
// windows alive through the pump the caller lends in LauncherHooks, and a failed start
// with kRunReportFailure is reported through the caller's hook, so this library stays
// free of any user interface. While the pump runs, the caller's window procedures are
// entered from inside the wait.

// Options of RunProgram.
constexpr uint32_t kRunWait = 0x001;          // wait for the end and answer the exit code
constexpr uint32_t kRunIdlePriority = 0x004;  // IDLE_PRIORITY_CLASS
constexpr uint32_t kRunHighPriority = 0x008;  // HIGH_PRIORITY_CLASS; wins over idle
constexpr uint32_t kRunHidden = 0x010;        // SW_HIDE
constexpr uint32_t kRunMaximized = 0x020;     // SW_SHOWMAXIMIZED; wins over minimised and hidden
constexpr uint32_t kRunMinimized = 0x040;     // SW_MINIMIZE; wins over hidden
constexpr uint32_t kRunReportFailure = 0x080; // a failed start goes to LauncherHooks::reportFailure
constexpr uint32_t kRunPumpMessages = 0x100;  // while waiting, run LauncherHooks::pump
constexpr uint32_t kRunNewConsole = 0x200;    // a console program gets a console of its own (CREATE_NEW_CONSOLE)

// Answers of RunProgram besides an exit code.
constexpr uint32_t kRunNotStarted = 0x80000000u; // empty command line, or CreateProcessA failed
constexpr uint32_t kRunNoExitCode = 0x80000001u; // not waited for, or the exit code was not to be had

// What the caller's user interface lends the launcher; either may be null.
struct LauncherHooks {
    // Dispatches the messages waiting in the thread's queue (the answer is not used).
    bool (*pump)() = nullptr;
    // Shows the text of a failed start (StartFailureText).
    void (*reportFailure)(const String& text) = nullptr;
};

// The show state a child's window starts in (SW_HIDE 0, SW_SHOWMAXIMIZED 3,
// SW_MINIMIZE 6), or -1 when no window option is set and the child decides.
constexpr int RunShowState(uint32_t options)
{
    return (options & kRunMaximized) ? 3 : (options & kRunMinimized) ? 6 : (options & kRunHidden) ? 0 : -1;
}

// The priority class: HIGH (128), IDLE (64) or NORMAL (32).
constexpr uint32_t RunPriorityClass(uint32_t options)
{
    return (options & kRunHighPriority) ? 128 : (options & kRunIdlePriority) ? 64 : 32;
}

// "Unable to create process:\r\n" and the command line.
inline String StartFailureText(const char* commandLine)
{
    return "Unable to create process:\r\n" + String(commandLine);
}

// Starts the command line (passed whole, with no separate program name) in `directory`
// (null or empty: this program's current directory). Answers the exit code when it waited, else
// kRunNotStarted or kRunNoExitCode; after kRunNotStarted the thread's last error says
// why. A waited-for child that never ends keeps the caller waiting. The child's handles
// are closed in every case; a child not waited for runs on.
[[nodiscard]] uint32_t RunProgram(const char* commandLine, uint32_t options, const char* directory,
                                  const LauncherHooks& hooks = LauncherHooks());

// Opens a document with the program Windows associates with it (the default verb),
// shown normally, with this program's directory as the working directory. False when
// Windows could not; the thread's last error then says why.
[[nodiscard]] bool OpenDocument(const char* path);
