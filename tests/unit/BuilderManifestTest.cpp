#include "builder/DefaultStrings.h"
#include "builder/FileData.h"
#include "builder/Manifest.h"
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

std::filesystem::path g_directory;

void WriteFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A BMP file with a bitmap header of `headerSize` bytes.
std::string Bitmap(uint32_t headerSize)
{
    std::string bmp = "BM" + std::string(12, '\0');
    std::string header(headerSize + 16, '\0');
    memcpy(&header[0], &headerSize, 4);
    return bmp + header;
}

class ManifestErrors : public testing::Test {
public:
    static void SetUpTestSuite()
    {
        g_directory = std::filesystem::temp_directory_path() / ("quox-manifest-test-" + std::to_string(getpid()));
        WriteFile(g_directory / "a.txt", "a");
        WriteFile(g_directory / "b.txt", "bb");
        WriteFile(g_directory / "LICENSE.txt", "licence\n");
        WriteFile(g_directory / "v5.bmp", Bitmap(124));
        WriteFile(g_directory / "not.bmp", std::string(64, 'x'));
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(g_directory); }
};

// Reads the manifest and collects its files, as `quox build` does, and answers every
// message with the directory taken out so that rows can name files plainly.
std::string Problems(const std::string& text, size_t& count)
{
    Manifest manifest;
    Diagnostics diagnostics;
    if (ParseManifest(text, g_directory / "manifest.toml", manifest, diagnostics)) {
        std::vector<PackedFile> files;
        CollectFiles(manifest, files, diagnostics);
    }
    count = diagnostics.Items().size();
    std::string all = diagnostics.Text();
    std::string prefix = g_directory.string() + "/";
    for (size_t at; (at = all.find(prefix)) != std::string::npos;)
        all.erase(at, prefix.size());
    return all;
}

struct ErrorCase {
    const char* name;
    std::string manifest;
    const char* message; // one line of the output
    size_t count;
};

