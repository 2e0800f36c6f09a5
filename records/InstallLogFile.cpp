#include "records/InstallLogFile.h"

namespace {
// Appends `label`, `text` and CR LF; texts of any length, where a formatted line would
// be cut at the formatter's scratch size.
void AppendLine(String& out, const char* label, const String& text)
{
    out += label;
    out += text;
    out += "\r\n";
}
}

String BuildInstallLog(const InstallLogHeader& header, const InstallLog& log, const String& successMessage)
{
    String text("\r\n");
    AppendLine(text, "Installation log for: ", header.displayName);
    AppendLine(text, "Install date: ", header.date.FormatFigures(kInstallLogDatePattern));
    if (header.uninstallSupport)
        AppendLine(text, "Install type: ", String(header.reinstall ? "Reinstall" : "New"));
    AppendLine(text, "Install location: ", header.installDir);
    AppendLine(text, "Installer version: ", String(kInstallerVersion));
    if (!IsBlank(header.productVersion))
        AppendLine(text, "Product version: ", header.productVersion);
    text += "\r\n";
    if (!IsBlank(log.DetailedLog().Text())) {
        text += log.DetailedLog();
        text += "\r\n";
    }
    if (log.ErrorReport().IsEmpty()) {
        text += successMessage;
        text += "\r\n\r\n";
    } else {
        text += log.ErrorReport();
    }
    return text;
}
