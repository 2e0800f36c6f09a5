#include "core/String.h"
#include "core/Vector.h"
#include <gtest/gtest.h>
#include <string>

namespace {

// Tokens joined with "|" and each wrapped in brackets, so empty tokens show.
std::string Tokens(Vector<String>& list)
{
    std::string text;
    for (String& token : list)
        text += "[" + std::string(token.Text(), static_cast<size_t>(token.Length())) + "]";
    return text;
}

struct SplitCase {
    const char* name;
    const char* text;
    int32_t length; // -1: the length of the text
    const char* separators;
    int32_t options;
    const char* expected;
};

class StringSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(StringSplit, Tokens)
{
    const SplitCase& c = GetParam();
    String s(c.text, c.length < 0 ? static_cast<int32_t>(strlen(c.text)) : c.length);
    Vector<String> list;
    list.Append(String("kept")); // Split appends to what the list holds
    int32_t count = s.Split(list, c.separators, c.options);
    EXPECT_EQ(count, list.Count() - 1);
    EXPECT_EQ(Tokens(list), std::string("[kept]") + c.expected);
}

INSTANTIATE_TEST_SUITE_P(, StringSplit,
    testing::Values(
        SplitCase{ "EmptiesDropped", "a,,b,", -1, ",", 0, "[a][b]" },
        SplitCase{ "EmptiesKept", "a,,b,", -1, ",", 0x001, "[a][][b][]" },
        SplitCase{ "OnlySeparatorKeepEmpty", ",", -1, ",", 0x001, "[][]" },
        SplitCase{ "EmptyTextYieldsNothing", "", -1, ",", 0x001, "" },
        SplitCase{ "SeveralSeparators", "a;b,c", -1, ",;", 0, "[a][b][c]" },
        SplitCase{ "NullSeparatorsWholeText", "a,b", -1, nullptr, 0, "[a,b]" },
        SplitCase{ "ZeroByteSeparates", "a\0b", 3, "", 0x002, "[a][b]" },
        SplitCase{ "LineBreaks", "one\r\ntwo\n\nthree", -1, "", 0x007, "[one][two][][three]" },
        SplitCase{ "LfCrIsOneBreak", "a\n\rb", -1, "", 0x004, "[a][b]" },
        SplitCase{ "LineBreakNotSeparatorWithout004", "a\nb", -1, ",", 0, "[a\nb]" },
        SplitCase{ "Trim", " a , b ,  ", -1, ",", 0x008, "[a][b]" },
        SplitCase{ "TrimKeepEmpty", " a , b ,  ", -1, ",", 0x009, "[a][b][]" },
        SplitCase{ "QuotedSection", "a,\"b,c\",d", -1, ",", 0x010, "[a][\"b,c\"][d]" },
        SplitCase{ "QuotedSectionUnclosed", "a,\"b,c", -1, ",", 0x010, "[a][\"b,c]" },
        SplitCase{ "QuotedLineBreak", "\"a\nb\"\nc", -1, "", 0x014, "[\"a\nb\"][c]" },
        SplitCase{ "KeepSeparator", "a,b;c", -1, ",;", 0x020, "[a,][b;][c]" },
        SplitCase{ "KeepLineBreak", "a\r\nb", -1, "", 0x024, "[a\r\n][b]" },
        SplitCase{ "Unquote", "\"a\",b,\"c", -1, ",", 0x100, "[a][b][\"c]" },
        SplitCase{ "UnquoteThenTrim", " \" a \" ,b", -1, ",", 0x108, "[a][b]" },
        SplitCase{ "UndoubleQuotes", "\"say \"\"hi\"\"\",x\"\"y", -1, ",", 0x110 | 0x200,
                   "[say \"hi\"][x\"\"y]" },
        SplitCase{ "UndoubleNeedsUnquote", "\"a\"\"b\"", -1, ",", 0x200, "[\"a\"\"b\"]" },
        SplitCase{ "DoubledSeparatorStays", "a,,b,c", -1, ",", 0x400, "[a,,b][c]" },
        SplitCase{ "DoubledOtherSeparatorsSplit", "a,;b", -1, ",;", 0x400, "[a][b]" },
        SplitCase{ "CsvLine", "1, \"Smith, J\" ,\"x\"\"y\"", -1, ",", 0x318, "[1][Smith, J][x\"y]" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StringSplitLines, MixedBreaksAndZeroBytes)
{
    Vector<String> lines;
    EXPECT_EQ(String("a\r\nb\n").SplitLines(lines), 3);
    EXPECT_EQ(Tokens(lines), "[a][b][]");
    lines.Clear();
    EXPECT_EQ(String("x\0y", 3).SplitLines(lines), 2);
    EXPECT_EQ(Tokens(lines), "[x][y]");
}

TEST(StringPieces, CopyRangeMidCut)
{
    String s("hello world");
    String piece("old");
    EXPECT_TRUE(s.CopyRange(piece, 5, 6));
    EXPECT_STREQ(piece.Text(), "world");
    EXPECT_TRUE(s.CopyRange(piece, 100, -3)); // start raised to 0, count limited
    EXPECT_STREQ(piece.Text(), "hello world");
    EXPECT_FALSE(s.CopyRange(piece, 0, 2));
    EXPECT_STREQ(piece.Text(), "");
    EXPECT_FALSE(s.CopyRange(piece, 3, 11));
    EXPECT_TRUE(s.CopyRange(s, 5, 0)); // into itself
    EXPECT_STREQ(s.Text(), "hello");

    String t("abcdef");
    EXPECT_STREQ(t.Mid(2).Text(), "cdef");
    EXPECT_STREQ(t.Mid(2, 2).Text(), "cd");
    EXPECT_STREQ(t.Mid(9).Text(), "");
    EXPECT_STREQ(t.Cut(1, 2).Text(), "bc");
    EXPECT_STREQ(t.Text(), "adef");
    EXPECT_STREQ(t.Cut(-2, 1).Text(), "a");
    EXPECT_STREQ(t.Text(), "def");
    EXPECT_STREQ(t.Cut(5).Text(), "");
    EXPECT_STREQ(t.Text(), "def");
}

TEST(StringPieces, CutFromAndTakeUntil)
{
    String s("name=value # note");
    EXPECT_STREQ(s.CutFrom(" # ").Text(), " # note");
    EXPECT_STREQ(s.Text(), "name=value");
    EXPECT_STREQ(s.CutFrom("X").Text(), "");
    EXPECT_STREQ(s.CutFrom("VALUE", String::kIgnoreCase).Text(), "value");
    EXPECT_STREQ(s.Text(), "name=");

    String t("key=a=b");
    EXPECT_STREQ(t.TakeUntil('=').Text(), "key");
    EXPECT_STREQ(t.Text(), "a=b");
    EXPECT_STREQ(t.TakeUntil(';').Text(), "a=b");
    EXPECT_STREQ(t.Text(), "");
    EXPECT_EQ(t.Length(), 0);
}

struct TakeLineCase {
    const char* name;
    const char* text;
    int32_t length;
    const char* line;
    const char* lineWithBreak;
    const char* rest;
};

class StringTakeLine : public testing::TestWithParam<TakeLineCase> {};

TEST_P(StringTakeLine, LineAndRest)
{
    const TakeLineCase& c = GetParam();
    String a(c.text, c.length);
    String b(a);
    EXPECT_STREQ(a.TakeLine().Text(), c.line);
    String withBreak = b.TakeLineWithBreak();
    EXPECT_EQ(std::string(withBreak.Text(), static_cast<size_t>(withBreak.Length())), std::string(c.lineWithBreak));
    EXPECT_STREQ(a.Text(), c.rest);
    EXPECT_TRUE(a == b);
}

INSTANTIATE_TEST_SUITE_P(, StringTakeLine,
    testing::Values(TakeLineCase{ "CrLf", "one\r\ntwo", 8, "one", "one\r\n", "two" },
                    TakeLineCase{ "LfCr", "one\n\rtwo", 8, "one", "one\n\r", "two" },
                    TakeLineCase{ "LfLfIsTwoLines", "one\n\ntwo", 8, "one", "one\n", "\ntwo" },
                    TakeLineCase{ "CrAlone", "one\rtwo", 7, "one", "one\r", "two" },
                    TakeLineCase{ "NoBreakTakesAll", "one", 3, "one", "one", "" },
                    TakeLineCase{ "EmptyLine", "\r\nx", 3, "", "\r\n", "x" },
                    TakeLineCase{ "Empty", "", 0, "", "", "" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StringTakeLineZero, ZeroByteEndsTheLine)
{
    String s("ab\0cd", 5);
    String t(s);
    EXPECT_STREQ(s.TakeLine().Text(), "ab");
    EXPECT_STREQ(s.Text(), "cd");
    String withZero = t.TakeLineWithBreak();
    EXPECT_EQ(withZero.Length(), 3);
    EXPECT_STREQ(t.Text(), "cd");
}

TEST(StringTakeQuoted, DoubledQuotesAndBounds)
{
    String s("\"say \"\"hi\"\"\" rest");
    EXPECT_STREQ(s.TakeQuoted('"', 0).Text(), "say \"hi\"");
    EXPECT_STREQ(s.Text(), " rest");
    EXPECT_STREQ(s.TakeQuoted('"', 0).Text(), ""); // no quote there
    EXPECT_STREQ(s.Text(), " rest");

    String t("x='it''s' y");
    EXPECT_STREQ(t.TakeQuoted('\'', 2).Text(), "it's");
    EXPECT_STREQ(t.Text(), "x= y");

    String open("a \"unclosed");
    EXPECT_STREQ(open.TakeQuoted('"', 2).Text(), "unclosed");
    EXPECT_STREQ(open.Text(), "a ");
    EXPECT_STREQ(open.TakeQuoted('"', 9).Text(), "");
    EXPECT_STREQ(open.TakeQuoted('"', -1).Text(), "");
}

TEST(StringTakeWord, QuotedWordsKeepTheirQuotes)
{
    String s("  \"C:\\Program Files\\x.exe\" /a");
    EXPECT_STREQ(s.TakeWord().Text(), "\"C:\\Program Files\\x.exe\"");
    EXPECT_STREQ(s.Text(), "/a");
    EXPECT_STREQ(s.TakeWord().Text(), "/a");
    EXPECT_STREQ(s.Text(), "");
    EXPECT_STREQ(s.TakeWord().Text(), "");

    String option("/d:\"C:\\My Dir\"\t/n:x  ");
    EXPECT_STREQ(option.TakeWord().Text(), "/d:\"C:\\My Dir\"");
    EXPECT_STREQ(option.TakeWord().Text(), "/n:x");
    EXPECT_STREQ(option.Text(), " ");
}

TEST(StringLineBreaks, NormalizeAndEnsure)
{
    String s("a\nb\rc\r\nd\n\re");
    EXPECT_EQ(s.NormalizeLineBreaks(), 3);
    EXPECT_STREQ(s.Text(), "a\r\nb\r\nc\r\nd\r\ne");
    EXPECT_EQ(s.NormalizeLineBreaks(), 0);

    String t("\n\r\n");
    EXPECT_EQ(t.NormalizeLineBreaks(), 2); // LF CR, then a lone LF
    EXPECT_STREQ(t.Text(), "\r\n\r\n");

    String u("x");
    EXPECT_TRUE(u.EnsureLineBreak());
    EXPECT_STREQ(u.Text(), "x\r\n");
    EXPECT_FALSE(u.EnsureLineBreak());
    String lf("x\n");
    EXPECT_FALSE(lf.EnsureLineBreak());
}

}
