#include "install/InstallSequence.h"
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "records/InstallLog.h"
#include "ui/ProgramExit.h"

// The install sequence: the steps in the order they run. A new step is a new file in
// install/steps/ and a line here.
static const InstallStep kInstallSteps[] = {
    // The package, and the person's choices.
    ReadPackage,
    ChooseLanguage,
    CheckWindowsVersion,
    CheckMasterProduct,
    FindPreviousInstallation,
    AskOpeningQuestion,
    ShowLicensesAndReadmes,
    ChooseDirectory,
    RunPreInstallScript,
    // From here on the progress dialog stands.
    OpenProgressDialog,
    LoadFileData,
    // The files (45 to 85 percent); they fill state.lists for the steps after them.
    CreateUninstallDirectory,
    ApplyDeletionRules,
    InstallFiles,
    AnnounceFonts,
    // Shared counts, COM servers and type libraries (87 percent), shortcuts (90 to 95),
    // each reading what InstallFiles collected in state.lists.
    UpdateSharedCounts,
    RegisterComServers,
    RegisterTypeLibraries,
    CreateShortcuts,
    CreateUninstallerShortcuts,
    SaveBackgroundBitmap,
    CreateProductKey,
    ApplyAssociations,
    AddToPath,
    // The uninstall record: the uninstaller, its entry, then (at 100 percent) the file
    // that lists what it removes.
    WriteUninstaller,
    WriteUninstallKey,
    ShowProgressComplete,
    WriteUninstallFile,
    RunPostInstallScript,
    RefreshDesktop,
    CloseProgressDialog,
    // The log, the closing message and the finishing steps.
    FinishLog,
    AskRestart,
    RunClosingScript,
    RemoveEmptyDirectories,
    RestartOrLaunch,
};

void RunInstallSequence(InstallerState& state)
{
    InstallLog log;
    for (InstallStep step : kInstallSteps) {
        if (step(state, log) == StepResult::Stop)
            break;
    }
    ExitProgram();
}
