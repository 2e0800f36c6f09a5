#include "ui/ProgramExit.h"
#include "system/RuntimeLoader.h"
#include "ui/MessagePump.h"
#include "ui/ProgramWindows.h"
#include <ole2.h>

void ExitProgram()
{
    ProgramWindows& windows = TheProgramWindows();
    if (windows.progress) {
        DestroyWindow(windows.progress);
        windows.progress = nullptr;
    }
    if (windows.background) {
        ShowWindow(windows.background, SW_MINIMIZE);
        DestroyWindow(windows.background);
        windows.background = nullptr;
    }
    PumpMessages();
    OleUninitialize();
    FreeLoadedLibraries();
    ExitProcess(1);
}
