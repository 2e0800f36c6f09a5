#include "core/String.h"
#include <gtest/gtest.h>
#include <string>

namespace {

constexpr int32_t kEnd = String::kToEnd;

struct FindCase {
    const char* name;
    const char* text;
    const char* pattern;
    int32_t start;
    int32_t options;
    int32_t expected;
};

class StringFind : public testing::TestWithParam<FindCase> {};

TEST_P(StringFind, Position)
{
    const FindCase& c = GetParam();
    EXPECT_EQ(String(c.text).Find(c.pattern, kEnd, c.start, c.options), c.expected);
}

INSTANTIATE_TEST_SUITE_P(, StringFind,
    testing::Values(
        FindCase{ "Forward", "abcb", "b", 0, 0, 1 },
        FindCase{ "ForwardFromStart", "abcb", "b", 2, 0, 3 },
        FindCase{ "NegativeStartIsZero", "abcb", "a", -9, 0, 0 },
        FindCase{ "NotFound", "abcb", "x", 0, 0, -1 },
        FindCase{ "PatternLongerThanText", "ab", "abc", 0, 0, -1 },
        FindCase{ "EmptyPattern", "ab", "", 0, 0, -1 },
        FindCase{ "EmptyText", "", "a", 0, 0, -1 },
        FindCase{ "BackwardFromEnd", "abcb", "b", kEnd, 0x20, 3 },
        FindCase{ "BackwardStartIsAfterCandidate", "abcb", "b", 3, 0x20, 1 },
        FindCase{ "BackwardFromZero", "abcb", "a", 0, 0x20, -1 },
        FindCase{ "EndOfMatch", "abcb", "bc", 0, 0x2000, 3 },
        FindCase{ "CaseSensitiveByDefault", "ABC", "b", 0, 0, -1 },
        FindCase{ "IgnoreCase", "ABC", "b", 0, 0x01, 1 },
        FindCase{ "WholeWordNotInsideWord", "concat cats", "cat", 0, 0x02, -1 },
        FindCase{ "WholeWordBetweenPunctuation", "a cat.", "cat", 0, 0x02, 2 },
        FindCase{ "WholeWordAtStart", "cat food", "cat", 0, 0x02, 0 },
        FindCase{ "WholeWordAtEnd", "my cat", "cat", 0, 0x02, 3 },
        FindCase{ "WholeWordUnderscoreIsWordChar", "_cat cat", "cat", 0, 0x02, 5 },
        FindCase{ "Wildcard", "abc adc", "a?c", 1, 0x04, 4 },
        FindCase{ "QuestionMarkLiteralWithoutOption", "abc a?c", "a?c", 0, 0, 4 },
        FindCase{ "SkipQuoted", "say \"x\" x", "x", 0, 0x10, 8 },
        FindCase{ "QuotedFoundWithoutOption", "say \"x\" x", "x", 0, 0, 5 },
        FindCase{ "SkipQuotedBackward", "x \"x\" y", "x", kEnd, 0x30, 0 },
        FindCase{ "SkipQuotedBackwardClosingQuoteAtEnd", "x \"ab\"", "ab", kEnd, 0x30, -1 },
        FindCase{ "SkipQuotedUnclosed", "\"x x", "x", 0, 0x10, -1 },
        FindCase{ "SkipQuotedWildcardCannotReachIn", "a\"c\" ac", "a?c", 0, 0x14, -1 },
        FindCase{ "SetMatchesAnyByte", "hello, world", ",;", 0, 0x4000, 5 },
        FindCase{ "SetIgnoringCase", "xyZ", "z", 0, 0x4001, 2 },
        FindCase{ "SetBackward", "a;b,c", ",;", kEnd, 0x4020, 3 },
        FindCase{ "SetEndOfMatch", "a;b", ";", 0, 0x6000, 2 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StringFindChar, ForwardAndReverse)
{
    String s("a\"b\"ab");
    EXPECT_EQ(s.FindChar('b'), 2);
    EXPECT_EQ(s.FindChar('b', 0, 0x10), 5);
    EXPECT_EQ(s.FindChar('A', 0, 0x01), 0);
    EXPECT_EQ(s.FindChar('b', 6), -1);
    EXPECT_EQ(s.FindCharReverse('a'), 4);
    EXPECT_EQ(s.FindCharReverse('a', 3), 0); // start itself is a candidate
    EXPECT_EQ(s.FindCharReverse('b', 2), 2);
    EXPECT_EQ(s.FindCharReverse('b', -1), -1);
    EXPECT_EQ(String("b\"b\"").FindCharReverse('b', kEnd, 0x10), 0);
    EXPECT_EQ(String().FindCharReverse('b'), -1);
}

TEST(StringFindSets, FirstOfAndNotOf)
{
    String s("  x1,y");
    EXPECT_EQ(s.FindFirstOf(",y"), 4);
    EXPECT_EQ(s.FindFirstOf(",y", 5), 5);
    EXPECT_EQ(s.FindFirstOf(""), -1);
    EXPECT_EQ(s.FindFirstOf(nullptr), -1);
    EXPECT_EQ(s.FindFirstOf("x", 6), -1);
    EXPECT_EQ(s.FindFirstNotOf(" "), 2);
    EXPECT_EQ(s.FindFirstNotOf(" x1,y"), -1);
    EXPECT_EQ(s.FindFirstNotOf(nullptr), -1);
    EXPECT_EQ(s.FindNumberStart(), 3);
    EXPECT_EQ(String("a.5").FindNumberStart(), 1);
    EXPECT_EQ(String("abc").FindNumberStart(), -1);
}

struct LineEndCase {
    const char* name;
    const char* text;
    int32_t start;
    int32_t options;
    int32_t expected;
};

class StringFindLineEnd : public testing::TestWithParam<LineEndCase> {};

TEST_P(StringFindLineEnd, Position)
{
    const LineEndCase& c = GetParam();
    EXPECT_EQ(String(c.text).FindLineEnd(c.start, c.options), c.expected);
}

INSTANTIATE_TEST_SUITE_P(, StringFindLineEnd,
    testing::Values(LineEndCase{ "AfterLf", "ab\ncd", 0, 0, 3 },
                    LineEndCase{ "AfterCrLfPair", "ab\r\ncd", 0, 0, 4 },
                    LineEndCase{ "AfterLfCrPair", "ab\n\rcd", 0, 0, 4 },
                    LineEndCase{ "TwoLfAreTwoBreaks", "ab\n\ncd", 0, 0, 3 },
                    LineEndCase{ "BreakPosition", "ab\r\ncd", 0, 0x40, 2 },
                    LineEndCase{ "NoBreak", "abcd", 0, 0, -1 },
                    LineEndCase{ "NoBreakGivesLength", "abcd", 0, 0x80, 4 },
                    LineEndCase{ "StartOutside", "ab\n", 3, 0, -1 },
                    LineEndCase{ "StartNegative", "ab\n", -1, 0x80, 3 },
                    LineEndCase{ "QuotedBreakSkipped", "a\"\n\"b\nc", 0, 0x10, 6 },
                    LineEndCase{ "UnclosedQuote", "a\"\nb", 0, 0x10, -1 }),
    [](const auto& info) { return std::string(info.param.name); });

struct ReplaceCase {
    const char* name;
    const char* text;
    const char* find;
    const char* replacement;
    int32_t options;
    int32_t start;
    int32_t maximum;
    int32_t skip;
    const char* expectedText;
    int32_t expectedResult;
};

class StringReplace : public testing::TestWithParam<ReplaceCase> {};

TEST_P(StringReplace, TextAndResult)
{
    const ReplaceCase& c = GetParam();
    String s(c.text);
    EXPECT_EQ(s.Replace(c.find, c.replacement, c.options, c.start, c.maximum, c.skip), c.expectedResult);
    EXPECT_STREQ(s.Text(), c.expectedText);
    EXPECT_EQ(s.Length(), static_cast<int32_t>(strlen(c.expectedText)));
}

INSTANTIATE_TEST_SUITE_P(, StringReplace,
    testing::Values(
        ReplaceCase{ "ShorterNoOverlap", "aaaa", "aa", "b", 0, 0, kEnd, 0, "bb", 2 },
        ReplaceCase{ "ShorterOddCount", "aaa", "aa", "b", 0, 0, kEnd, 0, "ba", 1 },
        ReplaceCase{ "LongerWithSkip", "x-x-x", "x", "yy", 0, 0, kEnd, 1, "x-yy-yy", 3 },
        ReplaceCase{ "SameLength", "a-b-a", "a", "c", 0, 0, kEnd, 0, "c-b-c", 2 },
        ReplaceCase{ "Deletion", "a,b,,c", ",", "", 0, 0, kEnd, 0, "abc", 3 },
        ReplaceCase{ "ReplacementNotSearchedAgain", "ab", "a", "aa", 0, 0, kEnd, 0, "aab", 1 },
        ReplaceCase{ "Maximum", "xxxx", "x", "yy", 0, 0, 2, 0, "yyyyxx", 2 },
        ReplaceCase{ "MaximumSameLength", "xxxx", "x", "y", 0, 0, 3, 0, "yyyx", 3 },
        ReplaceCase{ "StartPosition", "x-x-x", "x", "yy", 0, 1, kEnd, 0, "x-yy-yy", 2 },
        ReplaceCase{ "IgnoreCasePlaceholder", "Use <PRODUCT> or <product>.", "<product>", "Quox", 0x01, 0, kEnd,
                     0, "Use Quox or Quox.", 2 },
        ReplaceCase{ "WholeWord", "cat concat cat", "cat", "dog", 0x02, 0, kEnd, 0, "dog concat dog", 2 },
        ReplaceCase{ "SkipQuoted", "a \"a\" a", "a", "bb", 0x10, 0, kEnd, 0, "bb \"a\" bb", 2 },
        ReplaceCase{ "BackwardBitIgnored", "a-a", "a", "bb", 0x20, 0, kEnd, 0, "bb-bb", 2 },
        ReplaceCase{ "WildcardFillsReplacement", "abc adc", "a?c", "<?>", 0x04, 0, kEnd, 0, "<b> <d>", 2 },
        ReplaceCase{ "WildcardSameLength", "abc adc", "a?c", "?-?", 0x04, 0, kEnd, 0, "b-? d-?", 2 },
        ReplaceCase{ "WildcardShorter", "ab1cd ab2cd", "ab?cd", "[?]", 0x04, 0, kEnd, 0, "[1] [2]", 2 },
        ReplaceCase{ "WildcardTwoMarks", "k1=v1;k2=v2", "k?=v?", "?:?", 0x04, 0, kEnd, 0, "1:1;2:2", 2 },
        ReplaceCase{ "WildcardOff", "a?c abc", "a?c", "<?>", 0, 0, kEnd, 0, "<?> abc", 1 },
        ReplaceCase{ "PositionMode", "ab-ab", "b", "xx", 0x08, 0, kEnd, 0, "axx-ab", 1 },
        ReplaceCase{ "PositionModeSameLength", "ab-ab", "b", "x", 0x08, 2, kEnd, 0, "ab-ax", 4 },
        ReplaceCase{ "PositionModeNotFound", "abc", "x", "y", 0x08, 0, kEnd, 0, "abc", -1 },
        ReplaceCase{ "PositionModeOnlySkipped", "x-x", "x", "yy", 0x08, 0, kEnd, 2, "x-x", 2 },
        ReplaceCase{ "OnlySkipped", "x-x", "x", "yy", 0, 0, kEnd, 5, "x-x", 2 },
        ReplaceCase{ "ZeroMaximum", "x", "x", "y", 0, 0, 0, 0, "x", 0 },
        ReplaceCase{ "ZeroMaximumPositionMode", "x", "x", "y", 0x08, 0, 0, 0, "x", -1 },
        ReplaceCase{ "EmptyFind", "x", "", "y", 0, 0, kEnd, 0, "x", 0 },
        ReplaceCase{ "NullFind", "x", nullptr, "y", 0, 0, kEnd, 0, "x", 0 },
        ReplaceCase{ "EverythingDeleted", "aaa", "a", "", 0, 0, kEnd, 0, "", 3 },
        ReplaceCase{ "EmptyText", "", "a", "b", 0, 0, kEnd, 0, "", 0 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StringReplaceMore, BinaryZeroBytesAndOwnBuffer)
{
    String s("a\0b\0c", 5);
    String zero("\0", 1);
    EXPECT_EQ(s.Replace(zero.Text(), 1, "--", 2), 2);
    EXPECT_STREQ(s.Text(), "a--b--c");

    // Replacing with a piece of the string itself.
    String t("ab-ab");
    EXPECT_EQ(t.Replace("b", 1, t.Text() + 2, 3), 2);
    EXPECT_STREQ(t.Text(), "a-ab-a-ab");

    String one("x");
    EXPECT_EQ(one.Replace("x", 'y'), 1);
    EXPECT_STREQ(one.Text(), "y");
    EXPECT_EQ(one.Replace("y", String("zz")), 1);
    EXPECT_STREQ(one.Text(), "zz");
}

TEST(StringReplaceMore, ManyMatchesAgreeWithANaiveLoop)
{
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += (i % 7 == 0) ? "<v>" : "ab";
    for (const char* replacement : { "", "1", "12", "123", "1234567" }) {
        std::string expected;
        for (size_t i = 0; i < text.size();) {
            if (text.compare(i, 3, "<v>") == 0) {
                expected += replacement;
                i += 3;
            } else {
                expected += text[i++];
            }
        }
        String s(text.c_str());
        EXPECT_EQ(s.Replace("<v>", replacement), 286);
        EXPECT_EQ(std::string(s.Text(), static_cast<size_t>(s.Length())), expected) << replacement;
    }
}

TEST(StringRemove, ReplaceCharAndRemoveText)
{
    String s("aAbBa");
    EXPECT_EQ(s.ReplaceChar('a', 'x'), 2);
    EXPECT_STREQ(s.Text(), "xAbBx");
    EXPECT_EQ(s.ReplaceChar('b', 'y', false), 2);
    EXPECT_STREQ(s.Text(), "xAyyx");

    String t("one, two, ONE, one");
    EXPECT_EQ(t.RemoveText("one", 2, false), 2);
    EXPECT_STREQ(t.Text(), ", two, , one");
    EXPECT_EQ(t.RemoveText(", "), 3);
    EXPECT_STREQ(t.Text(), "twoone");
    EXPECT_EQ(t.RemoveText(nullptr), 0);
    EXPECT_EQ(t.RemoveText("x"), 0);
    EXPECT_EQ(t.RemoveText("o", 0), 0);

    // The scan goes on from where the last match was removed, so a match that the
    // removal joins together in front of that place stays.
    String u("aabb");
    EXPECT_EQ(u.RemoveText("ab"), 1);
    EXPECT_STREQ(u.Text(), "ab");
}

TEST(StringRemove, RemoveChar)
{
    String s("a-b-c-d");
    EXPECT_EQ(s.RemoveChar('-', 2), 2);
    EXPECT_STREQ(s.Text(), "a-bcd");
    EXPECT_EQ(s.RemoveChar('-', 0, 1), 0); // only the first byte is scanned
    EXPECT_EQ(s.RemoveChar('-', -4), 1);
    EXPECT_STREQ(s.Text(), "abcd");
    EXPECT_EQ(s.RemoveChar('a', 4), 0);
    EXPECT_EQ(s.RemoveChar('a', 0, 0), 0);
}

struct RemoveCharsCase {
    const char* name;
    const char* text;
    const char* set;
    int32_t start;
    int32_t options;
    const char* expectedText;
    int32_t expectedCount;
};

class StringRemoveChars : public testing::TestWithParam<RemoveCharsCase> {};

TEST_P(StringRemoveChars, TextAndCount)
{
    const RemoveCharsCase& c = GetParam();
    String s(c.text);
    EXPECT_EQ(s.RemoveChars(c.set, c.start, c.options), c.expectedCount);
    EXPECT_STREQ(s.Text(), c.expectedText);
}

INSTANTIATE_TEST_SUITE_P(, StringRemoveChars,
    testing::Values(
        RemoveCharsCase{ "AllFromStart", "a,b;c,", ",;", 0, 0, "abc", 3 },
        RemoveCharsCase{ "FromPosition", "a,b;c,", ",;", 2, 0, "a,bc", 2 },
        RemoveCharsCase{ "IgnoreCase", "aAbB", "a", 0, 0x01, "bB", 2 },
        RemoveCharsCase{ "Once", "a,b,c", ",", 0, 0x08, "ab,c", 1 },
        RemoveCharsCase{ "OnceBackward", "a,b,c", ",", kEnd, 0x28, "a,bc", 1 },
        RemoveCharsCase{ "BackwardFromStart", "a,b,c", ",", 2, 0x20, "ab,c", 1 },
        RemoveCharsCase{ "LeftTrim", " \t x y ", " \t", 0, 0x40, "x y ", 3 },
        RemoveCharsCase{ "RightTrim", " x y \r\n", " \r\n", kEnd, 0x60, " x y", 3 },
        RemoveCharsCase{ "KeepOnlyDigits", "a1b2c3", "0123456789", 0, 0x80, "123", 3 },
        RemoveCharsCase{ "StopAtKeptImmediately", "xab", "a", 0, 0x40, "xab", 0 },
        RemoveCharsCase{ "NullSet", "abc", nullptr, 0, 0, "abc", 0 },
        RemoveCharsCase{ "StartPastEnd", "abc", "c", 3, 0, "abc", 0 },
        RemoveCharsCase{ "BackwardNegativeStart", "abc", "a", -1, 0x20, "abc", 0 }),
    [](const auto& info) { return std::string(info.param.name); });

}
