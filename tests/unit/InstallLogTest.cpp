#include "records/InstallLogFile.h"
#include <gtest/gtest.h>
#include <string>

namespace {

std::string Str(const String& s)
{
    return std::string(s.Text(), static_cast<size_t>(s.Length()));
}

InstallLogHeader Header(const char* version, bool uninstallSupport, bool reinstall)
{
    InstallLogHeader header;
    header.displayName = "Quox Demo";
    header.date.Set(12, 7, 2026, 15, 5, 9);
    header.uninstallSupport = uninstallSupport;
    header.reinstall = reinstall;
    header.installDir = "C:\\Program Files\\Quox Demo";
    header.productVersion = version;
    return header;
}

struct LogCase {
    const char* name;
    const char* version;
    bool uninstallSupport;
    bool reinstall;
    void (*fill)(InstallLog&);
    const char* expected;
};

class InstallLogFileText : public testing::TestWithParam<LogCase> {};

TEST_P(InstallLogFileText, Whole)
{
    const LogCase& c = GetParam();
    InstallLog log;
    c.fill(log);
    EXPECT_EQ(Str(BuildInstallLog(Header(c.version, c.uninstallSupport, c.reinstall), log,
                                  String("Installation complete."))),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(, InstallLogFileText,
    testing::Values(
        LogCase{ "ReinstallWithVersionDetailsAndErrors", "2.15b", true, true,
                 [](InstallLog& log) {
                     log.UpToDate(String("C:\\Common\\quox.dll"));
                     log.LaunchOnExit(String("C:\\Program Files\\Quox Demo\\demo.exe"));
                     log.AssociationFailed(String(".qox"));
                 },
                 "\r\nInstallation log for: Quox Demo\r\n"
                 "Install date: 7-Dec-2026 3:05:09p\r\n"
                 "Install type: Reinstall\r\n"
                 "Install location: C:\\Program Files\\Quox Demo\r\n"
                 "Installer version: 12.0\r\n"
                 "Product version: 2.15b\r\n"
                 "\r\n"
                 "C:\\Common\\quox.dll is up to date.\r\n"
                 "Launch on exit: C:\\Program Files\\Quox Demo\\demo.exe\r\n"
                 "\r\n"
                 "Failed to associate file type:  \".qox\".\r\n\r\n" },
        // A blank detailed log is left out; an empty error report becomes message 43.
        LogCase{ "BlankVersionNoUninstallerNoErrors", "  ", false, false,
                 [](InstallLog& log) { log.AddDetail(String(" \r\n")); },
                 "\r\nInstallation log for: Quox Demo\r\n"
                 "Install date: 7-Dec-2026 3:05:09p\r\n"
                 "Install location: C:\\Program Files\\Quox Demo\r\n"
                 "Installer version: 12.0\r\n"
                 "\r\n"
                 "Installation complete.\r\n\r\n" },
        LogCase{ "NewInstallEmptyVersion", "", true, false, [](InstallLog&) {},
                 "\r\nInstallation log for: Quox Demo\r\n"
                 "Install date: 7-Dec-2026 3:05:09p\r\n"
                 "Install type: New\r\n"
                 "Install location: C:\\Program Files\\Quox Demo\r\n"
                 "Installer version: 12.0\r\n"
                 "\r\n"
                 "Installation complete.\r\n\r\n" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InstallLog, OnlyTheErrorReportDecidesSuccess)
{
    InstallLog log;
    log.DeletionFailed(String("C:\\App\\old.dll"), String("Access is denied."));
    log.VersionNotNewer(String("C:\\WINDOWS\\SYSTEM\\quox.ocx"));
    EXPECT_TRUE(log.Succeeded());
    log.DeletionAtRestartFailed(String("C:\\App\\old.dll"), String("Access is denied."));
    EXPECT_FALSE(log.Succeeded());
    EXPECT_EQ(Str(log.ErrorReport()), "Failed to register 'C:\\App\\old.dll' for deletion: Access is denied.\r\n");
}

// The lines whose text depends on more than their arguments.
TEST(InstallLog, WriteFailureReportRoutes)
{
    String withError = InstallLog::WriteFailureReport(String("Cannot write"), String("C:\\a.dll"),
                                                      String("Access is denied."));
    EXPECT_EQ(Str(withError), "\r\nCannot write C:\\a.dll\r\nAccess is denied.\r\n");
    String withoutError = InstallLog::WriteFailureReport(String("Cannot write"), String("C:\\a.dll"), String());
    EXPECT_EQ(Str(withoutError), "\r\nCannot write C:\\a.dll\r\n");

    // A registered replacement is no error: the report goes to the detailed log.
    InstallLog registered;
    registered.ReplacementRegistered(withError, String("C:\\a.dll"), String("C:\\TEMP\\KZQ1.TMP"));
    EXPECT_TRUE(registered.Succeeded());
    EXPECT_EQ(Str(registered.DetailedLog()),
              Str(withError) + "\"C:\\a.dll\" has been successfully registered for replacement.\r\n"
                               "Temporary file is \"C:\\TEMP\\KZQ1.TMP\"\r\nReboot will be required.\r\n\r\n");

    InstallLog failed;
    failed.ReplacementFailed(withoutError, String("C:\\a.dll"), String("C:\\TEMP\\KZQ1.TMP"), String("No."));
    EXPECT_TRUE(failed.DetailedLog().IsEmpty());
    EXPECT_EQ(Str(failed.ErrorReport()), Str(withoutError) + "Failed to register 'C:\\a.dll' for replacement "
                                                             "with temporary file 'C:\\TEMP\\KZQ1.TMP'\r\nNo.\r\n");
}

TEST(InstallLog, ComponentRegistrationLinesOnlyInDetailedLog)
{
    InstallLog log;
    log.RegisteringComServer(String("C:\\S\\a.ocx"));
    log.ComEntryMissing();
    log.RegisteringTypeLibrary(String("C:\\S\\a.tlb"));
    log.TypeLibraryFailed(String("Error loading type library."));
    log.RegisteringTypeLibrary(String("C:\\S\\b.tlb"));
    log.TypeLibraryFailed(String("Not found.\r\n"));
    log.RegisteringTypeLibrary(String("C:\\S\\c.tlb"));
    log.RegistrationSucceeded();
    EXPECT_TRUE(log.Succeeded());
    EXPECT_EQ(Str(log.DetailedLog()), "Registering COM File \"C:\\S\\a.ocx\"...GetProcAddress() Failed\r\n"
                                      "Registering Type Library \"C:\\S\\a.tlb\"...FAILED\r\n"
                                      "Error loading type library.\r\n"
                                      "Registering Type Library \"C:\\S\\b.tlb\"...FAILED\r\nNot found.\r\n"
                                      "Registering Type Library \"C:\\S\\c.tlb\"...OK\r\n");
}

TEST(InstallLog, ShortcutLinesByKind)
{
    InstallLog log;
    log.ShortcutMade(InstallLog::kDesktop, String("Demo"), String("C:\\D\\Demo.LNK"));
    log.ShortcutMade(InstallLog::kDesktopFolder, String("Demo"), String("C:\\D\\Q\\Demo.LNK"));
    log.ShortcutMade(InstallLog::kStartMenu, String("Demo"), String("C:\\S\\Demo.LNK"));
    log.ShortcutMade(InstallLog::kStartup, String("Demo"), String("C:\\U\\Demo.LNK"));
    log.UninstallerShortcutMade(String("C:\\S\\Uninstall.LNK"));
    EXPECT_EQ(Str(log.DetailedLog()), "Desktop Shortcut(Demo) -> C:\\D\\Demo.LNK\r\n"
                                      "Desktop Folder Shortcut(Demo) -> C:\\D\\Q\\Demo.LNK\r\n"
                                      "Start Menu Shortcut(Demo) -> C:\\S\\Demo.LNK\r\n"
                                      "Startup Shortcut(Demo) -> C:\\U\\Demo.LNK\r\n"
                                      "Uninstaller Shortcut -> C:\\S\\Uninstall.LNK\r\n");
}

}
