#include "system/Path.h"
#include <gtest/gtest.h>
#include <string>

namespace {

// One row per path: how each splitting rule takes it apart.
struct SplitCase {
    const char* name;
    const char* path;
    int32_t lastSeparator;
    const char* directory;
    const char* directoryWithSeparator;
    const char* fileName;
    int32_t extension;
};

class PathSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(PathSplit, Parts)
{
    const SplitCase& c = GetParam();
    String path(c.path);
    EXPECT_EQ(LastSeparator(path), c.lastSeparator);
    EXPECT_STREQ(DirectoryPart(path).Text(), c.directory);
    EXPECT_STREQ(DirectoryPartWithSeparator(path).Text(), c.directoryWithSeparator);
    EXPECT_STREQ(FileNamePart(path).Text(), c.fileName);
    EXPECT_EQ(ExtensionIndex(path), c.extension);
    StripToName(path);
    EXPECT_STREQ(path.Text(), c.fileName);
}

INSTANTIATE_TEST_SUITE_P(, PathSplit,
    testing::Values(
        SplitCase{ "FileInDirectory", "c:\\dir\\f", 6, "c:\\dir", "c:\\dir\\", "f", -1 },
        SplitCase{ "FileInRoot", "c:\\f.txt", 2, "c:\\", "c:\\", "f.txt", 4 },
        SplitCase{ "DriveRelative", "c:f", 1, "c:", "c:", "f", -1 },
        SplitCase{ "NameOnly", "readme.txt", -1, "", "", "readme.txt", 6 },
        SplitCase{ "Empty", "", -1, "", "", "", -1 },
        SplitCase{ "DotInDirectoryOnly", "c:\\a.b\\file", 6, "c:\\a.b", "c:\\a.b\\", "file", -1 },
        SplitCase{ "TrailingBackslash", "c:\\dir\\", 6, "c:\\dir", "c:\\dir\\", "", -1 },
        SplitCase{ "Network", "\\\\srv\\share\\x.dll", 11, "\\\\srv\\share", "\\\\srv\\share\\", "x.dll", 13 },
        SplitCase{ "RootedNoDrive", "\\f", 0, "", "\\", "f", -1 },
        // Only the part before the first ";" decides the directory; the file name is
        // taken after the last backslash of the whole text.
        SplitCase{ "PathList", "c:\\app\\*.exe;d:\\x\\*.dll", 6, "c:\\app", "c:\\app\\", "*.dll", 19 },
        SplitCase{ "ListWithRelativeFirst", "*.exe;d:\\x\\*.dll", -1, "", "", "*.dll", 12 }),
    [](const auto& info) { return std::string(info.param.name); });

struct JoinCase {
    const char* name;
    const char* directory;
    const char* file;
    const char* joined;
};

class PathJoin : public testing::TestWithParam<JoinCase> {};

TEST_P(PathJoin, Joined)
{
    const JoinCase& c = GetParam();
    EXPECT_STREQ(JoinPath(c.directory, c.file).Text(), c.joined);
}

INSTANTIATE_TEST_SUITE_P(, PathJoin,
    testing::Values(
        JoinCase{ "Root", "c:\\", "x", "c:\\x" },
        JoinCase{ "DriveRelative", "c:", "x", "c:x" },
        JoinCase{ "BothSlashes", "c:\\a\\", "\\b", "c:\\a\\b" },
        JoinCase{ "LeadingSlashOnly", "c:\\a", "\\b", "c:\\a\\b" },
        JoinCase{ "Plain", "c:\\windows", "command.com", "c:\\windows\\command.com" },
        JoinCase{ "EmptyDirectory", "", "b", "b" },
        JoinCase{ "EmptyName", "c:\\a", "", "c:\\a" },
        JoinCase{ "BothEmpty", "", "", "" }),
    [](const auto& info) { return std::string(info.param.name); });

struct AbsoluteCase {
    const char* name;
    const char* path;
    const char* base; // null: no base
    bool made;
    const char* result; // the path afterwards
};

class PathMakeAbsolute : public testing::TestWithParam<AbsoluteCase> {};

TEST_P(PathMakeAbsolute, Result)
{
    const AbsoluteCase& c = GetParam();
    String path(c.path);
    EXPECT_EQ(MakeAbsolute(path, c.base), c.made);
    EXPECT_STREQ(path.Text(), c.result);
}

INSTANTIATE_TEST_SUITE_P(, PathMakeAbsolute,
    testing::Values(
        AbsoluteCase{ "Relative", "sub\\f.txt", "c:\\app", true, "c:\\app\\sub\\f.txt" },
        AbsoluteCase{ "BaseEndsInSlash", "f", "c:\\", true, "c:\\f" },
        AbsoluteCase{ "Trimmed", "  f \t", "c:\\app", true, "c:\\app\\f" },
        AbsoluteCase{ "RootedTakesDrive", "\\x\\f", "c:\\app", true, "c:\\x\\f" },
        AbsoluteCase{ "OtherDriveRelative", "d:x", "c:\\app", true, "d:\\app\\x" },
        AbsoluteCase{ "OtherDriveRootBase", "d:x", "c:\\", true, "d:\\x" },
        AbsoluteCase{ "NetworkBase", "f", "\\\\srv\\share", true, "\\\\srv\\share\\f" },
        AbsoluteCase{ "BaseWithLeadingBlanks", "f", "  c:\\app", true, "c:\\app\\f" },
        AbsoluteCase{ "AlreadyAbsolute", "c:\\dir\\f", "c:\\app", false, "c:\\dir\\f" },
        AbsoluteCase{ "NetworkPath", "\\\\srv\\x", "c:\\app", false, "\\\\srv\\x" },
        AbsoluteCase{ "RelativeBase", "f", "app", false, "f" },
        AbsoluteCase{ "NoBase", "f", nullptr, false, "f" },
        AbsoluteCase{ "Empty", "", "c:\\app", false, "" },
        AbsoluteCase{ "Blank", "  ", "c:\\app", false, "  " },
        AbsoluteCase{ "RootedOnNetworkBase", "\\x", "\\\\srv\\share", false, "\\x" },
        AbsoluteCase{ "DriveRelativeOnNetworkBase", "d:x", "\\\\srv\\share", false, "d:x" }),
    [](const auto& info) { return std::string(info.param.name); });

struct ValidCase {
    const char* name;
    const char* path;
    int32_t options;
    bool valid;
};

class PathValid : public testing::TestWithParam<ValidCase> {};

TEST_P(PathValid, Verdict)
{
    const ValidCase& c = GetParam();
    EXPECT_EQ(IsValidPath(c.path, c.options), c.valid);
}

INSTANTIATE_TEST_SUITE_P(, PathValid,
    testing::Values(
        ValidCase{ "Plain", "c:\\Program Files\\App", 0, true },
        ValidCase{ "Network", "\\\\srv\\share\\dir", 0, true },
        ValidCase{ "Relative", "dir\\sub", 0, true },
        ValidCase{ "Quoted", "\"c:\\My App\"", 0, true },
        ValidCase{ "Empty", "", 0, false },
        ValidCase{ "Blank", "   ", 0, false },
        ValidCase{ "EmptyQuotes", "\"\"", 0, false },
        ValidCase{ "DigitBeforeColon", "1:\\x", 0, false },
        ValidCase{ "SecondColon", "c:\\a:b", 0, false },
        ValidCase{ "ColonFirst", ":x", 0, false },
        ValidCase{ "Semicolon", "c:\\a;b", 0, false },
        ValidCase{ "Pipe", "c:\\a|b", 0, false },
        ValidCase{ "ForwardSlash", "c:/a", 0, false },
        ValidCase{ "InnerQuote", "c:\\a\"b", 0, false },
        ValidCase{ "QuestionWithWildcards", "c:\\a?b", kPathAllowWildcards, true },
        ValidCase{ "QuestionWithoutWildcards", "c:\\a?b", 0, false },
        ValidCase{ "QuestionWithStarOnly", "c:\\a?b", kPathAllowStar, false },
        ValidCase{ "StarWithStarOnly", "c:\\*.txt", kPathAllowStar, true },
        ValidCase{ "StarPlain", "c:\\*.txt", 0, false },
        ValidCase{ "BlanksKeptWithoutTrim", " c:\\x", 0, false },
        ValidCase{ "BlanksTrimmed", " c:\\x ", kPathTrim, true }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PathDrive, Parts)
{
    EXPECT_STREQ(DriveRoot("c:\\dir").Text(), "c:\\");
    EXPECT_STREQ(DriveRoot("c:dir").Text(), "c:");
    EXPECT_STREQ(DriveRoot("\\\\srv\\share").Text(), "");
    EXPECT_STREQ(DriveRoot("1:\\").Text(), "");
    EXPECT_STREQ(DriveText("d:\\x").Text(), "d:");
    EXPECT_STREQ(DriveText("\\x").Text(), "");
    EXPECT_EQ(DriveLetter("d:\\x"), 'D');
    EXPECT_EQ(DriveLetter("dx"), 0);
    EXPECT_EQ(DriveLetter(""), 0);
}

TEST(PathAbsolute, Test)
{
    EXPECT_TRUE(IsAbsolutePath("c:\\"));
    EXPECT_TRUE(IsAbsolutePath("  \\\\srv\\x"));
    EXPECT_FALSE(IsAbsolutePath("c:x"));
    EXPECT_FALSE(IsAbsolutePath("\\x"));
    EXPECT_FALSE(IsAbsolutePath("x"));
    EXPECT_FALSE(IsAbsolutePath(""));
    EXPECT_FALSE(IsAbsolutePath(nullptr));
}

TEST(PathExtension, AddAndStrip)
{
    String path("c:\\dir.d\\setup");
    EXPECT_TRUE(AddExtension(path, "exe"));
    EXPECT_STREQ(path.Text(), "c:\\dir.d\\setup.exe");
    EXPECT_FALSE(AddExtension(path, "bak"));
    EXPECT_TRUE(StripExtension(path));
    EXPECT_STREQ(path.Text(), "c:\\dir.d\\setup");
    EXPECT_FALSE(StripExtension(path));
    EXPECT_TRUE(AddExtension(path, ".log"));
    EXPECT_STREQ(path.Text(), "c:\\dir.d\\setup.log");

    String blank("  ");
    EXPECT_FALSE(AddExtension(blank, "txt"));
    EXPECT_STREQ(blank.Text(), "  ");
    String name("x");
    EXPECT_FALSE(AddExtension(name, nullptr));
    EXPECT_FALSE(AddExtension(name, ""));
    EXPECT_STREQ(name.Text(), "x");
}

TEST(PathCompare, SameDirectoryAndRoots)
{
    EXPECT_TRUE(SameDirectory("C:\\Windows\\", " c:\\windows"));
    EXPECT_FALSE(SameDirectory("c:\\windows\\system", "c:\\windows"));
    EXPECT_FALSE(SameDirectory("c:\\windows\\\\", "c:\\windows"));

    for (const char* root : { "", "\\", "c:", "c:\\", " c:\\\\ ", "\\\\srv\\share", "\\\\srv\\share\\", "\\\\srv" })
        EXPECT_TRUE(IsRootPath(root)) << root;
    for (const char* tree : { "c:\\a", "\\\\srv\\share\\dir", "c:\\Program Files\\App\\" })
        EXPECT_FALSE(IsRootPath(tree)) << tree;
}

TEST(PathCompare, Holds)
{
    struct Row {
        const char* outer;
        const char* inner;
        bool holds;
    } rows[] = {
        { "c:\\", "C:\\Windows", true },
        { "c:\\windows", "C:\\WINDOWS\\System32", true },
        { "c:\\windows\\", "c:\\windows", true },
        { "c:\\win", "c:\\windows", false },
        { "c:\\windows\\system32", "c:\\windows", false },
        { "", "c:\\windows", false },
        { "c:\\windows", "  ", false },
    };
    for (const Row& row : rows)
        EXPECT_EQ(PathHolds(row.outer, row.inner), row.holds) << row.outer << " / " << row.inner;
}

} // namespace
