#pragma once
#include <cstdint>

// The orderly end of the program for broken invariants and exhausted memory. None of
// these routines return: each shows one "FATAL ERROR" box and runs the application's
// shutdown, which ends the process with exit code 1.

// Set just before the fatal box is shown; part of the installer's process state.
extern bool FatalShown;

// "Internal Fatal Error\r\nModule: %s\r\nLine: %d". Module "core" is used by the
// container templates, "Core" by the compiled library (String, numeric helpers).
[[noreturn]] void InternalFatal(const char* module, int line);

// Formats like printf (at most 65,535 characters) and stops with the result.
[[noreturn]] void FatalMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

[[noreturn]] void FatalStop(const char* text);

// Called by the allocator when a request of `requestedSize` bytes cannot be met: reports
// the size and a dump of 80 stack words that begins with the markers 11223344 55667788.
// Formally returns 0 ("give up"), but the process ends before that.
int OutOfMemoryHandler(uint32_t requestedSize);

// What the application lends the fatal path: the window that should own the box (may
// answer null) and its shutdown routine. Without them the box has no owner and the
// process simply exits.
struct FatalHooks {
    void* (*ownerWindow)() = nullptr;
    // Must not return. (Not marked [[noreturn]]: clang refuses the attribute on a
    // pointer; FatalStop ends the process itself should it return.)
    void (*shutdown)() = nullptr;
};
void SetFatalHooks(const FatalHooks& hooks);
