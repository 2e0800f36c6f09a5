#include "records/UninstallEntry.h"
#include "records/UninstallValues.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <deque>
#include <map>
#include <string>

namespace {

std::string Str(const String& s)
{
    return std::string(s.Text(), static_cast<size_t>(s.Length()));
}

// One value as a line: "name=text" (type 1), "name=%text" (2), "name#number" (4),
// "name-" when deleted.
std::string Line(const UninstallValue& v)
{
    if (v.remove)
        return Str(v.name) + "-";
    if (v.type == UninstallValue::kNumber)
        return Str(v.name) + "#" + std::to_string(v.number);
    return Str(v.name) + (v.type == UninstallValue::kExpandText ? "=%" : "=") + Str(v.text);
}

// Collects the lines; path variables "expand" by turning "%ProgramFiles%" into a path.
class Collector final : public UninstallValueSink {
public:
    void Write(const UninstallValue& value) override { lines.push_back(Line(value)); }
    String ExpandPathVariables(const String& text) override
    {
        String expanded(text);
        expanded.Replace("%ProgramFiles%", "C:\\Program Files");
        return expanded;
    }
    std::vector<std::string> lines;
};

std::vector<std::string> Lines(const UninstallValuesInput& input)
{
    Collector collector;
    WriteUninstallValues(input, collector);
    return collector.lines;
}

UninstallData Extra(const char* name, uint8_t type, const char* value)
{
    UninstallData data;
    data.name = name;
    data.type = type;
    data.value = value;
    return data;
}

const Vector<UninstallData>& ExtraValues()
{
    static Vector<UninstallData> extra;
    if (extra.IsEmpty()) {
        extra.Append(Extra("HelpLink", 1, "http://example.com/help"));
        extra.Append(Extra("Readme", 2, "%ProgramFiles%\\Quox\\readme.txt"));
        extra.Append(Extra("Shortcuts", 2, "%StartMenu%\\Quox"));
        extra.Append(Extra("EstimatedSize", 4, "4294967295"));
        extra.Append(Extra("NoModify", 4, "0"));
        extra.Append(Extra("Comments", 9, ""));
    }
    return extra;
}

// The input points to texts the installer keeps; these stay for the whole test run.
const String* Keep(const char* text)
{
    static std::deque<String> kept;
    return &kept.emplace_back(text);
}

UninstallValuesInput RichInput()
{
    UninstallValuesInput in;
    in.uninstallerPath = "C:\\Program Files\\Quox Demo\\Uninstall.exe";
    in.uninstallName = Keep("Quox Demo");
    in.displayName = Keep("Quox Demo 2");
    in.installSource = Keep("D:\\setup.exe");
    in.displayVersion = Keep("2.15b");
    in.publisher = Keep("Quox Software");
    in.productRegistry = Keep("Quox\\Demo");
    in.productStartMenu = Keep("Quox\\Demo");
    in.sharedPath = Keep("C:\\Program Files\\Common Files\\Quox");
    in.productFonts = Keep("\"Quox Sans\" \"QUOXSANS.TTF\" ");
    in.productFlags = 0x0000010000000004ull;
    in.uninstallBatch1 = Keep("del %InstallDir%\\cache.dat");
    in.sharedFiles = Keep("\"C:\\WINDOWS\\SYSTEM\\quox.ocx^\"");
    in.uninstallSubdir = Keep("Uninstall");
    in.shortcutMode = 1;
    in.displayTitle = "Quox Demo Setup";
    in.titleColor = 0x00FFFFFF;
    in.topColor = 0x00800000;
    in.bottomColor = 0x00000000;
    in.titleShadow = 2;
    in.titlePosition = 3;
    in.bitmapSize = 100;
    in.uninstallData = &ExtraValues();
    in.installLocation = Keep("C:\\Program Files\\Quox Demo");
    in.installDate.Set(12, 7, 2026, 15, 5, 9);
    return in;
}

TEST(UninstallValues, AllValuesInOrder)
{
    EXPECT_EQ(Lines(RichInput()), (std::vector<std::string>{
        "UninstallString=\"C:\\Program Files\\Quox Demo\\Uninstall.exe\" /u:\"Quox Demo\"",
        "QuietUninstallString=\"C:\\Program Files\\Quox Demo\\Uninstall.exe\" /a /u:\"Quox Demo\"",
        "DisplayName=Quox Demo 2",
        "InstallSource=D:\\setup.exe",
        "DisplayVersion=2.15b",
        "Publisher=Quox Software",
        "VersionMajor#2",
        "VersionMinor#15",
        "ProductRegistry=Quox\\Demo",
        "ProductStartMenu=Quox\\Demo",
        "SharedPath=C:\\Program Files\\Common Files\\Quox",
        "ProductFonts=\"Quox Sans\" \"QUOXSANS.TTF\" ",
        "ProductFlags=1099511627780",
        "UninstallBatch1=del %InstallDir%\\cache.dat",
        "UninstallBatch2-",
        "SharedFiles=\"C:\\WINDOWS\\SYSTEM\\quox.ocx^\"",
        "UninstallSubdir=Uninstall",
        "ShortcutMode#1",
        "DisplayTitle=Quox Demo Setup",
        "TitleColor#16777215",
        "TopColor#8388608",
        "BottomColor#0",
        "MonoColor#0",
        "TitleShadow#2",
        "TitlePosition#3",
        "BitmapSize#100",
        "HelpLink=http://example.com/help",
        "Readme=%C:\\Program Files\\Quox\\readme.txt",
        "Shortcuts=%%StartMenu%\\Quox",
        "EstimatedSize#4294967295",
        "NoModify-",
        "Comments-",
        "InstallLocation=C:\\Program Files\\Quox Demo",
        "InstallDate=12/7/26 3:05:09p",
    }));
}

TEST(UninstallValues, EmptyVersionAndOneColourDeleteTheirValues)
{
    UninstallValuesInput in;
    in.uninstallerPath = "C:\\Q\\Uninstall.exe";
    in.uninstallName = Keep("Q");
    in.monoColor = true;
    in.bottomColor = 0x123456;
    in.shortcutMode = 2; // only 1 means all users
    std::vector<std::string> lines = Lines(in);
    ASSERT_EQ(lines.size(), 28u);
    EXPECT_EQ(lines[4], "DisplayVersion-");
    EXPECT_EQ(lines[6], "VersionMajor-");
    EXPECT_EQ(lines[7], "VersionMinor-");
    EXPECT_EQ(lines[17], "ShortcutMode-");
    EXPECT_EQ(lines[21], "BottomColor-");
    EXPECT_EQ(lines[22], "MonoColor#1");
}

struct VersionCase {
    const char* name;
    const char* version;
    bool hasPoint;
    uint32_t major, minor;
};

class UninstallVersionNumbers : public testing::TestWithParam<VersionCase> {};

TEST_P(UninstallVersionNumbers, MajorMinor)
{
    const VersionCase& c = GetParam();
    uint32_t major = 99, minor = 99;
    EXPECT_EQ(VersionNumbers(String(c.version), major, minor), c.hasPoint);
    EXPECT_EQ(major, c.major);
    EXPECT_EQ(minor, c.minor);
}

INSTANTIATE_TEST_SUITE_P(, UninstallVersionNumbers,
    testing::Values(VersionCase{ "SuffixLetter", "2.15b", true, 2, 15 },
                    VersionCase{ "NoPoint", "3", false, 0, 0 },
                    VersionCase{ "Empty", "", false, 0, 0 },
                    VersionCase{ "ThreeParts", "10.0.1", true, 10, 0 },
                    VersionCase{ "LeadingPoint", ".5", true, 0, 5 },
                    VersionCase{ "LeadingLetter", "v2.1", true, 0, 1 },
                    VersionCase{ "NoSign", "-1.-2", true, 0, 0 }),
    [](const auto& info) { return std::string(info.param.name); });

struct FlagsCase {
    const char* name;
    uint64_t flags;
    const char* text;
};

class UninstallProductFlags : public testing::TestWithParam<FlagsCase> {};

TEST_P(UninstallProductFlags, DecimalBothWays)
{
    const FlagsCase& c = GetParam();
    EXPECT_EQ(Str(ProductFlagsText(c.flags)), c.text);
    EXPECT_EQ(ParseProductFlags(String(c.text)), c.flags);
}

INSTANTIATE_TEST_SUITE_P(, UninstallProductFlags,
    testing::Values(FlagsCase{ "Zero", 0, "0" },
                    FlagsCase{ "LowHalfOnly", 0x80000004u, "2147483652" },
                    FlagsCase{ "HighHalfSet", 0x0000020000008004ull, "2199023288324" },
                    FlagsCase{ "TopBitReadsNegative", 0x8000000000000204ull, "-9223372036854775292" },
                    FlagsCase{ "AllBits", ~0ull, "-1" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UninstallProductFlagsText, BlanksAroundAreIgnoredAndGarbageIsZero)
{
    EXPECT_EQ(ParseProductFlags(String(" 516 ")), 516u);
    EXPECT_EQ(ParseProductFlags(String("flags")), 0u);
    EXPECT_EQ(ParseProductFlags(String()), 0u);
}

// The registry as the uninstaller sees it: texts and numbers by name.
class FakeKey final : public UninstallValueSource, public UninstallValueSink {
public:
    void Write(const UninstallValue& v) override
    {
        std::string name = Str(v.name);
        texts.erase(name);
        numbers.erase(name);
        if (v.remove)
            return;
        if (v.type == UninstallValue::kNumber)
            numbers[name] = v.number;
        else
            texts[name] = Str(v.text);
    }
    bool ReadText(const char* name, String& text) override
    {
        auto found = texts.find(name);
        if (found == texts.end())
            return false;
        text = found->second.c_str();
        return true;
    }
    bool ReadNumber(const char* name, uint32_t& number) override
    {
        auto found = numbers.find(name);
        if (found == numbers.end())
            return false;
        number = found->second;
        return true;
    }
    std::map<std::string, std::string> texts;
    std::map<std::string, uint32_t> numbers;
};

// An entry as one line: texts as they are, numbers in hex, in the order of the struct.
std::string Describe(const UninstallEntry& e)
{
    char numbers[160];
    snprintf(numbers, sizeof(numbers), "%llx|%x,%x,%x,%x,%d|%x|%x|%x", (unsigned long long)e.productFlags,
             e.titleColor, e.titleShadow, e.topColor, e.bottomColor, e.monoColor, e.bitmapSize, e.titlePosition,
             e.shortcutMode);
    return Str(e.displayName) + "|" + Str(e.installLocation) + "|" + Str(e.displayTitle) + "|" + numbers + "|" +
           Str(e.uninstallSubdir) + "|" + Str(e.productFonts) + "|" + Str(e.sharedPath) + "|" +
           Str(e.uninstallBatch1) + "|" + Str(e.productStartMenu) + "|" + Str(e.sharedFiles) + "|" +
           Str(e.productRegistry) + "|" + Str(e.uninstallBatch2);
}

TEST(UninstallEntry, ReadsBackWhatTheInstallerWrote)
{
    UninstallValuesInput in = RichInput();
    in.productFlags = 0x8000010000000004ull;
    in.uninstallBatch2 = Keep("echo done");
    FakeKey key;
    WriteUninstallValues(in, key);

    UninstallEntry entry;
    ASSERT_TRUE(ReadUninstallEntry(key, String("Quox Demo"), 0x111, 0x222, entry));
    EXPECT_EQ(entry.FlagsHigh(), 0x80000100u);
    EXPECT_EQ(Describe(entry), "Quox Demo 2|C:\\Program Files\\Quox Demo|Quox Demo Setup|"
                               "8000010000000004|ffffff,2,800000,0,0|64|3|1|Uninstall|"
                               "\"Quox Sans\" \"QUOXSANS.TTF\" |C:\\Program Files\\Common Files\\Quox|"
                               "del %InstallDir%\\cache.dat|Quox\\Demo|\"C:\\WINDOWS\\SYSTEM\\quox.ocx^\"|"
                               "Quox\\Demo|echo done");
}

TEST(UninstallEntry, MissingValuesTakeTheirDefaults)
{
    FakeKey key;
    key.texts["InstallLocation"] = "C:\\Q";
    key.texts["DisplayName"] = "  ";
    UninstallEntry entry;
    ASSERT_TRUE(ReadUninstallEntry(key, String("Quox"), 0x111, 0x222, entry));
    EXPECT_EQ(Describe(entry), "Quox|C:\\Q||0|111,1,222,0,1|0|0|0||||||||");
}

TEST(UninstallEntry, BlankInstallLocationIsRefused)
{
    FakeKey key;
    key.texts["DisplayName"] = "Quox";
    UninstallEntry entry;
    EXPECT_FALSE(ReadUninstallEntry(key, String("Quox"), 0, 0, entry));
    key.texts["InstallLocation"] = " \t";
    EXPECT_FALSE(ReadUninstallEntry(key, String("Quox"), 0, 0, entry));
}

}
