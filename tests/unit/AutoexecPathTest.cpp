#include "system/AutoexecPath.h"
#include <gtest/gtest.h>
#include <string>

namespace {

struct EditCase {
    const char* name;
    bool add;
    const char* before;
    const char* after; // the same as before when nothing changes
};

class PathLineEdit : public testing::TestWithParam<EditCase> {};

TEST_P(PathLineEdit, WholeLinesOnly)
{
    const EditCase& c = GetParam();
    String content(c.before);
    bool changed = EditPathLine(content, AutoexecPathLine("C:\\PROGRA~1\\APP"), c.add);
    EXPECT_EQ(std::string(content.Text(), static_cast<size_t>(content.Length())), c.after);
    EXPECT_EQ(changed, std::string(c.before) != c.after);
}

INSTANTIATE_TEST_SUITE_P(, PathLineEdit,
    testing::Values(
        EditCase{ "AddToMissingFile", true, "", "\r\nPATH=%PATH%;C:\\PROGRA~1\\APP\r\n" },
        EditCase{ "AddEndsTheLastLineFirst", true, "@echo off", "@echo off\r\nPATH=%PATH%;C:\\PROGRA~1\\APP\r\n" },
        EditCase{ "AddAfterLineBreak", true, "@echo off\r\n", "@echo off\r\nPATH=%PATH%;C:\\PROGRA~1\\APP\r\n" },
        EditCase{ "AddTwiceLeavesOneLine", true, "path=%path%;c:\\progra~1\\app\r\nrem\r\n",
                  "path=%path%;c:\\progra~1\\app\r\nrem\r\n" },
        EditCase{ "AddSeesLastLineWithoutBreak", true, "rem\r\nPATH=%PATH%;C:\\PROGRA~1\\APP",
                  "rem\r\nPATH=%PATH%;C:\\PROGRA~1\\APP" },
        EditCase{ "RemoveFirstOccurrence", false, "a\r\nPATH=%PATH%;C:\\PROGRA~1\\APP\r\nb\r\n", "a\r\nb\r\n" },
        EditCase{ "RemoveOnlyTheFirst", false, "PATH=%PATH%;C:\\PROGRA~1\\APP\r\nPATH=%PATH%;C:\\PROGRA~1\\APP\r\n",
                  "PATH=%PATH%;C:\\PROGRA~1\\APP\r\n" },
        EditCase{ "AddAfterLineFeed", true, "rem\n", "rem\nPATH=%PATH%;C:\\PROGRA~1\\APP\r\n" },
        EditCase{ "RemoveIgnoresCase", false, "path=%path%;c:\\progra~1\\app\r\n", "" },
        EditCase{ "RemoveLastLineWithoutBreak", false, "a\r\nPATH=%PATH%;C:\\PROGRA~1\\APP", "a\r\n" },
        EditCase{ "RemoveUnixLineEnd", false, "PATH=%PATH%;C:\\PROGRA~1\\APP\nb\n", "b\n" },
        EditCase{ "LongerLineOfAnotherProductStays", false, "PATH=%PATH%;C:\\PROGRA~1\\APP2\r\n",
                  "PATH=%PATH%;C:\\PROGRA~1\\APP2\r\n" },
        EditCase{ "LineInsideAnotherStays", false, "REM PATH=%PATH%;C:\\PROGRA~1\\APP\r\n",
                  "REM PATH=%PATH%;C:\\PROGRA~1\\APP\r\n" },
        EditCase{ "RemoveWhenMissing", false, "a\r\n", "a\r\n" }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
