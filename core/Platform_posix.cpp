#include "core/Platform.h"
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <ctime>
#include <sys/mman.h>

// The host has no message boxes: the text goes to standard error, where the builder's
// user and the death tests see it.
void PlatformShowFatalBox(void*, const char* text)
{
    fprintf(stderr, "FATAL ERROR\n%s\n", text);
    fflush(stderr);
}

void PlatformFormatList(char* buffer, int size, const char* format, va_list arguments)
{
    vsnprintf(buffer, static_cast<size_t>(size), format, arguments);
}

void PlatformExit()
{
    fflush(stdout);
    std::_Exit(1);
}

void PlatformLocalTime(PlatformTime& time)
{
    time_t now = ::time(nullptr);
    struct tm local = {};
    localtime_r(&now, &local);
    time.year = local.tm_year + 1900;
    time.month = local.tm_mon + 1;
    time.day = local.tm_mday;
    time.hour = local.tm_hour;
    time.minute = local.tm_min;
    time.second = local.tm_sec;
}

int PlatformZoneOffset()
{
    time_t now = ::time(nullptr);
    struct tm local = {};
    localtime_r(&now, &local);
    return static_cast<int>(local.tm_gmtoff / 60);
}

void PlatformAdviseLargeBlock(void* block, size_t size)
{
    // Only whole pages inside the block: its neighbours are not ours to advise.
    constexpr uintptr_t kPage = 4096;
    uintptr_t begin = (reinterpret_cast<uintptr_t>(block) + kPage - 1) & ~(kPage - 1);
    uintptr_t end = (reinterpret_cast<uintptr_t>(block) + size) & ~(kPage - 1);
    // Advice only: without it the block works the same, page by page.
    if (end > begin)
        (void)madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}
