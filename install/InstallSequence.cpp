#include "install/InstallSequence.h"
#include "install/InstallerState.h"
#include "install/Messages.h"
#include "install/Payload.h"
#include "core/Checksum.h"
#include <windows.h>

void RunInstallSequence()
{
    LoadPayload();

    // The dialogs and install steps come next; until they exist the installer reports
    // what it read and stops here, having changed nothing on the machine.
    const Payload& payload = ThePayload();
    if (!AutomaticMode) {
        String text;
        text.Format("The package \"%s\" was read: %d files, %d languages, uninstaller of %d bytes "
                    "(checksum %08X).\r\n\r\nThis version of the program cannot install it yet. Nothing was changed.",
                    DisplayName.Text(), payload.header.sizes.Count(), payload.settings.languages.Count(),
                    payload.stubImage.Length(), Checksum(payload.stubImage));
        MessageBoxA(static_cast<HWND>(MessageBoxOwner()), text.Text(), DisplayName.Text(), MB_OK | MB_ICONINFORMATION);
    }
    ExitProgram();
}
