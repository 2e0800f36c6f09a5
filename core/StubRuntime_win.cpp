// The stub's runtime: its start-up in place of the C runtime's, and the compiler's 64-bit
// division helpers in place of libgcc's.
//
// The start-up. mingw's start-up code (crt2 and its
// helpers in libmingw32: command-line splitting into argv, thread-local storage,
// pseudo-relocations, an exception filter, math error hooks, frame registration for
// unwinding) is about 9 KB, and the stub uses none of it: msvcrt.dll sets up its own heap,
// formatter and string routines when Windows loads it, and the program reads its command
// line itself. What a start-up must still do for this program is here: the x87 state, the
// static constructors, and WinMain's arguments.
//
// The division helpers. On 32-bit x86 the compiler turns 64-bit `/` and `%` into calls
// of __divdi3 and its kin; libgcc's are some 2 KB, written for speed. These answer the
// same (core/WideDivision.h, tested on the host) in a tenth of that.
//
// Only the stub is linked with this file, through its entry (-nostartfiles and
// -e StubStartup, see cmake/Windows.cmake); nothing else refers to it, so the test
// drivers, linked with the ordinary start-up and libgcc, never take it from the library.
// It is compiled to machine code at once, not at the link like the rest of the stub:
// the calls of the division helpers appear only when the link-time optimiser makes the
// code, and must find them already defined.
#include "core/WideDivision.h"
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand);

extern "C" {

// The linker's list of static constructors (the default linker script makes it): a -1,
// the constructors, then a null.
extern void (*__CTOR_LIST__[])();

// Objects with static storage are never destroyed. Every way out of the program is
// ExitProcess (the exit routine and the fatal path), which runs no exit list, and
// Windows takes back their memory; what must happen at the end is the exit routine's
// work. So the compiler's registrations of their destructors are taken and dropped.
int __cdecl atexit(void (__cdecl*)())
{
    return 0;
}

// What Windows starts. The stack is aligned anew: Windows gives 4-byte alignment, the
// compiled code expects what GCC's own start-up would have given.
__attribute__((force_align_arg_pointer, noreturn, used)) void StubStartup()
{
    // The floating-point unit in the state mingw's start-up leaves it in (all exceptions
    // masked, 64-bit precision): formatted numbers round the way they always have.
    __asm__ __volatile__("fninit");

    // In the order mingw's start-up runs them: last first.
    int count = 0;
    while (__CTOR_LIST__[count + 1])
        ++count;
    for (; count > 0; --count)
        __CTOR_LIST__[count]();

    // WinMain's command line is what follows the program's name, quoted or not, and the
    // blanks after it. Bytes are compared unsigned: a name with letters above 127 ends
    // at its blank, not at its first such letter.
    const unsigned char* p = reinterpret_cast<const unsigned char*>(GetCommandLineA());
    bool quoted = false;
    while (*p > ' ' || (*p && quoted)) {
        if (*p == '"')
            quoted = !quoted;
        ++p;
    }
    while (*p && *p <= ' ')
        ++p;

    STARTUPINFOA startup;
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;

    WinMain(GetModuleHandleA(nullptr), nullptr, reinterpret_cast<LPSTR>(const_cast<unsigned char*>(p)), show);
    // WinMain ends every path in the exit routine; should one return, the process still
    // ends with the program's one exit code.
    ExitProcess(1);
}

// The division helpers, under libgcc's names and with its arguments.
uint64_t __udivmoddi4(uint64_t dividend, uint64_t divisor, uint64_t* remainder)
{
    return DivideWideUnsigned(dividend, divisor, remainder);
}

uint64_t __udivdi3(uint64_t dividend, uint64_t divisor)
{
    return __udivmoddi4(dividend, divisor, nullptr);
}

uint64_t __umoddi3(uint64_t dividend, uint64_t divisor)
{
    uint64_t remainder;
    __udivmoddi4(dividend, divisor, &remainder);
    return remainder;
}

int64_t __divmoddi4(int64_t dividend, int64_t divisor, int64_t* remainder)
{
    return DivideWideSigned(dividend, divisor, remainder);
}

int64_t __divdi3(int64_t dividend, int64_t divisor)
{
    return __divmoddi4(dividend, divisor, nullptr);
}

int64_t __moddi3(int64_t dividend, int64_t divisor)
{
    int64_t remainder;
    __divmoddi4(dividend, divisor, &remainder);
    return remainder;
}

}
