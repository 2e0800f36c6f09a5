#include "core/Fatal.h"
#include "core/Platform.h"
#include "core/String.h"
#include <cstdarg>
#include <cstring>

bool FatalShown = false;

static FatalHooks s_hooks;

void SetFatalHooks(const FatalHooks& hooks)
{
    s_hooks = hooks;
}

void FatalStop(const char* text)
{
    FatalShown = true;
    PlatformShowFatalBox(s_hooks.ownerWindow ? s_hooks.ownerWindow() : nullptr, text);
    if (s_hooks.shutdown)
        s_hooks.shutdown();
    PlatformExit();
}

void FatalMessage(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    String text;
    text.AppendFormatList(format, arguments);
    va_end(arguments);
    FatalStop(text.Text());
}

void InternalFatal(const char* module, int line)
{
    FatalMessage("Internal Fatal Error\r\nModule: %s\r\nLine: %d", module, line);
}

namespace {

constexpr int kDumpWords = 80;
constexpr int kMessageSize = 1024;

// The markers come first so that they lie directly below the rest of the handler's
// locals; the dump runs upward from the first marker through the message buffer.
struct OutOfMemoryFrame {
    uint32_t markers[2];
    char message[kMessageSize];
};
static_assert(sizeof(uint32_t) * kDumpWords <= sizeof(OutOfMemoryFrame),
              "the dump must stay inside the handler's own frame");

}

static int FormatInto(char* buffer, int size, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    PlatformFormatList(buffer, size, format, arguments);
    va_end(arguments);
    return SafeLength(buffer);
}

// Everything here works in a fixed buffer: the heap has just failed.
__attribute__((noinline)) int OutOfMemoryHandler(uint32_t requestedSize)
{
    OutOfMemoryFrame frame;
    frame.markers[0] = 0x11223344;
    frame.markers[1] = 0x55667788;
    int used = FormatInto(frame.message, kMessageSize,
                        "Out Of Memory.  Make sure your hard drive is not full.\n"
                        "Requested size = %u (0x%08X)\n\nStack contents:",
                        static_cast<unsigned>(requestedSize), static_cast<unsigned>(requestedSize));

    // Take the words before writing the dump text, which lands in the region they show.
    uint32_t words[kDumpWords];
    const volatile uint32_t* stack = frame.markers;
    for (int i = 0; i < kDumpWords; ++i)
        words[i] = stack[i];

    for (int i = 0; i < kDumpWords && used < kMessageSize - 10; ++i)
        used += FormatInto(frame.message + used, kMessageSize - used, "%c%08X", i % 8 == 0 ? '\r' : ' ',
                         static_cast<unsigned>(words[i]));
    FatalStop(frame.message);
}
