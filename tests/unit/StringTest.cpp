#include "core/String.h"
#include <cstring>
#include <gtest/gtest.h>

namespace {

TEST(String, FreshStringIsReleased)
{
    String s;
    EXPECT_STREQ(s.Text(), "");
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.Capacity(), 0);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(s.First(), 0);
    EXPECT_EQ(s.Last(), 0);
    EXPECT_EQ(s.CharAt(0), 0);
    EXPECT_EQ(s.Buffer(), nullptr);
}

TEST(String, GrowthKeeps32SpareBytes)
{
    // Byte by byte: the 1st append allocates 34 bytes, the 34th reallocates to 67.
    String s;
    int reallocations = 0;
    int32_t capacity = 0;
    for (int i = 1; i <= 40; ++i) {
        s.Append('x');
        if (s.Capacity() != capacity) {
            ++reallocations;
            capacity = s.Capacity();
            if (reallocations == 1) {
                EXPECT_EQ(i, 1);
                EXPECT_EQ(capacity, 34);
            } else {
                EXPECT_EQ(i, 34);
                EXPECT_EQ(capacity, 67);
            }
        }
    }
    EXPECT_EQ(reallocations, 2);
}

struct ShrinkCase {
    const char* name;
    int32_t newLength;
    int32_t expectedCapacity;
};

class StringShrink : public testing::TestWithParam<ShrinkCase> {};

TEST_P(StringShrink, KeepsOrCutsTheBlock)
{
    String s;
    s.SetLength(1000);
    ASSERT_EQ(s.Capacity(), 1033);
    memset(s.Buffer(), 'a', 1000);
    s.SetLength(GetParam().newLength);
    EXPECT_EQ(s.Capacity(), GetParam().expectedCapacity);
    EXPECT_EQ(s.Length(), GetParam().newLength < 1 ? 0 : GetParam().newLength);
    EXPECT_EQ(s.Text()[s.Length()], 0);
}

