#include "core/IntegerStepper.h"
#include "core/NumberWords.h"
#include "core/Random.h"
#include <gtest/gtest.h>
#include <cmath>
#include <string>
#include <vector>

namespace {

struct WordsCase {
    const char* name;
    double value;
    int style;
    const char* expected;
};

class NumberWordsStyles : public testing::TestWithParam<WordsCase> {};

TEST_P(NumberWordsStyles, Spell)
{
    EXPECT_STREQ(NumberWords(GetParam().value, GetParam().style).Text(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(, NumberWordsStyles,
    testing::Values(
        WordsCase{ "Zero", 0, 0, "Zero" },
        WordsCase{ "Teen", 15, 0, "Fifteen" },
        WordsCase{ "RoundTens", 40, 0, "Forty" },
        WordsCase{ "TensAndUnitsWithSpace", 21, 0, "Twenty One" },
        WordsCase{ "NoAndAfterHundred", 105, 0, "One Hundred Five" },
        WordsCase{ "OneMillion", 1000000, 0, "One Million" },
        WordsCase{ "AllScales", 1234567, 0, "One Million Two Hundred Thirty Four Thousand Five Hundred Sixty Seven" },
        WordsCase{ "ThousandMillions", 2000000000.0, 0, "Two Thousand Million" },
        WordsCase{ "MillionAndUnits", 1000005, 0, "One Million Five" },
        WordsCase{ "Negative", -7, 0, "Negative Seven" },
        WordsCase{ "PlainDropsFraction", 2.75, 0, "Two" },
        WordsCase{ "ChequeWhole", 12, 1, "Twelve and No/100" },
        WordsCase{ "ChequeCents", 12.34, 1, "Twelve and 34/100" },
        WordsCase{ "ChequeAfterHundred", 100.5, 1, "One Hundred and 50/100" },
        WordsCase{ "ChequeAfterMillion", 1000000, 1, "One Million and No/100" },
        WordsCase{ "EighthsThreeFourths", 3.75, 2, "Three and Three Fourths" },
        WordsCase{ "EighthsOneEighth", 0.125, 2, "Zero and One Eighth" },
        WordsCase{ "EighthsSevenEighths", 9.875, 2, "Nine and Seven Eighths" },
        WordsCase{ "EighthsOtherFraction", 3.3, 2, "Three and 300/1000" },
        WordsCase{ "EighthsWhole", 3, 2, "Three" },
        WordsCase{ "YearTwoHalves", 1999, 3, "Nineteen Ninety Nine" },
        WordsCase{ "YearEleventhCentury", 1066, 3, "Ten Sixty Six" },
        WordsCase{ "YearOh", 1905, 3, "Nineteen Oh Five" },
        WordsCase{ "YearTwentyTen", 2010, 3, "Twenty Ten" },
        WordsCase{ "YearEarlyInMillennium", 2001, 3, "Two Thousand One" },
        WordsCase{ "YearTwoThousand", 2000, 3, "Two Thousand" },
        WordsCase{ "YearWholeHundred", 1900, 3, "Nineteen Hundred" },
        WordsCase{ "YearTwoDigits", 99, 3, "Ninety Nine" },
        WordsCase{ "YearHundredIsPlain", 100, 3, "One Hundred" },
        WordsCase{ "YearTenThousandIsPlain", 10000, 3, "Ten Thousand" },
        WordsCase{ "DecimalWhole", 5, -1, "Five Point Zero" },
        WordsCase{ "DecimalHalf", 2.5, -1, "Two Point Five" },
        WordsCase{ "DecimalThreeDigits", 0.125, -1, "Zero Point One Two Five" },
        WordsCase{ "DecimalInnerZero", 1.05, -1, "One Point Zero Five" },
        WordsCase{ "NotANumberIsEmpty", NAN, 0, "" },
        WordsCase{ "InfinityIsEmpty", INFINITY, 0, "" },
        WordsCase{ "HugeValueStillWords", 1e15, 0, "One Thousand Million Million" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NumberWordsLimits, LargestDoublesAreSpelledOnce)
{
    // Beyond 2^53 the rests of the scale steps are inexact; each must be spelled once.
    String words = NumberWords(1e300, -1);
    EXPECT_GT(words.Length(), 100);
    EXPECT_LT(words.Length(), 20000);
    EXPECT_TRUE(words.RemoveSuffix(" Point Zero"));
    EXPECT_GT(NumberWords(-1.7976931348623157e308, 1).Length(), 0);
}

struct OrdinalCase {
    const char* name;
    int32_t n;
    const char* words;
    const char* digits;
};

class Ordinals : public testing::TestWithParam<OrdinalCase> {};

TEST_P(Ordinals, WordsAndSuffix)
{
    EXPECT_STREQ(OrdinalWords(GetParam().n).Text(), GetParam().words);
    EXPECT_STREQ(OrdinalSuffix(GetParam().n).Text(), GetParam().digits);
}

INSTANTIATE_TEST_SUITE_P(, Ordinals,
    testing::Values(OrdinalCase{ "Zero", 0, "Zeroth", "0th" },
                    OrdinalCase{ "First", 1, "First", "1st" },
                    OrdinalCase{ "Second", 2, "Second", "2nd" },
                    OrdinalCase{ "Third", 3, "Third", "3rd" },
                    OrdinalCase{ "Fifth", 5, "Fifth", "5th" },
                    OrdinalCase{ "Tenth", 10, "Tenth", "10th" },
                    OrdinalCase{ "Eleventh", 11, "Eleventh", "11th" },
                    OrdinalCase{ "Twelfth", 12, "Twelfth", "12th" },
                    OrdinalCase{ "Thirteenth", 13, "Thirteenth", "13th" },
                    OrdinalCase{ "Twentieth", 20, "Twentieth", "20th" },
                    OrdinalCase{ "TwentyFirst", 21, "Twenty First", "21st" },
                    OrdinalCase{ "TwentySecond", 22, "Twenty Second", "22nd" },
                    OrdinalCase{ "Thirtieth", 30, "Thirtieth", "30th" },
                    OrdinalCase{ "Hundredth", 100, "One Hundredth", "100th" },
                    OrdinalCase{ "HundredFirst", 101, "One Hundred First", "101st" },
                    OrdinalCase{ "HundredEleventh", 111, "One Hundred Eleventh", "111th" },
                    OrdinalCase{ "HundredTwelfth", 112, "One Hundred Twelfth", "112th" },
                    OrdinalCase{ "HundredThird", 103, "One Hundred Third", "103rd" },
                    OrdinalCase{ "HundredFortieth", 340, "Three Hundred Fortieth", "340th" },
                    OrdinalCase{ "Thousandth", 2000, "Two Thousandth", "2000th" },
                    OrdinalCase{ "NegativeSecond", -2, "Negative Second", "-2th" },
                    OrdinalCase{ "Smallest", INT32_MIN, "Negative Two Thousand One Hundred Forty Seven Million Four "
                                                        "Hundred Eighty Three Thousand Six Hundred Forty Eighth",
                                 "-2147483648th" }),
    [](const auto& info) { return std::string(info.param.name); });

struct SizeCase {
    const char* name;
    int64_t size;
    const char* expected;
};

class SizeTexts : public testing::TestWithParam<SizeCase> {};

TEST_P(SizeTexts, Boundaries)
{
    EXPECT_STREQ(SizeText(GetParam().size).Text(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(, SizeTexts,
    testing::Values(SizeCase{ "Zero", 0, "0 bytes" },
                    SizeCase{ "LastBytes", 1023, "1023 bytes" },
                    SizeCase{ "FirstKB", 1024, "1.00 KB" },
                    SizeCase{ "LastKBRoundsUp", 1048575, "1024.00 KB" },
                    SizeCase{ "FirstMB", 1048576, "1.00 MB" },
                    SizeCase{ "MBAndAHalf", 1572864, "1.50 MB" },
                    SizeCase{ "LastMB", 1073741823, "1024.00 MB" },
                    SizeCase{ "FirstGB", 1073741824, "1.00 GB" },
                    SizeCase{ "FiveGB", 5368709120LL, "5.00 GB" },
                    SizeCase{ "LastGB", 1099511627775LL, "1024.00 GB" },
                    SizeCase{ "FirstTB", 1099511627776LL, "1.00 TB" },
                    SizeCase{ "Negative", -5, "-5 bytes" },
                    SizeCase{ "LargeNegative", -5000000000LL, "-5000000000 bytes" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NumberText, TrimmedAndFixed)
{
    EXPECT_STREQ(NumberText(2.5, -1).Text(), "2.5");
    EXPECT_STREQ(NumberText(2, -1).Text(), "2");
    EXPECT_STREQ(NumberText(-0.125, -1).Text(), "-0.125");
    EXPECT_STREQ(NumberText(100, -1).Text(), "100"); // zeros before the point stay
    EXPECT_STREQ(NumberText(1e-7, -1).Text(), "0");
    EXPECT_STREQ(NumberText(2.5, 2).Text(), "2.50");
    EXPECT_STREQ(NumberText(2.5, 0).Text(), "2");
    EXPECT_EQ(NumberText(1e300, 2).Length(), 304); // 301 digits fit the scratch buffer
}

TEST(Rounding, HalvesAwayFromZero)
{
    EXPECT_EQ(RoundToInt64(2.5), 3);
    EXPECT_EQ(RoundToInt64(2.4999), 2);
    EXPECT_EQ(RoundToInt64(-2.5), -3);
    EXPECT_EQ(RoundToInt64(-2.4999), -2);
    EXPECT_EQ(RoundToInt64(1e30), INT64_MAX);
    EXPECT_EQ(RoundToInt64(-1e30), INT64_MIN);
    EXPECT_EQ(RoundToInt64(NAN), 0);

    EXPECT_EQ(RoundUpToMultiple(5000, 4096), 8192);
    EXPECT_EQ(RoundUpToMultiple(8192, 4096), 8192);
    EXPECT_EQ(RoundUpToMultiple(0, 4096), 0);
    EXPECT_EQ(RoundUpToMultiple(7, 1), 7);
    EXPECT_EQ(RoundUpToMultiple(7, -4), 7);
    EXPECT_EQ(RoundUpToMultiple(-3, 4), 0);
}

struct StepperCase {
    const char* name;
    int32_t total;
    int32_t steps;
    std::vector<int32_t> expected;
};

class IntegerSteps : public testing::TestWithParam<StepperCase> {};

TEST_P(IntegerSteps, SpreadExactly)
{
    const StepperCase& c = GetParam();
    IntegerStepper stepper(c.total, c.steps);
    std::vector<int32_t> got;
    int64_t sum = 0;
    for (size_t i = 0; i < c.expected.size(); ++i) {
        got.push_back(stepper.Next());
        sum += got.back();
    }
    EXPECT_EQ(got, c.expected);
    // A negative divisor negates the total along with itself.
    EXPECT_EQ(sum, c.steps < 0 ? -static_cast<int64_t>(c.total) : c.total);
}

INSTANTIATE_TEST_SUITE_P(, IntegerSteps,
    testing::Values(StepperCase{ "Positive", 10, 4, { 2, 3, 2, 3 } },
                    StepperCase{ "NegativeTotal", -10, 4, { -2, -3, -2, -3 } },
                    StepperCase{ "NegativeSteps", 3, -3, { -1, -1, -1 } },
                    StepperCase{ "BothNegative", -3, -3, { 1, 1, 1 } },
                    StepperCase{ "FewerThanSteps", 2, 5, { 0, 0, 1, 0, 1 } },
                    StepperCase{ "ZeroTotal", 0, 3, { 0, 0, 0 } },
                    StepperCase{ "ColourSpan", 255, 7, { 36, 36, 37, 36, 37, 36, 37 } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IntegerStepper, LargeStepsDoNotOverflow)
{
    // The running remainder reaches nearly twice the divisor on the way.
    IntegerStepper stepper(2147483646, 2147483647);
    int64_t sum = 0;
    for (int i = 0; i < 1000; ++i)
        sum += stepper.Next();
    EXPECT_EQ(sum, 1000 - 1); // every step is 1 except the first
}

TEST(IntegerStepperDeathTest, ZeroStepsIsFatal)
{
    EXPECT_EXIT(IntegerStepper(5, 0), testing::ExitedWithCode(1),
                "FATAL ERROR\nInternal Fatal Error\r\nModule: Core\r\nLine: 13391");
}

TEST(RandomDeathTest, FixedSeedSequence)
{
    // A freshly started process (not a fork of this one, whose seed has moved on): the
    // seed starts at 1 on every run.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            bool ok = Random15() == 41 && Random15() == 18467;
            std::_Exit(ok ? 3 : 4);
        },
        testing::ExitedWithCode(3), "");
}

TEST(Random, RangesHold)
{
    for (int i = 0; i < 1000; ++i) {
        int32_t r15 = Random15();
        ASSERT_GE(r15, 0);
        ASSERT_LE(r15, 32767);
        ASSERT_GE(Random32(), 0);
        int32_t below = RandomBelow(7);
        ASSERT_GE(below, 0);
        ASSERT_LT(below, 7);
    }
    EXPECT_EQ(RandomBelow(1), 0);
    EXPECT_EQ(RandomBelow(-5), 0);
}

}
