// The stub's start-up, in place of the C runtime's. mingw's start-up code (crt2 and its
// helpers in libmingw32: command-line splitting into argv, thread-local storage,
// pseudo-relocations, an exception filter, math error hooks, frame registration for
// unwinding) is about 9 KB, and the stub uses none of it: msvcrt.dll sets up its own heap,
// formatter and string routines when Windows loads it, and the program reads its command
// line itself. What a start-up must still do for this program is here: the x87 state, the
// static constructors, and WinMain's arguments.
//
// Only the stub is linked with this entry (-nostartfiles and -e StubStartup, see
// cmake/Windows.cmake); nothing else refers to it, so the test drivers, linked with the
// ordinary start-up, never take it from the library.
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

}
