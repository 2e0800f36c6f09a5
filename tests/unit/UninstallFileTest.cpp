#include "records/AssociationBackup.h"
#include "records/UninstallFile.h"
#include "records/UninstallList.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::string Str(const String& s)
{
    return std::string(s.Text(), static_cast<size_t>(s.Length()));
}

// The uninstall file list ---------------------------------------------------------------

struct Add {
    const char* path;
    bool isDirectory;
};

struct ListCase {
    const char* name;
    std::vector<Add> calls;
    const char* expected;
};

class UninstallListLines : public testing::TestWithParam<ListCase> {};

TEST_P(UninstallListLines, Text)
{
    UninstallList list;
    for (const Add& call : GetParam().calls)
        list.AddUninstallLine(String(call.path), call.isDirectory);
    EXPECT_EQ(Str(list.Text()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(, UninstallListLines,
    testing::Values(
        ListCase{ "FileAndDirectoryLines", { { "C:\\App\\Sub", true }, { "C:\\App\\Sub\\a.txt", false } },
                  "~C:\\App\\Sub\r\nC:\\App\\Sub\\a.txt\r\n" },
        ListCase{ "ThreeCharactersOrFewerIgnored", { { "C:\\", true }, { "C:\\", false }, { "abc", false }, { "", false },
                                                     { "abcd", false } },
                  "abcd\r\n" },
        ListCase{ "DirectoryListedOnceIgnoringCase",
                  { { "C:\\App\\Sub", true }, { "c:\\app\\SUB", true }, { "C:\\App\\Sub", true } },
                  "~C:\\App\\Sub\r\n" },
        ListCase{ "FilesAreNotDeduplicated", { { "C:\\a.txt", false }, { "C:\\a.txt", false } },
                  "C:\\a.txt\r\nC:\\a.txt\r\n" },
        ListCase{ "FileOfADirectoryPathStillListed", { { "C:\\App\\x", true }, { "C:\\App\\x", false } },
                  "~C:\\App\\x\r\nC:\\App\\x\r\n" },
        ListCase{ "LineBreakInPathRefused", { { "C:\\a\r\n!CLSID", false }, { "C:\\b\nc", true } }, "" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UninstallList, ZeroByteInPathRefused)
{
    UninstallList list;
    EXPECT_FALSE(list.AddUninstallLine(String("C:\\a\0b", 6), false));
    EXPECT_TRUE(list.IsEmpty());
}

TEST(UninstallList, DirectorySetHoldsManyAcrossItsBuckets)
{
    UninstallList list;
    for (int i = 0; i < 300; ++i)
        EXPECT_TRUE(list.AddUninstallLine(String("C:\\App\\Dir") + String(int64_t(i)), true)) << i;
    for (int i = 0; i < 300; ++i)
        EXPECT_FALSE(list.AddUninstallLine(String("c:\\APP\\dir") + String(int64_t(i)), true)) << i;
    UninstallFile file;
    EXPECT_EQ(ReadUninstallFile(BuildUninstallFile(list.Text(), UninstallMessages(), String()), file), 0);
    EXPECT_EQ(file.directories.Count(), 300);
}

TEST(UninstallList, ClearEmptiesListAndDirectorySet)
{
    UninstallList list;
    list.AddUninstallLine(String("C:\\Old\\Dir"), true);
    list.AddUninstallLine(String("C:\\Old\\Dir\\file.txt"), false);
    list.Clear();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_TRUE(list.AddUninstallLine(String("C:\\Old\\Dir"), true));
    EXPECT_EQ(Str(list.Text()), "~C:\\Old\\Dir\r\n");
}

// Uninstall.DAT -------------------------------------------------------------------------

UninstallMessages SampleMessages()
{
    UninstallMessages messages;
    messages.Set(10, String("Some parts could not be removed:\r\n\r\n%s"));
    messages.Set(53, String("Remove <product>?"));
    return messages;
}

TEST(UninstallFileText, NineteenMessagesInTheirOrderAndAssociations)
{
    String associations;
    AppendAssociationLine(associations, String(".qox"), String("Quox.Document"), String("open"));
    String text = BuildUninstallFile(String("C:\\App\\a.txt\r\n"), SampleMessages(), associations);
    EXPECT_EQ(Str(text),
              "C:\\App\\a.txt\r\n"
              "\r\n\r\n[Strings]\r\n"
              "~10\r\nSome parts could not be removed:\r\n\r\n%s\r\n"
              "~15\r\n\r\n~20\r\n\r\n~30\r\n\r\n~34\r\n\r\n~35\r\n\r\n~39\r\n\r\n~49\r\n\r\n"
              "~53\r\nRemove <product>?\r\n"
              "~55\r\n\r\n~56\r\n\r\n~57\r\n\r\n~58\r\n\r\n~59\r\n\r\n~67\r\n\r\n~68\r\n\r\n~69\r\n\r\n"
              "~70\r\n\r\n~71\r\n\r\n"
              "\r\n\r\n[Associations]\r\n"
              ".qox~!~Quox.Document~!~open\r\n");
}

TEST(UninstallFileText, WithoutAssociationsEndsAfterStrings)
{
    UninstallMessages messages;
    messages.Set(71, String("Removing files"));
    String text = BuildUninstallFile(String(), messages, String());
    const std::string start = "\r\n\r\n[Strings]\r\n~10\r\n";
    const std::string end = "~70\r\n\r\n~71\r\nRemoving files\r\n";
    EXPECT_EQ(Str(text).substr(0, start.size()), start);
    EXPECT_EQ(Str(text).substr(text.Length() - end.size()), end);
}

// A parsed file as one line per element, so a table can state all of it:
// F/K items with their percent, D directories in removal order, M messages, A associations.
std::string Summary(const UninstallFile& file)
{
    std::string out;
    for (const UninstallItem& item : file.items)
        out += (item.kind == UninstallItem::kKey ? "K " : "F ") + Str(item.path) + " " +
               std::to_string(item.percent) + "|";
    for (const String& directory : file.directories)
        out += "D " + Str(directory) + "|";
    for (int32_t number = 1; number <= 1000; ++number) {
        String text = file.messages.Text(number);
        if (!text.IsEmpty())
            out += "M" + std::to_string(number) + " " + Str(text) + "|";
    }
    for (const FileAssociation& a : file.associations)
        out += "A " + Str(a.extension) + "," + Str(a.typeName) + "," + Str(a.verb) + "|";
    return out;
}

TEST(UninstallFileRead, RoundTripFromTheWriters)
{
    UninstallList list;
    list.AddUninstallLine(String("C:\\App\\a"), true);
    list.AddUninstallLine(String("C:\\App\\a\\one.txt"), false);
    list.AddUninstallLine(String("C:\\App\\a\\b"), true);
    list.AddUninstallLine(String("C:\\App\\a\\b\\two.txt"), false);
    list.AddUninstallLine(String("C:\\App\\c"), true);
    String associations;
    AppendAssociationLine(associations, String(".qox"), String("Quox.Document"), String("open"));
    AppendAssociationLine(associations, String(".txt"), String("txtfile"), String("Edit with Quox"));

    UninstallFile file;
    EXPECT_EQ(ReadUninstallFile(BuildUninstallFile(list.Text(), SampleMessages(), associations), file), 0);
    // Five lines: the files are the 2nd and 4th. Directories deepest first, ties in order.
    EXPECT_EQ(Summary(file), "F C:\\App\\a\\one.txt 26|F C:\\App\\a\\b\\two.txt 58|"
                             "D C:\\App\\a\\b|D C:\\App\\a|D C:\\App\\c|"
                             "M10 Some parts could not be removed:\r\n\r\n%s|M53 Remove <product>?|"
                             "A .qox,Quox.Document,open|A .txt,txtfile,Edit with Quox|");
}

TEST(UninstallFileRead, PartialRecordKeepsMessagesAndDropsAssociations)
{
    String associations;
    AppendAssociationLine(associations, String(".qox"), String("Quox.Document"), String("open"));
    UninstallFile first;
    ASSERT_EQ(ReadUninstallFile(BuildUninstallFile(String("C:\\App\\a.txt\r\nC:\\App\\b.txt\r\n"), SampleMessages(),
                                                   associations),
                                first),
              0);
    // The uninstaller could not remove b.txt: it lists it again and writes the record back.
    UninstallList left;
    left.AddUninstallLine(first.items[1].path, false);
    UninstallFile second;
    EXPECT_EQ(ReadUninstallFile(BuildUninstallFile(left.Text(), first.messages, String()), second), 0);
    EXPECT_EQ(Summary(second), "F C:\\App\\b.txt 10|"
                               "M10 Some parts could not be removed:\r\n\r\n%s|M53 Remove <product>?|");
}

struct ReadCase {
    const char* name;
    std::string text;
    int32_t problems;
    std::string summary;
};

std::string Repeated(const char* line, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += line;
    return out;
}

class UninstallFileReading : public testing::TestWithParam<ReadCase> {};

TEST_P(UninstallFileReading, Damaged)
{
    const ReadCase& c = GetParam();
    UninstallFile file;
    EXPECT_EQ(ReadUninstallFile(String(c.text.data(), static_cast<int32_t>(c.text.size())), file), c.problems);
    EXPECT_EQ(Summary(file), c.summary);
}

const std::string kStrings = "\r\n[Strings]\r\n~10\r\nten\r\n";

INSTANTIATE_TEST_SUITE_P(, UninstallFileReading,
    testing::Values(
        ReadCase{ "Empty", "", kUninstallFileNoStrings, "" },
        ReadCase{ "SectionNamesIgnoreCaseAndBlanks",
                  "C:\\a.txt\r\n [STRINGS]\t\r\n~10\r\nten\r\n[associations]\r\n.a~!~t~!~v\r\n", 0,
                  "F C:\\a.txt 10|M10 ten|A .a,t,v|" },
        ReadCase{ "SectionNameInsideAPathIsNoSection", "C:\\[Strings]\\x.txt\r\nC:\\y.txt\r\n" + kStrings, 0,
                  "F C:\\[Strings]\\x.txt 10|F C:\\y.txt 50|M10 ten|" },
        ReadCase{ "CutShortLastLineDropped", "C:\\a.txt\r\nC:\\Windows\\sys", kUninstallFileNoStrings,
                  "F C:\\a.txt 10|" },
        ReadCase{ "AssociationsWithoutStrings", "C:\\a.txt\r\n[Associations]\r\n.a~!~t~!~v\r\n",
                  kUninstallFileNoStrings, "F C:\\a.txt 10|A .a,t,v|" },
        ReadCase{ "PathsThatNameNothingSafe",
                  "a.txt\r\nC:\\\r\n~C:\r\n~\r\n!\r\n! \r\n!\\CLSID\r\n:\\ab\r\n\\\\srv\\share\\f\r\n!.qox\r\n" + kStrings,
                  kUninstallFileBadPath, "F \\\\srv\\share\\f 74|K .qox 82|M10 ten|" },
        ReadCase{ "LineBreakKinds", std::string("C:\\a\nC:\\b\rC:\\c\0C:\\d\r\n", 21) + kStrings, 0,
                  "F C:\\a 10|F C:\\b 30|F C:\\c 50|F C:\\d 70|M10 ten|" },
        // 1000 is a number a record may carry, though the uninstaller asks for none such.
        ReadCase{ "MessageNumbers",
                  "[Strings]\r\n~1,5\r\nfifteen\r\n~0\r\nzero\r\n~1001\r\nbig\r\n~\r\nnone\r\n~1000\r\nunused\r\n"
                  "~7,1\r\nlast \t\r\n\r\n",
                  kUninstallFileBadMessage, "M15 fifteen|M71 last|" },
        ReadCase{ "MultiLineMessageKeepsInnerBreaksAndLeadingBlanks",
                  "[Strings]\r\n~10\r\n\r\n  first\r\n\r\nsecond\n\r\n~15\r\n", 0, "M10 \r\n  first\r\n\r\nsecond|" },
        ReadCase{ "TextBeforeFirstMessage", "[Strings]\r\n\r\nstray\r\n~10\r\nten\r\n", kUninstallFileBadMessage,
                  "M10 ten|" },
        ReadCase{ "LaterMessageReplacesEarlier", "[Strings]\r\n~10\r\nold\r\n~10\r\nnew\r\n", 0, "M10 new|" },
        ReadCase{ "AssociationParts",
                  "[Strings]\r\n[Associations]\r\na~!~b\r\n~!~t~!~v\r\n.x~!~~!~v\r\n.y~!~t~!~\r\n.e~!~t~!~v~!~w\r\n",
                  kUninstallFileBadAssociation, "A .e,t,v~!~w|" },
        ReadCase{ "LaterSectionNamesAreContent", "[Strings]\r\n[Associations]\r\n[Strings]\r\n.a~!~t~!~v\r\n",
                  kUninstallFileBadAssociation, "A .a,t,v|" },
        ReadCase{ "TooManyMessages", "[Strings]\r\n" + Repeated("~10\r\nx\r\n", 500) + "~15\r\nlate\r\n",
                  kUninstallFileTooManyMessages, "M10 x|" },
        ReadCase{ "TooManyAssociations", "[Strings]\r\n[Associations]\r\n" + Repeated(".a~!~t~!~v\r\n", 501),
                  kUninstallFileTooManyAssociations, Repeated("A .a,t,v|", 500) }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FillInMessage, RecordTextIsNeverAFormat)
{
    struct Row {
        const char* name;
        const char* message;
        const char* expected;
    } rows[] = {
        { "first %s takes the text", "Remove %s?", "Remove a.ttf?" },
        { "a second %s stays", "%s and %s", "a.ttf and %s" },
        { "percent sign", "100%% of %s", "100% of a.ttf" },
        { "other conversions stay", "%d %n %x%", "%d %n %x%" },
        { "no placeholder", "Remove the font?", "Remove the font?" },
        { "trailing percent", "%s%", "a.ttf%" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Str(FillInMessage(String(row.message), String("a.ttf"))), row.expected);
    }
}

TEST(AssociationBackupName, DropsWhatAValueNameCannotHold)
{
    EXPECT_EQ(Str(AssociationBackupName(String("Quox Demo"))), "Quox Demo Backup");
    EXPECT_EQ(Str(AssociationBackupName(String("Quox\\Demo\r\n2\t"))), "QuoxDemo2 Backup");
}

struct BackupCase {
    const char* name;
    const char* present;
    const char* replacement;
    bool backedUp;
};

class AssociationBackupRule : public testing::TestWithParam<BackupCase> {};

TEST_P(AssociationBackupRule, OnlyADifferentValueIsKept)
{
    EXPECT_EQ(NeedsAssociationBackup(String(GetParam().present), String(GetParam().replacement)),
              GetParam().backedUp);
}

INSTANTIATE_TEST_SUITE_P(, AssociationBackupRule,
    testing::Values(BackupCase{ "OtherType", "OtherApp.Doc", "Quox.Doc", true },
                    BackupCase{ "SameButForCase", "quox.doc", "Quox.Doc", false },
                    BackupCase{ "Same", "Quox.Doc", "Quox.Doc", false },
                    BackupCase{ "Missing", "", "Quox.Doc", false },
                    BackupCase{ "Blank", " \t", "Quox.Doc", false },
                    BackupCase{ "ReplacedByNothing", "old.exe %1", "", true }),
    [](const auto& info) { return std::string(info.param.name); });

}
