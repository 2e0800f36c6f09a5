#include "ui/ProgramWindows.h"

static ProgramWindows s_windows;

ProgramWindows& TheProgramWindows()
{
    return s_windows;
}
