#pragma once
#include "core/String.h"
#include <cstdint>
#include <windows.h>

// The installer's process-wide state: set by the command line and the install sequence,
// read by every install step, alive until the process ends. (FatalShown, also part of
// this state, is kept by the fatal path in core/Fatal.h.)
extern bool AutomaticMode;
extern bool UninstallMode;
extern String InstallDir;
extern String DisplayName;
extern String UninstallName; // empty means DisplayName
extern String RunAfterInstall;
extern uint64_t ProductFlags; // low and high halves are tested separately
extern int CurrentLanguage;
extern HWND BackgroundWindow;
extern HWND ProgressDialog;
extern DWORD StepStartTick;

// Named by the registry's required-key message; set first thing at start-up.
extern const char* ApplicationTitle;

inline uint32_t ProductFlagsLow() { return static_cast<uint32_t>(ProductFlags); }
inline uint32_t ProductFlagsHigh() { return static_cast<uint32_t>(ProductFlags >> 32); }

// High-half bit: error boxes are shown even in automatic mode.
constexpr uint32_t kShowErrorsInAutomatic = 0x8;
