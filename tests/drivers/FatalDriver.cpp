// Triggers one of the library's fatal paths, chosen by its command line, so that the
// Wine tests can check the box and the exit code that a person would get.
#include "core/Fatal.h"
#include "core/Memory.h"
#include "core/String.h"
#include <cstring>
#include <windows.h>

static char* volatile s_escape;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    if (!strcmp(commandLine, "index")) {
        String text("abc");
        text.At(3) = 'x';
    } else if (!strcmp(commandLine, "oom")) {
        Allocate(3000000000u);
    } else if (!strcmp(commandLine, "new")) {
        // The C++ operators must reach the same handler.
        // The block escapes through a volatile global so that the request cannot be elided.
        volatile size_t size = 3000000000u;
        s_escape = new char[size];
    } else if (!strcmp(commandLine, "trysetlength")) {
        String text("abc");
        bool grown = text.TrySetLength(0x7ffffff0);
        // The failed request leaves the string as it was; report through the exit code.
        ExitProcess(!grown && text.Length() == 3 && !strcmp(text.Text(), "abc") ? 7 : 8);
    } else if (!strcmp(commandLine, "setlength")) {
        String text("abc");
        text.SetLength(0x7ffffff0);
    }
    ExitProcess(9);
}
