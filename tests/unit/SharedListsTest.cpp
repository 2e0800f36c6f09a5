#include "records/FontList.h"
#include "records/SharedFileList.h"
#include <gtest/gtest.h>
#include <string>

namespace {

std::string Str(const String& s)
{
    return std::string(s.Text(), static_cast<size_t>(s.Length()));
}

// Every entry of a shared-file list as "path[marker]|", the marker shown as a name.
std::string SharedEntries(const String& list)
{
    std::string out;
    int32_t position = 0;
    String path;
    char marker = 0;
    while (NextSharedFile(list, position, path, marker)) {
        const char* name = marker == kSharedMarkerCom       ? "com"
                           : marker == kSharedMarkerTypeLib ? "typelib"
                           : marker == kSharedMarkerKeep    ? "keep"
                                                            : "none";
        out += Str(path) + "[" + name + "]|";
    }
    return out;
}

struct MarkerCase {
    const char* name;
    int32_t destination;
    int32_t flags;
    char marker;
};

class SharedFileMarkers : public testing::TestWithParam<MarkerCase> {};

TEST_P(SharedFileMarkers, ByDestinationAndPermanence)
{
    EXPECT_EQ(SharedFileMarker(GetParam().destination, GetParam().flags), GetParam().marker);
}

INSTANTIATE_TEST_SUITE_P(, SharedFileMarkers,
    testing::Values(MarkerCase{ "Shared", 1, 0, kSharedMarkerNone },
                    MarkerCase{ "SharedPermanent", 1, 0x20, kSharedMarkerKeep },
                    MarkerCase{ "System", 6, 0, kSharedMarkerKeep },
                    MarkerCase{ "ComServer", 7, 0x3, kSharedMarkerCom },
                    MarkerCase{ "ComServerPermanent", 7, 0x23, kSharedMarkerKeep },
                    MarkerCase{ "TypeLibrary", 8, 0, kSharedMarkerTypeLib },
                    MarkerCase{ "TypeLibraryPermanent", 8, 0x20, kSharedMarkerKeep }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SharedFileList, WrittenTextAndReadBack)
{
    String list;
    AppendSharedFile(list, String("C:\\Common\\a.dll"), kSharedMarkerNone);
    AppendSharedFile(list, String("C:\\WINDOWS\\SYSTEM\\b.ocx"), kSharedMarkerCom);
    AppendSharedFile(list, String("C:\\WINDOWS\\SYSTEM\\c.tlb"), kSharedMarkerTypeLib);
    AppendSharedFile(list, String("C:\\WINDOWS\\SYSTEM\\d.dll"), kSharedMarkerKeep);
    EXPECT_EQ(Str(list), "\"C:\\Common\\a.dll\";\"C:\\WINDOWS\\SYSTEM\\b.ocx^\";"
                         "\"C:\\WINDOWS\\SYSTEM\\c.tlb\xA9\";\"C:\\WINDOWS\\SYSTEM\\d.dll \"");
    EXPECT_EQ(SharedEntries(list), "C:\\Common\\a.dll[none]|C:\\WINDOWS\\SYSTEM\\b.ocx[com]|"
                                   "C:\\WINDOWS\\SYSTEM\\c.tlb[typelib]|C:\\WINDOWS\\SYSTEM\\d.dll[keep]|");
}

struct ReadCase {
    const char* name;
    const char* list;
    const char* entries;
};

class SharedFileListReading : public testing::TestWithParam<ReadCase> {};

TEST_P(SharedFileListReading, Entries)
{
    EXPECT_EQ(SharedEntries(String(GetParam().list)), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(, SharedFileListReading,
    testing::Values(ReadCase{ "Empty", "", "" },
                    ReadCase{ "UnclosedLastEntry", "\"C:\\a.dll\";\"C:\\b.dll", "C:\\a.dll[none]|C:\\b.dll[none]|" },
                    ReadCase{ "StopsAtEmptyEntry", "\"C:\\a.dll\";\"\";\"C:\\b.dll\"", "C:\\a.dll[none]|" },
                    ReadCase{ "StopsAtEntryOfOnlyAMarker", "\"^\";\"C:\\b.dll\"", "" },
                    ReadCase{ "StopsWithoutQuote", "C:\\a.dll;\"C:\\b.dll\"", "" },
                    ReadCase{ "BlankAfterSemicolonEnds", "\"C:\\a.dll\"; \"C:\\b.dll\"", "C:\\a.dll[none]|" },
                    ReadCase{ "MarkersStrippedInOrder", "\"C:\\a.dll ^\"", "C:\\a.dll[keep]|" }),
    [](const auto& info) { return std::string(info.param.name); });

// The installer's entries (path and marker) become value names and list entries: the
// marker comes off in the reader's order, and the same entry goes back into the list.
struct StripCase {
    const char* name;
    const char* entry;
    const char* path;
    char marker;
};

class SharedMarkerStripping : public testing::TestWithParam<StripCase> {};

TEST_P(SharedMarkerStripping, ValueNameAndMarker)
{
    String path(GetParam().entry);
    EXPECT_EQ(StripSharedMarker(path), GetParam().marker);
    EXPECT_EQ(Str(path), GetParam().path);
    String list;
    AppendSharedFile(list, path, GetParam().marker);
    EXPECT_EQ(Str(list), std::string("\"") + GetParam().entry + "\"");
}

INSTANTIATE_TEST_SUITE_P(, SharedMarkerStripping,
    testing::Values(StripCase{ "NoMarker", "C:\\a.dll", "C:\\a.dll", kSharedMarkerNone },
                    StripCase{ "Keep", "C:\\a.dll ", "C:\\a.dll", kSharedMarkerKeep },
                    StripCase{ "Com", "C:\\a.ocx^", "C:\\a.ocx", kSharedMarkerCom },
                    StripCase{ "TypeLibrary", "C:\\a.tlb\xA9", "C:\\a.tlb", kSharedMarkerTypeLib },
                    // Only the one marker goes: a caret before it belongs to the name.
                    StripCase{ "CaretBeforeTypeLibraryMarker", "C:\\a^\xA9", "C:\\a^", kSharedMarkerTypeLib }),
    [](const auto& info) { return std::string(info.param.name); });

// Every pair of a font list as "face=file|".
std::string Fonts(const String& list)
{
    std::string out;
    int32_t position = 0;
    String face, file;
    while (NextFont(list, position, face, file))
        out += Str(face) + "=" + Str(file) + "|";
    return out;
}

TEST(FontList, WrittenTextAndReadBack)
{
    String list;
    AppendFont(list, String("Quox Sans"), String("QUOXSANS.TTF"));
    AppendFont(list, String("Quox Mono Bold"), String("QUOXMB.TTF"));
    EXPECT_EQ(Str(list), "\"Quox Sans\" \"QUOXSANS.TTF\" \"Quox Mono Bold\" \"QUOXMB.TTF\" ");
    EXPECT_EQ(Fonts(list), "Quox Sans=QUOXSANS.TTF|Quox Mono Bold=QUOXMB.TTF|");
}

TEST(FontList, DamagedLists)
{
    EXPECT_EQ(Fonts(String("   \"A\"   \"a.ttf\"\"B\" \"b.ttf\"")), "A=a.ttf|B=b.ttf|");
    EXPECT_EQ(Fonts(String("\"A\" \"a.ttf\" \"\" \"x.ttf\" \"C\" \"c.ttf\" ")), "A=a.ttf|");
    EXPECT_EQ(Fonts(String("\"A\" \"B\" ")), "A=B|");
    EXPECT_EQ(Fonts(String("\"A\" junk \"B\" \"b.ttf\"")), "A=|");
    EXPECT_EQ(Fonts(String("\"A\" \"a.ttf")), "A=a.ttf|");
    EXPECT_EQ(Fonts(String("\"A")), "A=|");
}

}
