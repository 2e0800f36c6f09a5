// Stands at the end of the sequence until the dialogs and the install steps exist: it
// tells what was read and that nothing was installed, having changed nothing on the
// machine. Automatic mode tells nothing.
#include "core/Checksum.h"
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"

StepResult ShowPackageSummary(InstallerState& state, InstallLog&)
{
    const Payload& payload = state.payload;
    String text;
    text.Format("The package \"%s\" was read: %d files, %d languages, uninstaller of %d bytes "
                "(checksum %08X).\r\n\r\nThis version of the program cannot install it yet. Nothing was changed.",
                state.DisplayName().Text(), payload.header.sizes.Count(), payload.settings.languages.Count(),
                payload.stubImage.Length(), Checksum(payload.stubImage));
    state.Ask().Tell(text, state.DisplayName(), BoxIcon::Information);
    return StepResult::GoOn;
}
