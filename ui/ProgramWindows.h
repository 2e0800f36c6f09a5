#pragma once
#include <windows.h>

// The program's two long-lived windows: the background window and the progress dialog.
// They are process-wide because the program may end from anywhere - the exit routine
// and the fatal path must find them to close them and to put message boxes in front of
// them - whether it installs or uninstalls.
struct ProgramWindows {
    HWND background = nullptr; // the background window, or none
    HWND progress = nullptr;   // the progress dialog, or none

    // Message boxes stand in front of the progress dialog while it exists, else in front
    // of the background window, else on their own.
    HWND BoxOwner() const { return progress ? progress : background; }
};

ProgramWindows& TheProgramWindows();
