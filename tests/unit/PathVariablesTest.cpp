#include "system/PathVariables.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>

namespace {

// Every variable's value is "<Name>" except the few a case sets, so that the tests see
// which variable went where. Counts the values asked for.
class FakeValues final : public PathVariableValues {
public:
    String Value(PathVariable variable) const override
    {
        ++asked;
        const char* fixed = given[static_cast<int>(variable)];
        if (fixed)
            return String(fixed);
        return String("<") + PathVariableName(variable) + ">";
    }
    const char* given[kPathVariableCount] = {};
    mutable int asked = 0;
};

struct ExpandCase {
    const char* name;
    const char* text;
    const char* expanded;
};

class ExpandPathVariablesIn : public testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandPathVariablesIn, Text)
{
    FakeValues values;
    values.given[static_cast<int>(PathVariable::InstallDir)] = "C:\\App";
    values.given[static_cast<int>(PathVariable::InstallDrive)] = "C:";
    values.given[static_cast<int>(PathVariable::InstallerDrive)] = "D";
    // A value that names an earlier variable keeps it; one that names a later one has it
    // replaced too.
    values.given[static_cast<int>(PathVariable::SystemDir)] = "%InstallDir%\\%WinDir%";
    values.given[static_cast<int>(PathVariable::Temp)] = "";
    String text(GetParam().text);
    ExpandPathVariables(text, values);
    EXPECT_STREQ(text.Text(), GetParam().expanded);
}

