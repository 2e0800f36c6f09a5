// The very end: Windows restarts to replace the files that were in use, or the program
// the command line asked for (/r:) starts - only after an installation without errors,
// so that it never runs on a half-installed product.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "records/InstallLog.h"
#include "system/ProcessLauncher.h"
#include "system/SystemError.h"
#include "system/WindowsRestart.h"

StepResult RestartOrLaunch(InstallerState& state, InstallLog& log)
{
    const String& program = state.commandLine.runAfterInstall;
    String failure;
    if (state.restartRequested) {
        if (RestartWindows(kRestartWindows, 0))
            return StepResult::GoOn;
        // The files wait for the restart all the same: the person must know to make it.
        failure = "Windows could not be restarted. Restart it to finish the installation.";
    } else if (log.Succeeded() && !program.IsEmpty() && RunProgram(program.Text(), 0, nullptr) == kRunNotStarted) {
        failure = StartFailureText(program.Text());
    } else {
        return StepResult::GoOn;
    }
    String reason = LastErrorText();
    failure += "\r\n\r\n";
    failure += reason;
    state.ShowError(failure);
    return StepResult::GoOn;
}
