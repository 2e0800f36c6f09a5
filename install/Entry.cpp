// The program's entry: start-up, command line, and one hand-off to either the
// uninstaller or the install sequence. Nothing returns here; every path ends in
// ExitProgram with exit code 1.
#include "core/Fatal.h"
#include "install/CommandLine.h"
#include "install/InstallSequence.h"
#include "install/InstallerState.h"
#include "install/Messages.h"
#include "system/RegistryKey.h"
#include "system/SystemPaths.h"
#include "uninstall/Uninstall.h"
#include <ole2.h>
#include <windows.h>

static void* FatalOwner()
{
    return MessageBoxOwner();
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLineText, int)
{
    FatalHooks hooks;
    hooks.ownerWindow = FatalOwner;
    hooks.shutdown = ExitProgram;
    SetFatalHooks(hooks);

    ApplicationTitle = "QUOX Installer";
    RegistryKey::SetApplicationTitle(ApplicationTitle);
    InitSystemPaths();
    OleInitialize(nullptr);

    CommandLine line = ParseCommandLine(commandLineText);
    if (!line.complaint.IsEmpty())
        ShowUsageError(line.complaint);
    AutomaticMode = line.automaticMode;
    UninstallMode = line.uninstallMode;
    InstallDir = line.installDir;
    DisplayName = line.displayName;
    UninstallName = line.uninstallName;
    RunAfterInstall = line.runAfterInstall;

    if (UninstallMode) {
        if (UninstallName.IsEmpty())
            ShowUsageError("Product name required");
        UninstallProduct(UninstallName);
        ExitProgram();
    }
    RunInstallSequence();
}
