// The end of the installation for the person at the machine: the closing message, or
// the offer to read what went wrong; and Install.LOG in the uninstall directory, written
// when something went wrong or the package always wants it.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "records/InstallLogFile.h"
#include "system/FileOperations.h"
#include "system/Path.h"
#include "system/ProcessLauncher.h"

StepResult FinishLog(InstallerState& state, InstallLog& log)
{
    const String& program = state.commandLine.runAfterInstall;
    if (!program.IsEmpty())
        log.LaunchOnExit(program);
    bool succeeded = log.Succeeded();
    String path = JoinPath(state.UninstallDirectory(), kInstallLogFileName);
    bool view = false;
    if (succeeded) {
        if (!state.Has(kFlagNoSuccessMessage))
            state.Ask().Tell(state.Text(42), state.Text(43), BoxIcon::Information);
    } else {
        view = state.Ask().AskYesNo(state.TextWith(40, path.Text()), state.Text(41), BoxIcon::Information,
                                    QuestionKind::Offer);
    }
    if (succeeded && !state.Has(kFlagAlwaysWriteLog))
        return StepResult::GoOn;

    InstallLogHeader header;
    header.displayName = state.DisplayName();
    header.date.SetNow();
    header.uninstallSupport = state.Has(kFlagUninstallSupport);
    header.reinstall = state.previous.reinstall;
    header.installDir = state.installDir;
    header.productVersion = state.PackageSettings().displayVersion;
    // A log that cannot be written is simply not there to read.
    if (!WriteWholeFile(path.Text(), BuildInstallLog(header, log, state.Text(43))) || !view)
        return StepResult::GoOn;
    if (!OpenDocument(path.Text())) {
        // No program is associated with the log's type: Notepad is always there.
        String notepad("notepad.exe ");
        notepad += path;
        (void)RunProgram(notepad.Text(), 0, nullptr);
    }
    return StepResult::GoOn;
}
