#include "system/ProcessLauncher.h"
#include "system/ScriptText.h"
#include <gtest/gtest.h>
#include <string>

namespace {

struct PauseCase {
    const char* name;
    const char* script;
    const char* kept;
};

class RemovePausesFrom : public testing::TestWithParam<PauseCase> {};

TEST_P(RemovePausesFrom, Script)
{
    const PauseCase& c = GetParam();
    String script(c.script);
    RemovePauses(script);
    EXPECT_STREQ(script.Text(), c.kept);
}

INSTANTIATE_TEST_SUITE_P(, RemovePausesFrom,
    testing::Values(
        PauseCase{ "OnlyTheCommandItself", "@pause\r\n  PAUSE  \r\npause now\r\n", "pause now\r\n" },
        PauseCase{ "AtSignAndBlanks", "@ \tPause\r\necho @pause\r\n", "echo @pause\r\n" },
        PauseCase{ "KeptLinesUnchanged", "  echo a  \n\techo b", "  echo a  \r\n\techo b\r\n" },
        PauseCase{ "EveryLineBreak", "a\rpause\nb\r\nPAUSE\n\rc", "a\r\nb\r\nc\r\n" },
        PauseCase{ "EmptyLinesKept", "a\r\n\r\npause\r\n\r\nb", "a\r\n\r\n\r\nb\r\n" },
        PauseCase{ "PauseAlone", "pause", "" },
        PauseCase{ "Empty", "", "" },
        PauseCase{ "TwoAtSigns", "@@pause\r\n", "@@pause\r\n" }),
    [](const auto& info) { return std::string(info.param.name); });

struct OptionsCase {
    const char* name;
    uint32_t options;
    int show;
    uint32_t priority;
};

class RunOptions : public testing::TestWithParam<OptionsCase> {};

TEST_P(RunOptions, ShowStateAndPriority)
{
    const OptionsCase& c = GetParam();
    EXPECT_EQ(RunShowState(c.options), c.show);
    EXPECT_EQ(RunPriorityClass(c.options), c.priority);
}

// SW_HIDE 0, SW_SHOWMAXIMIZED 3, SW_MINIMIZE 6; NORMAL 32, IDLE 64, HIGH 128.
INSTANTIATE_TEST_SUITE_P(, RunOptions,
    testing::Values(OptionsCase{ "Plain", 0, -1, 32 },
                    OptionsCase{ "ScriptHidden", kRunWait | kRunPumpMessages | kRunHidden, 0, 32 },
                    OptionsCase{ "MaximisedWinsOverMinimised", kRunMaximized | kRunMinimized, 3, 32 },
                    OptionsCase{ "MaximisedWinsOverHidden", kRunMaximized | kRunHidden, 3, 32 },
                    OptionsCase{ "MinimisedWinsOverHidden", kRunMinimized | kRunHidden, 6, 32 },
                    OptionsCase{ "Idle", kRunIdlePriority, -1, 64 },
                    OptionsCase{ "HighWinsOverIdle", kRunIdlePriority | kRunHighPriority, -1, 128 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StartFailure, NamesTheCommandLine)
{
    EXPECT_STREQ(StartFailureText("nosuch.exe /x").Text(), "Unable to create process:\r\nnosuch.exe /x");
}

} // namespace
