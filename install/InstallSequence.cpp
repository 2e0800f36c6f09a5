#include "install/InstallSequence.h"
#include "records/InstallLog.h"
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "ui/ProgramExit.h"

// The install sequence: the steps in the order they run. A new step is a new file in
// install/steps/ and a line here.
static const InstallStep kInstallSteps[] = {
    ReadPackage,
    ShowPackageSummary,
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