INSTANTIATE_TEST_SUITE_P(, StringShrink,
    testing::Values(ShrinkCase{ "SlackUnder512Kept", 600, 1033 },
                    ShrinkCase{ "SlackExactly512Kept", 521, 1033 },
                    ShrinkCase{ "SlackOver512Cut", 500, 533 },
                    ShrinkCase{ "ZeroReleases", 0, 0 },
                    ShrinkCase{ "NegativeReleases", -5, 0 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(String, AssignFromOwnBuffer)
{
    String s("hello world");
    s.Assign(s.Text() + 6, 5);
    EXPECT_STREQ(s.Text(), "world");
    EXPECT_EQ(s.Length(), 5);
    EXPECT_EQ(s.Capacity(), 5 + 33);

    String same("abc");
    const char* before = same.Text();
    same.Assign(same.Text(), same.Length());
    EXPECT_EQ(same.Text(), before);
    EXPECT_STREQ(same.Text(), "abc");

    String self("xyz");
    self = self;
    EXPECT_STREQ(self.Text(), "xyz");

    // Inserting a string into itself must not read freed memory when the block moves.
    String grow("0123456789");
    grow.Insert(5, grow);
    EXPECT_STREQ(grow.Text(), "01234012345678956789");
}

TEST(String, EmbeddedZeroBytes)
{
    String a("a\0b", 3);
    String b("a\0b", 3);
    EXPECT_EQ(a.Length(), 3);
    EXPECT_STREQ(a.Text(), "a");
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a == String("a"));
}

struct SpliceCase {
    const char* name;
    const char* start;
    int32_t position;
    int32_t deleteCount;
    const char* bytes;
    int32_t count;
    bool result;
    const char* expected;
};

class StringSplice : public testing::TestWithParam<SpliceCase> {};

TEST_P(StringSplice, Bounds)
{
    const SpliceCase& c = GetParam();
    String s(c.start);
    EXPECT_EQ(s.Splice(c.position, c.deleteCount, c.bytes, c.count), c.result);
    EXPECT_STREQ(s.Text(), c.expected);
    EXPECT_EQ(s.Length(), static_cast<int32_t>(strlen(c.expected)));
}

INSTANTIATE_TEST_SUITE_P(, StringSplice,
    testing::Values(SpliceCase{ "InsertNothingRefused", "hello", 2, 0, "", 0, false, "hello" },
                    SpliceCase{ "DeleteNothingRefused", "hello", 2, 0, nullptr, 0, false, "hello" },
                    SpliceCase{ "DeletePastEndLimited", "hello", 3, 100, nullptr, 0, true, "hel" },
                    SpliceCase{ "NegativePositionRefused", "hello", -1, 1, "x", 1, false, "hello" },
                    SpliceCase{ "PositionPastEndRefused", "hello", 6, 0, "x", 1, false, "hello" },
                    SpliceCase{ "AppendAtEnd", "hello", 5, 0, "!", 1, true, "hello!" },
                    SpliceCase{ "ReplaceShorter", "hello", 1, 3, "E", 1, true, "hEo" },
                    SpliceCase{ "ReplaceLonger", "hello", 1, 1, "EEE", 3, true, "hEEEllo" },
                    SpliceCase{ "ReplaceEqual", "hello", 0, 2, "HE", 2, true, "HEllo" },
                    SpliceCase{ "NegativeCountWithDeleteRefused", "hello", 1, 1, "x", -1, false, "hello" },
                    SpliceCase{ "NullBytesDeleteOnly", "hello", 0, 2, nullptr, 5, true, "llo" },
                    SpliceCase{ "ReplaceTailToEmpty", "hello", 0, 5, nullptr, 0, true, "" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(String, EditingEdges)
{
    String s("hello");
    EXPECT_FALSE(s.Insert(2, "", 0));
    EXPECT_FALSE(s.Delete(2, 0));
    EXPECT_TRUE(s.InsertChars('-', 2, 3));
    EXPECT_STREQ(s.Text(), "he---llo");
    EXPECT_FALSE(s.InsertChars('-', 9, 1));
    EXPECT_TRUE(s.Truncate(2));
    EXPECT_STREQ(s.Text(), "he");
    EXPECT_FALSE(s.PrependCharOnce('h'));
    EXPECT_TRUE(s.PrependCharOnce('\\'));
    s.Quote();
    EXPECT_STREQ(s.Text(), "\"\\he\"");
    EXPECT_EQ(s.PopFirst(), '"');
    EXPECT_EQ(String("x") + 'y' + "z" + String("w"), String("xyzw"));
    EXPECT_EQ("a" + String("b"), String("ab"));
}

struct CompareCase {
    const char* name;
    const char* left;
    const char* right;
    bool caseSensitive;
    int32_t maximum;
    int expectedSign;
};

class StringCompare : public testing::TestWithParam<CompareCase> {};

static int Sign(int value)
{
    return (value > 0) - (value < 0);
}

TEST_P(StringCompare, Text)
{
    const CompareCase& c = GetParam();
    String left(c.left);
    EXPECT_EQ(Sign(left.Compare(c.right, c.caseSensitive, c.maximum)), c.expectedSign);
}

INSTANTIATE_TEST_SUITE_P(, StringCompare,
    testing::Values(CompareCase{ "EmptyAgainstEmpty", "", "", true, String::kToEnd, 0 },
                    CompareCase{ "NonEmptyAgainstEmpty", "x", "", true, String::kToEnd, 1 },
                    CompareCase{ "NonEmptyAgainstNull", "x", nullptr, true, String::kToEnd, 1 },
                    CompareCase{ "ReleasedAgainstText", "", "a", true, String::kToEnd, -1 },
                    CompareCase{ "IgnoringCaseEqual", "abc", "ABC", false, String::kToEnd, 0 },
                    CompareCase{ "CaseSensitiveDiffers", "abc", "ABC", true, String::kToEnd, 1 },
                    CompareCase{ "LongerAfterPrefix", "abc", "ab", true, String::kToEnd, 1 },
                    CompareCase{ "PrefixBeforeLonger", "ab", "abc", true, String::kToEnd, -1 },
                    CompareCase{ "MaximumLimitsTheCount", "abcd", "abXY", true, 2, 0 },
                    CompareCase{ "ZeroMaximumIsMinusOne", "abc", "abc", true, 0, -1 },
                    CompareCase{ "LettersFoldToLowerCase", "_", "A", false, String::kToEnd, -1 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(String, CompareStringHasNoEmptyTextRule)
{
    EXPECT_EQ(String().Compare(String()), -1);
    EXPECT_EQ(String("x").Compare(String()), 1);
    EXPECT_EQ(String("abc").Compare(String("ABC"), false), 0);
}

TEST(String, PrefixAndSuffix)
{
    String s("Hello.txt");
    EXPECT_TRUE(s.StartsWith("Hel"));
    EXPECT_FALSE(s.StartsWith("hel"));
    EXPECT_FALSE(s.StartsWith(""));
    EXPECT_TRUE(s.StartsWith("Help", 3));
    EXPECT_FALSE(s.RemovePrefix("Hello.txt!"));
    EXPECT_TRUE(s.RemovePrefix("hELLO"));
    EXPECT_STREQ(s.Text(), ".txt");
    EXPECT_FALSE(s.RemoveSuffix(".TXT", 0));
    EXPECT_TRUE(s.RemoveSuffix("x.TXT", 4));
    EXPECT_STREQ(s.Text(), "");

    String q("\"a\"");
    EXPECT_TRUE(q.Unwrap('"'));
    EXPECT_STREQ(q.Text(), "a");
    String one("\"");
    EXPECT_FALSE(one.Unwrap('"'));

    String r("abcdef");
    EXPECT_EQ(r.RemoveFirst(-1), 0);
    EXPECT_EQ(r.RemoveBothEnds(2), 4);
    EXPECT_STREQ(r.Text(), "cd");
    EXPECT_EQ(r.RemoveLast(10), 2);
    EXPECT_TRUE(r.IsEmpty());
}

TEST(String, Trimming)
{
    String s(" \t\"quoted text\" \r\n");
    s.TrimUnquote();
    EXPECT_STREQ(s.Text(), "quoted text");
    String t("path\\\\\\");
    EXPECT_EQ(t.TrimRightChar('\\'), 3);
    EXPECT_STREQ(t.Text(), "path");
    String u("xxabcxx");
    EXPECT_EQ(u.TrimLeft("x"), 2);
    EXPECT_EQ(u.TrimRight("xc"), 3);
    EXPECT_STREQ(u.Text(), "ab");
    String v("\v x \f");
    EXPECT_EQ(v.Trim(), 0); // vertical tab and form feed are not white space here
    String w("mIxEd 123 äÖ");
    w.ToUpper();
    EXPECT_STREQ(w.Text(), "MIXED 123 äÖ");
}

TEST(String, Numbers)
{
    EXPECT_STREQ(String(int64_t(0)).Text(), "0");
    EXPECT_STREQ(String(int64_t(-42)).Text(), "-42");
    EXPECT_STREQ(String(INT64_MIN).Text(), "-9223372036854775808");
    EXPECT_EQ(String::ToInt64("+17x"), 17);
    EXPECT_EQ(String::ToInt64("-9"), -9);
    EXPECT_EQ(String::ToInt64("x9"), 0);
    EXPECT_EQ(String::ToInt64(nullptr), 0);

    String f;
    EXPECT_EQ(f.Format("%d-%s", 7, "x"), 3);
    EXPECT_EQ(f.AppendFormat("%08X", 0xB2D05E00u), 8);
    EXPECT_STREQ(f.Text(), "7-xB2D05E00");
}

TEST(String, ByteAccess)
{
    String s("\x01\x02\x03\x04\x05", 5);
    EXPECT_EQ(s.GetInt32At(0), 0x04030201);
    EXPECT_EQ(s.GetInt32At(1), 0x05040302);
    EXPECT_EQ(s.GetInt32At(2), -1);
    EXPECT_EQ(s.GetUInt16At(3), 0x0504);
    EXPECT_EQ(s.GetUInt16At(4), 0xFFFF);
    EXPECT_FALSE(s.SetInt32At(2, 7));
    EXPECT_TRUE(s.SetInt16At(3, -2));
    EXPECT_EQ(s.GetUInt16At(3), 0xFFFE);
}

TEST(String, Ownership)
{
    String s("abc");
    char* block = s.Detach();
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(s.Buffer(), nullptr);
    String t;
    t.Adopt(block, 2);
    EXPECT_STREQ(t.Text(), "ab");
    EXPECT_EQ(t.Capacity(), 3);
    t.Adopt(nullptr, 5);
    EXPECT_TRUE(t.IsEmpty());

    String m("abcdef");
    EXPECT_FALSE(m.EnsureLength(3)); // fits: no reallocation, length unchanged
    EXPECT_EQ(m.Length(), 6);
    EXPECT_TRUE(m.EnsureLength(100));
    EXPECT_EQ(m.Length(), 100);
    EXPECT_EQ(m.TryExtend(-1), nullptr);
    char* end = m.Extend(2);
    EXPECT_EQ(end, m.Buffer() + 100);

    String a;
    EXPECT_TRUE(a.AssignBytes("xy", 2));
    EXPECT_STREQ(a.Text(), "xy");
    a.AssignMax("abcdef", 3);
    EXPECT_STREQ(a.Text(), "abc");
    a.RecountLength();
    EXPECT_EQ(a.Length(), 3);
}

struct TruthCase {
    const char* name;
    const char* text;
    bool expected;
};

class StringIsTrue : public testing::TestWithParam<TruthCase> {};

TEST_P(StringIsTrue, Words)
{
    EXPECT_EQ(String::IsTrue(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(, StringIsTrue,
    testing::Values(TruthCase{ "Empty", "", false }, TruthCase{ "Blank", " \t", false },
                    TruthCase{ "Zero", "0", false }, TruthCase{ "PaddedNo", " No ", false },
                    TruthCase{ "N", "n", false }, TruthCase{ "F", "F", false },
                    TruthCase{ "FalseMixedCase", "fAlSe", false }, TruthCase{ "Yes", "yes", true },
                    TruthCase{ "One", "1", true }, TruthCase{ "Nonsense", "nonsense", true },
                    TruthCase{ "DoubleZero", "00", true }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StringHelpers, PlainTexts)
{
    EXPECT_EQ(SafeLength(nullptr), 0);
    EXPECT_EQ(LastCharOf("ab"), 'b');
    EXPECT_EQ(LastCharOf(""), 0);
    EXPECT_TRUE(IsBlank(nullptr));
    EXPECT_TRUE(IsBlank(" \r\n\t"));
    EXPECT_FALSE(IsBlank(" x"));
    char text[] = "a;b";
    EXPECT_TRUE(TruncateAtChar(text, ';'));
    EXPECT_STREQ(text, "a");
    EXPECT_FALSE(TruncateAtChar(text, ';'));
    EXPECT_TRUE(ContainsAnyOf("a b", " \t"));
    EXPECT_FALSE(ContainsAnyOf("ab", nullptr));
    EXPECT_FALSE(IsSpace('\v'));
    EXPECT_TRUE(IsWordChar('_'));
    EXPECT_EQ(ToLowerChar('['), '[');
}

TEST(StringDeathTest, AtOutOfRangeIsFatal)
{
    String s("abc");
    EXPECT_EXIT(s.At(3), testing::ExitedWithCode(1), "FATAL ERROR\nInternal Fatal Error\r\nModule: Core\r\nLine: 8062");
    EXPECT_EXIT(s.At(-1), testing::ExitedWithCode(1), "Line: 8062");
}

} // namespace
