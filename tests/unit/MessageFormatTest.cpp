#include "install/MessageFormat.h"
#include <gtest/gtest.h>
#include <string>

namespace {

struct FillCase {
    const char* name;
    const char* format;
    const char* expected;
};

class FillPlaceholdersIn : public testing::TestWithParam<FillCase> {};

// The values of the disk-space question: space needed, drive, space free.
TEST_P(FillPlaceholdersIn, PackageMessage)
{
    const char* values[] = { "1.2 MB", "C", "800 KB" };
    String text = FillPlaceholders(String(GetParam().format), values, 3);
    EXPECT_STREQ(text.Text(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(, FillPlaceholdersIn,
    testing::Values(
        FillCase{ "InOrder", "Need %s on %c:, %s free.", "Need 1.2 MB on C:, 800 KB free." },
        FillCase{ "AnyConversionTakesTheNext", "%d|%u|%c", "1.2 MB|C|800 KB" },
        FillCase{ "PercentSign", "100%% sure: %s", "100% sure: 1.2 MB" },
        FillCase{ "BeyondTheValuesTakesNothing", "%s %s %s %s %s", "1.2 MB C 800 KB  " },
        FillCase{ "OtherConversionsStay", "%x %n %08X %", "%x %n %08X %" },
        FillCase{ "NoPlaceholders", "Plain text", "Plain text" }),
    [](const auto& info) { return std::string(info.param.name); });

}
