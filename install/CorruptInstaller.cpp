#include "install/CorruptInstaller.h"
#include "core/Fatal.h"
#include "install/InstallerState.h"

static const char kBuiltInText[] =
    "This installation program is corrupt.  This is usually caused by a faulty download, but it can also be "
    "caused by a virus on your computer.  The installation cannot proceed.\r\n\r\n"
    "Delete the corrupted installer (to prevent caching), then re-download it.  If the problem persists, check "
    "your system for viruses.\r\n\r\nError code: %d";

// The text comes from the package, so it is not trusted as a printf format: its "%d"
// takes the code, "%%" stands for "%", and any other "%" is kept as it is.
static String InsertCode(const String& format, int code)
{
    String text;
    for (int32_t i = 0; i < format.Length(); ++i) {
        char c = format.CharAt(i);
        char next = format.CharAt(i + 1);
        if (c == '%' && next == 'd') {
            text.Append(String(static_cast<int64_t>(code)));
            ++i;
        } else if (c == '%' && next == '%') {
            text.Append('%');
            ++i;
        } else {
            text.Append(c);
        }
    }
    return text;
}

void ReportCorruptInstaller(const InstallerState& state, int code)
{
    String format = state.Text(13);
    if (format.IsEmpty())
        format = kBuiltInText;
    FatalStop(InsertCode(format, code).Text());
}
