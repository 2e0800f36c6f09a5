#include "install/CommandLine.h"
#include <gtest/gtest.h>

namespace {

struct CommandLineCase {
    const char* name;
    const char* line;
    bool automatic;
    bool uninstall;
    const char* installDir;
    const char* displayName;
    const char* uninstallName;
    const char* runAfterInstall;
    const char* complaint;
};

class CommandLineParse : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineParse, Atoms)
{
    const CommandLineCase& c = GetParam();
    CommandLine result = ParseCommandLine(c.line);
    EXPECT_STREQ(result.complaint.Text(), c.complaint);
    EXPECT_EQ(result.automaticMode, c.automatic);
    EXPECT_EQ(result.uninstallMode, c.uninstall);
    EXPECT_STREQ(result.installDir.Text(), c.installDir);
    EXPECT_STREQ(result.displayName.Text(), c.displayName);
    EXPECT_STREQ(result.uninstallName.Text(), c.uninstallName);
    EXPECT_STREQ(result.runAfterInstall.Text(), c.runAfterInstall);
}

INSTANTIATE_TEST_SUITE_P(, CommandLineParse,
    testing::Values(
        CommandLineCase{ "Empty", "", false, false, "", "", "", "", "" },
        CommandLineCase{ "BlanksOnly", " \t\r\n", false, false, "", "", "", "", "" },
        CommandLineCase{ "SlashUpperA", "/A", true, false, "", "", "", "", "" },
        CommandLineCase{ "DashLowerA", "-a", true, false, "", "", "", "", "" },
        CommandLineCase{ "SlashLowerA", "/a", true, false, "", "", "", "", "" },
        CommandLineCase{ "AbIsIllegal", "/ab", false, false, "", "", "", "", "Illegal command line atom:\n/ab" },
        CommandLineCase{ "DirQuotedLosesQuotes", "/d:\"C:\\Program Files\\App\"", false, false,
                         "C:\\Program Files\\App", "", "", "", "" },
        CommandLineCase{ "DirUnquotedUnchanged", "-D:c:\\app", false, false, "c:\\app", "", "", "", "" },
        CommandLineCase{ "DirOpeningQuoteKept", "/d:\"c:\\app", false, false, "\"c:\\app", "", "", "", "" },
        CommandLineCase{ "NameQuoted", "/n:\"My Product\"", false, false, "", "My Product", "", "", "" },
        CommandLineCase{ "UninstallNamed", "/u:\"My Product\"", false, true, "", "", "My Product", "", "" },
        CommandLineCase{ "UninstallAlone", "/u", false, true, "", "", "", "", "" },
        CommandLineCase{ "AnyUWordUninstalls", "/update", false, true, "", "", "", "", "" },
        CommandLineCase{ "RunBackQuotes", "/r:\"c:\\app\\run.exe `my file.txt`\"", false, false, "", "", "",
                         "c:\\app\\run.exe \"my file.txt\"", "" },
        CommandLineCase{ "RunWithoutQuoteIllegal", "/r:run.exe", false, false, "", "", "", "",
                         "Illegal command line atom:\n/r:run.exe" },
        CommandLineCase{ "NotASwitch", "/a setup.exe", true, false, "", "", "", "",
                         "Unexpected command line parameter:\nsetup.exe" },
        CommandLineCase{ "LoneSwitchIgnored", "/ - /a", true, false, "", "", "", "", "" },
        CommandLineCase{ "UnknownLetter", "/x", false, false, "", "", "", "", "Illegal command line atom:\n/x" },
        CommandLineCase{ "DWithoutColon", "/d", false, false, "", "", "", "", "Illegal command line atom:\n/d" },
        CommandLineCase{ "FirstErrorStops", "/q /a", false, false, "", "", "", "", "Illegal command line atom:\n/q" },
        CommandLineCase{ "TwentiethAtomIgnored",
                         "/a /a /a /a /a /a /a /a /a /a /a /a /a /a /a /a /a /a /n:x /bogus", true, false, "", "x",
                         "", "", "" },
        CommandLineCase{ "NineteenthAtomHandled",
                         "/a /a /a /a /a /a /a /a /a /a /a /a /a /a /a /a /a /a /bogus", true, false, "", "", "", "",
                         "Illegal command line atom:\n/bogus" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLineAtoms, QuotedStretchHoldsBlanks)
{
    const char* cursor = "  /d:\"a b\"c d\t\"e";
    EXPECT_STREQ(NextCommandLineAtom(cursor).Text(), "/d:\"a b\"c");
    EXPECT_STREQ(NextCommandLineAtom(cursor).Text(), "d");
    EXPECT_STREQ(NextCommandLineAtom(cursor).Text(), "\"e");
    EXPECT_STREQ(NextCommandLineAtom(cursor).Text(), "");
}

} // namespace
