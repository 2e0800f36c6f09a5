// The package: the own file, the payload section and its header, the settings stream
// and the plain stub for the uninstaller. Every fault found here ends the program.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"

StepResult ReadPackage(InstallerState& state, InstallLog&)
{
    LoadPayload(state);
    return StepResult::GoOn;
}