std::string Repeat(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

const std::string kProduct = "[product]\nname = \"P\"\n";

const ErrorCase kErrorCases[] = {
    { "UnknownKey", kProduct + "versoin = \"1\"\n",
      "manifest.toml:3: [product] versoin: unknown key (did you mean \"version\"?)", 1 },
    { "UnknownTable", kProduct + "[look]\n[scirpts]\n", "manifest.toml:4: scirpts: unknown table (did you mean \"scripts\"?)", 1 },
    { "MissingProductName", "[product]\npublisher = \"X\"\n",
      "manifest.toml:1: [product] name: missing: every package needs a product name", 1 },
    { "UnknownFlag", kProduct + "flags = [\"AskDirectory\", \"UninstalSupport\"]\n",
      "manifest.toml:3: [product] flags: unknown flag \"UninstalSupport\" (did you mean \"UninstallSupport\"?)", 1 },
    { "FlagTheBuilderSets", kProduct + "flags = [\"CompressedFileData\"]\n",
      "manifest.toml:3: [product] flags: \"CompressedFileData\" is set by [package] compression, not in the flag list", 1 },
    { "RunTimeFlag", kProduct + "flags = [\"RestartRequired\"]\n",
      "[product] flags: \"RestartRequired\" is set by the installer while it runs, not in the flag list", 1 },
    { "UnknownWindowsVersion", kProduct + "excluded_windows = [\"Win95\", \"Vista\"]\n",
      "manifest.toml:3: [product] excluded_windows: unknown Windows version \"Vista\"", 1 },
    { "WrongType", kProduct + "[install]\nstep_delay = \"slow\"\n",
      "manifest.toml:4: [install] step_delay: expected an integer, found a text", 1 },
    { "StepDelayOverLimit", kProduct + "[install]\nstep_delay = 10000\n",
      "manifest.toml:4: [install] step_delay: 10000 is out of range (0 to 9999)", 1 },
    { "TwentyOneLicences", kProduct + "[install]\nlicenses = [" + Repeat("\"LICENSE.txt\", ", 20) + "\"LICENSE.txt\"]\n",
      "manifest.toml:4: [install] licenses: 21 texts; a package holds at most 20", 1 },
    { "MissingLicenceFile", kProduct + "[install]\nreadmes = [\"LICENSE.txt\", \"NOTES.txt\"]\n",
      "manifest.toml:4: [install] readmes: no such file: \"NOTES.txt\"", 1 },
    { "PictureSizeOverLimit", kProduct + "[look]\npicture_size = 101\n",
      "manifest.toml:4: [look] picture_size: 101 is out of range (0 to 100)", 1 },
    { "PictureWithNewHeader", kProduct + "[look]\npicture = \"v5.bmp\"\n",
      "manifest.toml:4: [look] picture: \"v5.bmp\" has a 124-byte bitmap header", 1 },
    { "PictureNotBmp", kProduct + "[look]\npicture = \"not.bmp\"\n",
      "manifest.toml:4: [look] picture: \"not.bmp\" is not a BMP file", 1 },
    { "BadColour", kProduct + "[look]\ntop_color = \"navy\"\n",
      "manifest.toml:4: [look] top_color: expected a colour as \"#RRGGBB\"", 1 },
    { "UnknownTitlePosition", kProduct + "[look]\ntitle_position = \"middle\"\n",
      "manifest.toml:4: [look] title_position: unknown title position \"middle\" (expected one of: none, top-left", 1 },
    { "UnknownDestination", kProduct + "[files.docs]\nsource = \"a.txt\"\ndestination = \"sytem\"\n",
      "manifest.toml:5: [files.docs] destination: unknown destination \"sytem\" (expected one of: install, shared, "
      "target, fonts, startup, system, system-com, system-typelib, install-versioned)",
      1 },
    { "SourceMatchesNothing", kProduct + "[files.docs]\nsource = [\"a.txt\", \"docs/*.txt\"]\n",
      "manifest.toml:4: [files.docs] source: \"docs/*.txt\" matches no file", 1 },
    { "MissingSource", kProduct + "[files.docs]\ndestination = \"install\"\n",
      "manifest.toml:3: [files.docs] source: missing", 1 },
    { "UnknownFileFlag", kProduct + "[files.docs]\nsource = \"a.txt\"\nflags = [\"Desktop\"]\n",
      "manifest.toml:5: [files.docs] flags: unknown file flag \"Desktop\"", 1 },
    { "RenameManyFilesToOne", kProduct + "[files.docs]\nsource = \"*.txt\"\ntarget = \"one.txt\"\n",
      "[files.docs] target: renames every file of the group to \"one.txt\", but the group has 3 files", 1 },
    { "TargetDestinationWithoutPath", kProduct + "[files.x]\nsource = \"a.txt\"\ndestination = \"target\"\n",
      "[files.x] target: the destination \"target\" needs a target path with a backslash", 1 },
    { "FontWithoutFaceName", kProduct + "[files.x]\nsource = \"a.txt\"\ndestination = \"fonts\"\n",
      "[files.x] font: missing: a file installed into the fonts folder needs its font's face name", 1 },
    { "VersionOnInstallDestination", kProduct + "[files.x]\nsource = \"a.txt\"\nversion = \"1.0\"\n",
      "manifest.toml:5: [files.x] version: only the destinations system, system-com, system-typelib and "
      "install-versioned use it",
      1 },
    { "IconWithoutShortcut", kProduct + "[files.x]\nsource = \"a.txt\"\nicon = \"a.ico\"\n",
      "manifest.toml:5: [files.x] icon: only a DesktopShortcut or StartMenuShortcut uses an icon", 1 },
    { "TooManyDeletionRules", kProduct + Repeat("[[deletions]]\npath = \"*.tmp\"\n", 1002),
      "manifest.toml:3: [[deletions]]: 1002 rules; a package holds at most 1001", 1 },
    { "DeletionDateMissing", kProduct + "[[deletions]]\npath = \"*.old\"\nwhen = \"date-not-later\"\nsize = 3\n",
      "[[deletions]] #1 date: this condition compares with a date", 2 },
    { "DeletionEndMarkerAsPath", kProduct + "[[deletions]]\npath = \"~~THE END~~\"\n",
      "manifest.toml:4: [[deletions]] #1 path: \"~~THE END~~\" ends the rule list", 1 },
    { "AssociationInUnknownLanguage",
      kProduct + "[[associations]]\nextension = \"x\"\nverb = \"open\"\ncommand = \"c\"\nlanguage = \"Deutsch\"\n",
      "manifest.toml:7: [[associations]] #1 language: \"Deutsch\" is not one of the package's languages", 1 },
    { "AssociationWithoutVerb", kProduct + "[[associations]]\nextension = \"x\"\ncommand = \"c\"\n",
      "manifest.toml:3: [[associations]] #1 verb: missing", 1 },
    { "UninstallNumberNotANumber", kProduct + "[[uninstall_values]]\nname = \"Size\"\ntype = \"number\"\nvalue = \"big\"\n",
      "manifest.toml:6: [[uninstall_values]] #1 value: expected an integer, found a text", 1 },
    { "HundredAndOneLanguages", kProduct + "[strings]\nlanguages = [" + [] {
          std::string list;
          for (int i = 0; i < 101; ++i)
              list += (i ? ", \"L" : "\"L") + std::to_string(i) + "\"";
          return list;
      }() + "]\n",
      "manifest.toml:4: [strings] languages: 101 languages; a package holds 1 to 100", 1 },
    { "LanguageTwice", kProduct + "[strings]\nlanguages = [\"English\", \"English\"]\n",
      "[strings] languages: \"English\" is named twice", 1 },
    { "StringNumberOverLimit", kProduct + "[strings.English]\n10000 = \"x\"\n",
      "manifest.toml:4: [strings.English] 10000: unknown string number: keys are message numbers 0 to 9999", 1 },
    { "StringsOfUnlistedLanguage", kProduct + "[strings.Deutsch]\n1 = \"Hallo\"\n",
      "manifest.toml:3: [strings] Deutsch: not one of the package's languages (English)", 1 },
    { "ConversionThatDoesNotFit", kProduct + "[strings.English]\n16 = \"Drive %s is not ready\"\n",
      "manifest.toml:4: [strings.English] 16: \"%s\" does not fit: message 16 is formatted with %c", 1 },
    { "ConversionInUnformattedCodeMessage", kProduct + "[strings.English]\n13 = \"Broken: %s\"\n",
      "[strings.English] 13: \"%s\" does not fit: message 13 is formatted with %d", 1 },
    { "CharacterOutsideCodePage", "[product]\nname = \"\xCE\xA9mega\"\n",
      "manifest.toml:2: [product] name: the character U+03A9 cannot be written in code page 1252", 1 },
    { "ZeroByteInText", kProduct + "publisher = \"a\\u0000b\"\n",
      "manifest.toml:3: [product] publisher: contains a zero byte", 1 },
    { "PatchWithoutUninstallSupport", kProduct + "[uninstaller]\npatch = \"a.txt\"\npatch_offset = 64\n",
      "[uninstaller] patch: an uninstaller patch needs the UninstallSupport flag", 1 },
    { "VolumeBaseWithFolder", kProduct + "[package]\nvolume_base = \"disks\\\\setup\"\n",
      "manifest.toml:4: [package] volume_base: \"disks\\setup\" is not a plain file name", 1 },
    { "TwoProblemsBothNamed", kProduct + "[install]\nstep_delay = -1\n[look]\ntitle_shadow = 300\n",
      "manifest.toml:6: [look] title_shadow: 300 is out of range (0 to 255)", 2 },
    { "NotToml", "[product\nname = \"P\"\n", "manifest.toml:1: not valid TOML: ", 1 },
};

class ManifestErrorTable : public ManifestErrors, public testing::WithParamInterface<ErrorCase> {};

TEST_P(ManifestErrorTable, NamesFileLineTableAndField)
{
    const ErrorCase& c = GetParam();
    size_t count = 0;
    std::string problems = Problems(c.manifest, count);
    EXPECT_NE(problems.find(c.message), std::string::npos) << problems;
    EXPECT_EQ(count, c.count) << problems;
}

INSTANTIATE_TEST_SUITE_P(, ManifestErrorTable, testing::ValuesIn(kErrorCases),
                         [](const testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

TEST_F(ManifestErrors, LimitsAreAcceptedAtTheirEdges)
{
    size_t count = 0;
    std::string problems = Problems(kProduct + "[install]\nstep_delay = 9999\nlicenses = [" +
                                        Repeat("\"LICENSE.txt\", ", 19) + "\"LICENSE.txt\"]\n[look]\npicture_size = 100\n" +
                                        Repeat("[[deletions]]\npath = \"*.tmp\"\n", 1001),
                                    count);
    EXPECT_EQ(count, 0u) << problems;
}

TEST_F(ManifestErrors, GroupsKeepManifestOrderAndGlobsSortedPaths)
{
    WriteFile(g_directory / "tree/b/2.txt", "2");
    WriteFile(g_directory / "tree/a/1.txt", "1");
    WriteFile(g_directory / "tree/0.txt", "0");
    Manifest manifest;
    Diagnostics diagnostics;
    ASSERT_TRUE(ParseManifest(kProduct + "[files.zz]\nsource = \"b.txt\"\n[files.aa]\nsource = \"tree/**/*.txt\"\nsubdir = \"t\"\n",
                              g_directory / "manifest.toml", manifest, diagnostics))
        << diagnostics.Text();
    std::vector<PackedFile> files;
    ASSERT_TRUE(CollectFiles(manifest, files, diagnostics)) << diagnostics.Text();
    std::vector<std::string> names;
    for (const PackedFile& f : files)
        names.push_back(f.name);
    EXPECT_EQ(names, (std::vector<std::string>{ "b.txt", "t\\0.txt", "t\\a\\1.txt", "t\\b\\2.txt" }));
    std::filesystem::remove_all(g_directory / "tree");
}

TEST(DefaultStrings, EveryMessageHasASoundEnglishTextThatFitsItsArguments)
{
    const int used[] = { 0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23,
                         24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47,
                         48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 61, 62, 65, 66, 67, 68, 69, 70, 71 };
    for (int number : used) {
        const char* text = DefaultEnglishString(number);
        ASSERT_NE(text, nullptr) << number;
        EXPECT_GT(strlen(text), 1u) << number;
        EXPECT_EQ(CheckMessageConversions(number, text), "") << number;
        EXPECT_LT(number, kDefaultStringRows);
    }
    // The licence and readme held in the table are empty unless a package gives one, or
    // every installer would show them.
    EXPECT_STREQ(DefaultEnglishString(63), "");
    EXPECT_STREQ(DefaultEnglishString(64), "");
}

struct ConversionCase {
    const char* name;
    int number;
    const char* text;
    bool accepted;
};

class MessageConversions : public testing::TestWithParam<ConversionCase> {};

TEST_P(MessageConversions, MatchTheInstallersArguments)
{
    const ConversionCase& c = GetParam();
    EXPECT_EQ(CheckMessageConversions(c.number, c.text).empty(), c.accepted);
}

INSTANTIATE_TEST_SUITE_P(, MessageConversions,
    testing::Values(ConversionCase{ "AllInOrder", 19, "%s on %c: (%s free)", true },
                    ConversionCase{ "FewerIsFine", 19, "not enough space on %s", true },
                    ConversionCase{ "NoneIsFine", 26, "Insert the next disk", true },
                    ConversionCase{ "PercentSign", 22, "100%% sure about %s?", true },
                    ConversionCase{ "WrongOrder", 26, "drive %c, disk %d", false },
                    ConversionCase{ "OneTooMany", 12, "%s and %s", false },
                    ConversionCase{ "WidthNotAllowed", 12, "%20s", false },
                    ConversionCase{ "LonePercentAtEnd", 12, "50%", false },
                    ConversionCase{ "UnformattedMessageIsFree", 1, "50% off: %s", true }),
    [](const testing::TestParamInfo<ConversionCase>& info) { return std::string(info.param.name); });

}
