// The program's entry: start-up, command line, and one hand-off to either the
// uninstaller or the install sequence. Nothing returns here; every path ends in
// ExitProgram with exit code 1.
#include "core/Fatal.h"
#include "install/CommandLine.h"
#include "install/InstallSequence.h"
#include "install/InstallerState.h"
#include "system/RegistryKey.h"
#include "system/SystemError.h"
#include "system/SystemPaths.h"
#include "ui/ProgramExit.h"
#include "ui/ProgramWindows.h"
#include "ui/Questions.h"
#include "uninstall/Uninstall.h"
#include <ole2.h>
#include <windows.h>

// Named by the registry's required-key message.
static const char kApplicationTitle[] = "QUOX Installer";

static void* FatalOwner()
{
    return TheProgramWindows().BoxOwner();
}

// The usage box: the complaint, then the switches this program understands. Fatal.
[[noreturn]] static void ShowUsageError(const String& complaint)
{
    FatalMessage("%s\n\nUsage:\n%s [/a] [/d:\"dir\"] [/n:\"name\"] [/u:\"name\"] [/r:\"program\"]\n\n"
                 "/a                  \tAutomatic mode\n"
                 "/d:\"dir\"        \tOverride installation directory\n"
                 "/n:\"name\"\tOverride product name\n"
                 "/u:\"name\"\tUninstall product by name\r\n"
                 "/r:\"program\"\tRun the specified program after a successful installation",
                 complaint.Text(), ProgramName().Text());
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLineText, int)
{
    FatalHooks hooks;
    hooks.ownerWindow = FatalOwner;
    hooks.shutdown = ExitProgram;
    SetFatalHooks(hooks);
    SetSystemErrorDisplay(ShowSystemErrorBox);

    RegistryKey::SetApplicationTitle(kApplicationTitle);
    InitSystemPaths();
    // Without OLE the shortcuts fail one by one later, each with its own report.
    OleInitialize(nullptr);

    CommandLine line = ParseCommandLine(commandLineText);
    if (!line.complaint.IsEmpty())
        ShowUsageError(line.complaint);

    if (line.uninstallMode) {
        if (line.uninstallName.IsEmpty())
            ShowUsageError("Product name required");
        BoxQuestions boxes;
        AutomaticQuestions questions(boxes);
        questions.SetMode(line.automaticMode, AutomaticAnswers());
        // Only a complete removal removes the uninstaller: otherwise it stays with the
        // record for a later run.
        ProductPlace place;
        if (Uninstall(line.uninstallName, questions, place))
            (void)RemoveSelf(place);
        ExitProgram();
    }
    InstallerState state(line);
    RunInstallSequence(state);
}
