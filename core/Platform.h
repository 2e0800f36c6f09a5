#pragma once
#include <cstdarg>
#include <cstddef>
// The one seam between the portable library (core/, payload/) and the operating system.
// Platform_win.cpp implements it with Win32 for the stub; Platform_posix.cpp implements
// it for the Linux host, where the builder and the unit tests run. Everything else in
// core/ and payload/ is plain C++ and must not include system headers.

// Shows the text of a fatal error to the person at the machine: a task-modal message box
// captioned "FATAL ERROR" with the error icon on Windows, standard error on the host.
// `owner` is the window that owns the box, or null.
void PlatformShowFatalBox(void* owner, const char* text);

// Formats like vsnprintf into `buffer` of `size` bytes; the text is always terminated
// and cut when it does not fit. On Windows this is the system C library's formatter,
// which keeps the stub small and formats numbers the way Windows programs do.
void PlatformFormatList(char* buffer, int size, const char* format, va_list arguments);

// Ends the process with exit code 1, the program's only exit code. Used when no
// application shutdown routine has been registered with the fatal path.
[[noreturn]] void PlatformExit();

// The local calendar date and time of day as the system clock shows them now
// (milliseconds dropped). Month 1-12, day 1-31, hour 0-23, minute and second 0-59.
struct PlatformTime {
    int year;
    int month;
    int day;
    int hour;
    int minute;
    int second;
};
void PlatformLocalTime(PlatformTime& time);

// A block of many megabytes about to be filled whole: on the host the system is asked to
// back it with huge pages, which takes one page fault per 2 MiB instead of one per 4 KiB
// (page faults were a fifth of a fast build's time); on Windows nothing is done.
void PlatformAdviseLargeBlock(void* block, size_t size);

// Minutes to add to UTC to get local time, daylight saving included while it is in
// force (UTC+1 answers 60, UTC-5 answers -300).
int PlatformZoneOffset();