INSTANTIATE_TEST_SUITE_P(, ExpandPathVariablesIn,
    testing::Values(
        ExpandCase{ "AnyLetterCase", "%INSTALLDIR%\\readme.txt|%installdir%", "C:\\App\\readme.txt|C:\\App" },
        ExpandCase{ "EveryOccurrence", "%InstallDir%;%InstallDir%", "C:\\App;C:\\App" },
        ExpandCase{ "DriveForms", "%InstallDrive%|%InstallerDrive%|%BootDrive%", "C:|D|<BootDrive>" },
        ExpandCase{ "LaterVariableInsideValue", "%SystemDir%", "%InstallDir%\\<WinDir>" },
        ExpandCase{ "EmptyValue", "%Temp%\\x", "\\x" },
        ExpandCase{ "UnknownNamesStay", "%Nothing%\\%InstallDir", "%Nothing%\\%InstallDir" },
        ExpandCase{ "AllTwentyEightInOrder",
                    "%BootDrive%%CommonDir%%ProgramsDir%%SharedDir%%InstallerDir%%InstallerFilename%"
                    "%InstallerFilepath%%DeviceDir%%MediaDir%%FavoritesDir%%FavoritesAllDir%%FontDir%"
                    "%DesktopDir%%DesktopAllDir%%DocumentDir%%DocumentAllDir%%StartMenuDir%%StartMenuAllDir%"
                    "%SMProgramsDir%%SMProgramsAllDir%%StartupDir%%StartupAllDir%%WinDir%",
                    "<BootDrive><CommonDir><ProgramsDir><SharedDir><InstallerDir><InstallerFilename>"
                    "<InstallerFilepath><DeviceDir><MediaDir><FavoritesDir><FavoritesAllDir><FontDir>"
                    "<DesktopDir><DesktopAllDir><DocumentDir><DocumentAllDir><StartMenuDir><StartMenuAllDir>"
                    "<SMProgramsDir><SMProgramsAllDir><StartupDir><StartupAllDir><WinDir>" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExpandPathVariables, AsksOnlyForTheVariablesTheTextNames)
{
    FakeValues values;
    String text("c:\\plain\\path");
    ExpandPathVariables(text, values);
    EXPECT_EQ(values.asked, 0);
    text = "%FontDir%\\%fontdir%";
    ExpandPathVariables(text, values);
    EXPECT_EQ(values.asked, 1);
}

constexpr const char* kSetLinesAfterInstall =
    "SET SharedDir=<SharedDir>\r\nSET InstallerFilepath=<InstallerFilepath>\r\nSET InstallerDir=<InstallerDir>\r\n"
    "SET InstallerFilename=<InstallerFilename>\r\nSET InstallerDrive=D:\r\nSET SystemDir=<SystemDir>\r\n"
    "SET DeviceDir=<DeviceDir>\r\nSET MediaDir=<MediaDir>\r\nSET FavoritesDir=<FavoritesDir>\r\n"
    "SET FavoritesAllDir=<FavoritesAllDir>\r\nSET FontDir=<FontDir>\r\nSET DesktopDir=<DesktopDir>\r\n"
    "SET DesktopAllDir=<DesktopAllDir>\r\nSET DocumentDir=<DocumentDir>\r\nSET DocumentAllDir=<DocumentAllDir>\r\n"
    "SET ProgramsDir=<ProgramsDir>\r\nSET StartMenuDir=<StartMenuDir>\r\nSET StartMenuAllDir=<StartMenuAllDir>\r\n"
    "SET SMProgramsDir=<SMProgramsDir>\r\nSET SMProgramsAllDir=<SMProgramsAllDir>\r\n"
    "SET StartupDir=<StartupDir>\r\nSET StartupAllDir=<StartupAllDir>\r\nSET BootDrive=<BootDrive>\r\n"
    "SET CommonDir=<CommonDir>\r\n";

struct BatchCase {
    const char* name;
    const char* installDir;
    const char* installDrive;
    const char* commands;
    bool removePauses;
    const char* head;   // before the fixed SET lines
    const char* tail;   // after them
};

class BatchTextOf : public testing::TestWithParam<BatchCase> {};

TEST_P(BatchTextOf, Commands)
{
    const BatchCase& c = GetParam();
    FakeValues values;
    values.given[static_cast<int>(PathVariable::InstallDir)] = c.installDir;
    values.given[static_cast<int>(PathVariable::InstallDrive)] = c.installDrive;
    values.given[static_cast<int>(PathVariable::InstallerDrive)] = "D";
    String text = BatchText(String(c.commands), values, c.removePauses);
    EXPECT_EQ(std::string(text.Text()), std::string(c.head) + kSetLinesAfterInstall + c.tail);
}

INSTANTIATE_TEST_SUITE_P(, BatchTextOf,
    testing::Values(
        BatchCase{ "InstallDirectoryAndDrive", "C:\\App", "C:", "echo %InstallDir%",
                   false, "@echo off\r\nSET InstallDir=C:\\App\r\nSET InstallDrive=C:\r\n", "echo %InstallDir%" },
        BatchCase{ "NetworkPathHasNoDrive", "\\\\server\\share\\app", "", "dir\r\n", false,
                   "@echo off\r\nSET InstallDir=\\\\server\\share\\app\r\nSET InstallDrive=\r\n", "dir\r\n" },
        BatchCase{ "NoInstallDirectoryNoLines", "", "", "dir", false, "@echo off\r\n", "dir" },
        BatchCase{ "PausesRemovedLineBreaksMadeCrLf", "C:\\A", "C:", "  @pause\necho pause\n\rPAUSE\rend", true,
                   "@echo off\r\nSET InstallDir=C:\\A\r\nSET InstallDrive=C:\r\n", "echo pause\r\nend\r\n" },
        BatchCase{ "PausesKeptWhenShown", "C:\\A", "C:", "pause\n", false,
                   "@echo off\r\nSET InstallDir=C:\\A\r\nSET InstallDrive=C:\r\n", "pause\r\n" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HasCommands, BlankLinesAreNoCommands)
{
    EXPECT_FALSE(HasCommands(String("")));
    EXPECT_FALSE(HasCommands(String(" \r\n\t\r\n")));
    EXPECT_TRUE(HasCommands(String("\r\n@pause")));
}

}
