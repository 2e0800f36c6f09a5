#pragma once
#include <cstdint>

// Ending the Windows session: the restart that completes an installation whose files are
// replaced at the next start, and its relatives. Windows lets a process shut down only
// with the shutdown privilege enabled in its access token, so the privilege is turned on
// for the call and off again after it. The token functions are looked up at run time:
// the 9x family has no security and lacks them, and there the privilege is simply not
// touched.

// Kinds of RestartWindows; any other kind shuts down.
constexpr int kPowerOffWindows = 1;
constexpr int kRestartWindows = 2;
constexpr int kLogOffWindows = 3;
constexpr int kShutDownWindows = 0;

// Option of RestartWindows: end programs without asking them (EWX_FORCE); without it
// only programs that do not answer are ended (EWX_FORCEIFHUNG).
constexpr uint32_t kRestartForce = 0x01;

// The ExitWindowsEx flags for a kind and the options.
constexpr uint32_t ExitWindowsFlags(int kind, uint32_t options)
{
    constexpr uint32_t kLogOff = 0, kShutDown = 1, kReboot = 2, kForce = 4, kPowerOff = 8, kForceIfHung = 16;
    uint32_t action = kind == kPowerOffWindows ? kPowerOff
                      : kind == kRestartWindows ? kReboot
                      : kind == kLogOffWindows  ? kLogOff
                                                : kShutDown;
    return action | ((options & kRestartForce) ? kForce : kForceIfHung);
}

// Enables or disables one privilege ("SeShutdownPrivilege") of the process's own access
// token; the token's other privileges stay as they are. False when the token functions
// are missing, the name is unknown, or Windows did not assign the privilege.
[[nodiscard]] bool SetPrivilege(const char* name, bool on);

// Asks Windows to end the session of the given kind with ExitWindowsEx; true when
// Windows accepted. The shutdown then goes on while this program keeps running: the
// caller ends it in its ordinary way.
[[nodiscard]] bool RestartWindows(int kind, uint32_t options);
