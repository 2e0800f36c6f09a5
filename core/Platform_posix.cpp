#include "core/Platform.h"
#include <cstdio>
#include <cstdlib>

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
