#include "install/CorruptInstaller.h"
#include "core/Fatal.h"
#include "install/InstallerState.h"
#include "install/MessageFormat.h"

static const char kBuiltInText[] =
    "This installation program is corrupt.  This is usually caused by a faulty download, but it can also be "
    "caused by a virus on your computer.  The installation cannot proceed.\r\n\r\n"
    "Delete the corrupted installer (to prevent caching), then re-download it.  If the problem persists, check "
    "your system for viruses.\r\n\r\nError code: %d";

void ReportCorruptInstaller(const InstallerState& state, int code)
{
    String format = state.Text(13);
    if (format.IsEmpty())
        format = kBuiltInText;
    // The text comes from the package: its placeholders are filled, never trusted.
    String number(static_cast<int64_t>(code));
    const char* values[] = { number.Text() };
    FatalStop(FillPlaceholders(format, values, 1).Text());
}
