#pragma once
#include "core/DateTime.h"
#include "core/String.h"
#include "records/InstallLog.h"

// Install.LOG: a header, the detailed log and the error report.
//
//   CR LF "Installation log for: " display name CR LF
//   "Install date: " d-M-yy h:ii:ssap CR LF
//   "Install type: " New | Reinstall CR LF          only with UninstallSupport
//   "Install location: " install directory CR LF
//   "Installer version: 12.0" CR LF
//   "Product version: " version CR LF               only when the version is not blank
//   CR LF
//   the detailed log, then CR LF                    only when it is not blank
//   the error report, or the success message (43) and CR LF CR LF when it is empty
constexpr const char* kInstallLogFileName = "Install.LOG";
constexpr const char* kInstallLogDatePattern = "d-M-yy h:ii:ssap";
// The version of the installer program that the log states.
constexpr const char* kInstallerVersion = "12.0";

struct InstallLogHeader {
    String displayName;
    DateTime date;               // now, in local time
    bool uninstallSupport = false;
    bool reinstall = false;      // installed over a previous installation of the product
    String installDir;
    String productVersion;
};

// The whole text of Install.LOG. `successMessage` is message 43 of the string table.
String BuildInstallLog(const InstallLogHeader& header, const InstallLog& log, const String& successMessage);
