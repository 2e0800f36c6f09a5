#include "core/String.h"
#include <gtest/gtest.h>

namespace {

struct ParseIntCase {
    const char* name;
    const char* text;
    int32_t options;
    int32_t expected;
    const char* rest; // where the cursor is left
};

class StringParseInt : public testing::TestWithParam<ParseIntCase> {};

TEST_P(StringParseInt, ValueAndCursor)
{
    const ParseIntCase& c = GetParam();
    const char* cursor = c.text;
    EXPECT_EQ(String::ParseInt(&cursor, c.options), c.expected);
    EXPECT_STREQ(cursor, c.rest);
}

INSTANTIATE_TEST_SUITE_P(, StringParseInt,
    testing::Values(
        ParseIntCase{ "SpacesSignCommaAndSpace", "  -42 , 7", 0x1B, -42, "7" },
        ParseIntCase{ "PlainDigitsStopAtLetter", "123abc", 0, 123, "abc" },
        ParseIntCase{ "LeadingSpaceNotSkippedWithout01", " 5", 0, 0, " 5" },
        ParseIntCase{ "LeadingSpaceSkipped", " \t5x", 0x01, 5, "x" },
        ParseIntCase{ "PlusSign", "+8", 0, 8, "" },
        ParseIntCase{ "SignRefusedWith04", "-8", 0x04, 0, "-8" },
        ParseIntCase{ "NoDigitsGiveZero", "x", 0, 0, "x" },
        ParseIntCase{ "NoDigitsGiveNoNumberWith08", "x", 0x08, String::kNoNumber, "x" },
        ParseIntCase{ "SignWithoutDigitsStaysConsumed", "-x", 0x08, String::kNoNumber, "x" },
        ParseIntCase{ "TrailingSpaceOnlyWith02", "7  ,3", 0x02, 7, ",3" },
        ParseIntCase{ "CommaWithoutTrailingSpace", "7, 3", 0x10, 7, " 3" },
        ParseIntCase{ "CommaNotAfterSpaceWithout02", "7 ,3", 0x10, 7, " ,3" },
        ParseIntCase{ "OverflowWrapsAround", "4294967297", 0, 1, "" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StringParseIntNull, NullCursorAndNullTextGiveZero)
{
    EXPECT_EQ(String::ParseInt(static_cast<const char**>(nullptr), 0x08), 0);
    const char* text = nullptr;
    EXPECT_EQ(String::ParseInt(&text, 0x08), 0);
    EXPECT_EQ(String::ParseInt("  12", 0x01), 12);
}

TEST(String, ParseIntAtAdvancesPastTheNumber)
{
    String s("a-12,34");
    int32_t position = 1;
    EXPECT_EQ(s.ParseIntAt(&position), -12);
    EXPECT_EQ(position, 4);
    position = 5;
    EXPECT_EQ(s.ParseIntAt(&position), 34);
    EXPECT_EQ(position, 7);
    EXPECT_EQ(s.ParseIntAt(&position), String::kNoNumber); // at the end
    position = -1;
    EXPECT_EQ(s.ParseIntAt(&position), String::kNoNumber);
    EXPECT_EQ(position, -1);
    EXPECT_EQ(String("77x").ParseIntAt(), 77);
    EXPECT_EQ(String().ParseIntAt(), String::kNoNumber);
}

struct CommaCase {
    const char* name;
    const char* text;
    int64_t expected;
};

class StringIgnoringCommas : public testing::TestWithParam<CommaCase> {};

TEST_P(StringIgnoringCommas, Converts)
{
    String s(GetParam().text);
    EXPECT_EQ(s.ToInt64IgnoringCommas(), GetParam().expected);
    EXPECT_EQ(s.ToIntIgnoringCommas(), static_cast<int32_t>(GetParam().expected));
    EXPECT_STREQ(s.Text(), GetParam().text); // the string itself is left alone
}

INSTANTIATE_TEST_SUITE_P(, StringIgnoringCommas,
    testing::Values(CommaCase{ "GroupedDigits", "Total: 1,234,567 bytes", 1234567 },
                    CommaCase{ "Negative", "was -2,000", -2000 },
                    CommaCase{ "NoNumber", "none here", 0 },
                    CommaCase{ "PointFirstReadsZero", "x .5", 0 },
                    CommaCase{ "StopsAtSpaceAfterComma", "1, 2", 1 },
                    CommaCase{ "Beyond32Bits", "6,000,000,000", 6000000000LL }),
    [](const auto& info) { return std::string(info.param.name); });

struct VersionCase {
    const char* name;
    const char* a;
    const char* b;
    int expected; // the difference that decided
};

class StringCompareVersionText : public testing::TestWithParam<VersionCase> {};

TEST_P(StringCompareVersionText, Orders)
{
    const VersionCase& c = GetParam();
    EXPECT_EQ(String::CompareVersionText(c.a, c.b), c.expected);
}

INSTANTIATE_TEST_SUITE_P(, StringCompareVersionText,
    testing::Values(VersionCase{ "NumericNotTextual", "1.2", "1.10", -8 },
                    VersionCase{ "SuffixLetterDecides", "2.0b", "2.0a", 1 },
                    VersionCase{ "ShorterIsLess", "3", "3.0", -1 },
                    VersionCase{ "LongerIsMore", "3.0", "3", 1 },
                    VersionCase{ "Equal", "4.10.2", "4.10.2", 0 },
                    VersionCase{ "LeadingPointReadsZero", ".5", "0.5", 0 },
                    VersionCase{ "LetterAfterNumberCounts", "4.10.2b", "4.10.2", 'b' },
                    VersionCase{ "OtherBytesIgnored", "#1-2", "1.2", 0 },
                    VersionCase{ "NullIsEmpty", nullptr, "1", -1 },
                    VersionCase{ "BothEmpty", "", "", 0 }),
    [](const auto& info) { return std::string(info.param.name); });

}
