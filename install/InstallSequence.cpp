#include "install/InstallSequence.h"
#include "core/Fatal.h"

// What a program without a payload section tells the person who started it.
static const char kNoArchiveText[] =
    "This program performs installations and uninstallations.\r\n"
    "There is no installation archive present.\r\n"
    "No Uninstallation parameters were specified.\r\n\r\n"
    "You should not delete this program or execute it directly.";

void RunInstallSequence()
{
    // The payload reader is not part of this program yet, so every start finds no archive.
    FatalStop(kNoArchiveText);
}
