#include "system/RenameSection.h"
#include "system/WindowsRestart.h"
#include <gtest/gtest.h>
#include <string>

namespace {

struct RenameCase {
    const char* name;
    const char* before;
    const char* key;
    const char* value;
    const char* after;
};

class RenameLine : public testing::TestWithParam<RenameCase> {};

TEST_P(RenameLine, Added)
{
    const RenameCase& c = GetParam();
    String text(c.before);
    AddRenameLine(text, c.key, c.value);
    EXPECT_STREQ(text.Text(), c.after);
}

INSTANTIATE_TEST_SUITE_P(, RenameLine,
    testing::Values(
        // Windows' own files start the section on a line of its own, even in an empty file.
        RenameCase{ "EmptyFile", "", "NUL", "C:\\APP\\X.DLL", "\r\n[rename]\r\nNUL=C:\\APP\\X.DLL" },
        RenameCase{ "LastLineWithoutBreak", "[boot]\r\nshell=x", "C:\\A.DLL", "C:\\KZQ1.TMP",
                    "[boot]\r\nshell=x\r\n[rename]\r\nC:\\A.DLL=C:\\KZQ1.TMP" },
        RenameCase{ "LastLineWithBreak", "[boot]\n", "NUL", "C:\\A", "[boot]\n[rename]\r\nNUL=C:\\A" },
        RenameCase{ "NewestFirst", "[rename]\r\nNUL=C:\\OLD", "NUL", "C:\\NEW",
                    "[rename]\r\nNUL=C:\\NEW\r\nNUL=C:\\OLD" },
        RenameCase{ "SectionNameInAnyCase", "[boot]\r\n[Rename]\r\nNUL=C:\\OLD\r\n[other]\r\n", "C:\\T", "C:\\S",
                    "[boot]\r\n[Rename]\r\nC:\\T=C:\\S\r\nNUL=C:\\OLD\r\n[other]\r\n" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RenameSection, TwoAdditionsShareOneSection)
{
    String text;
    AddRenameLine(text, "NUL", "C:\\FIRST");
    AddRenameLine(text, "C:\\TARGET", "C:\\SECOND");
    EXPECT_STREQ(text.Text(), "\r\n[rename]\r\nC:\\TARGET=C:\\SECOND\r\nNUL=C:\\FIRST");
}

struct ExitCase {
    const char* name;
    int kind;
    uint32_t options;
    uint32_t flags;
};

class ExitWindows : public testing::TestWithParam<ExitCase> {};

TEST_P(ExitWindows, Flags)
{
    const ExitCase& c = GetParam();
    EXPECT_EQ(ExitWindowsFlags(c.kind, c.options), c.flags);
}

// EWX_LOGOFF 0, EWX_SHUTDOWN 1, EWX_REBOOT 2, EWX_FORCE 4, EWX_POWEROFF 8, EWX_FORCEIFHUNG 16.
INSTANTIATE_TEST_SUITE_P(, ExitWindows,
    testing::Values(ExitCase{ "PowerOffForced", kPowerOffWindows, kRestartForce, 12 },
                    ExitCase{ "PowerOff", kPowerOffWindows, 0, 24 },
                    ExitCase{ "RestartForced", kRestartWindows, kRestartForce, 6 },
                    // What the installer asks for at its end.
                    ExitCase{ "Restart", kRestartWindows, 0, 18 },
                    ExitCase{ "LogOffForced", kLogOffWindows, kRestartForce, 4 },
                    ExitCase{ "LogOff", kLogOffWindows, 0, 16 },
                    ExitCase{ "ShutDownForced", kShutDownWindows, kRestartForce, 5 },
                    ExitCase{ "AnyOtherKindShutsDown", 7, 0, 17 },
                    ExitCase{ "OnlyBitOneForces", kRestartWindows, 0xFE, 18 }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
