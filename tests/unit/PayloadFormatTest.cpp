#include "core/LittleEndian.h"
#include "payload/ErrorCodes.h"
#include "payload/FileEntry.h"
#include "payload/PayloadHeaderReader.h"
#include "payload/PayloadLayout.h"
#include <gtest/gtest.h>
#include <string>

namespace {

TEST(PayloadHeader, StoredAtTheDocumentedOffsetsAndReadBack)
{
    PayloadHeader header {};
    header.magic = kPayloadMagic;
    header.builderVersion = kBuilderVersion;
    header.settingsLength = 5;
    header.settingsKey = 0x01020304;
    header.stubChecksum = 0xCAFEF00D;
    header.fileDataEnd = 77;
    header.sizeCount = 0;
    header.fileDataLength = 1234;
    header.fileDataChecksum = 0x89ABCDEF;
    uint8_t bytes[kPayloadHeaderSize + 5] = {};
    StorePayloadHeader(bytes, header);

    // The builder patches the stub checksum alone; the installer reads it at 16.
    EXPECT_EQ(LoadLittleEndian32(bytes + 16), 0xCAFEF00Du);
    EXPECT_EQ(LoadLittleEndian32(bytes + 0), kPayloadMagic);
    EXPECT_EQ(LoadLittleEndian32(bytes + 32), 0x89ABCDEFu);

    PayloadCursor cursor(bytes, sizeof bytes);
    PayloadHeaderFields fields;
    ASSERT_EQ(ReadPayloadHeader(cursor, fields), 0);
    EXPECT_EQ(fields.header.settingsLength, 5);
    EXPECT_EQ(fields.header.settingsKey, 0x01020304u);
    EXPECT_EQ(fields.header.stubChecksum, 0xCAFEF00Du);
    EXPECT_EQ(fields.header.fileDataEnd, 77);
    EXPECT_EQ(fields.header.fileDataLength, 1234);
    EXPECT_EQ(fields.header.fileDataChecksum, 0x89ABCDEFu);
    EXPECT_EQ(fields.fileDataOffset, kPayloadHeaderSize + 5);
}

// One entry in its stored form, put together field by field.
struct EntryBytes {
    std::string bytes;

    EntryBytes& Text(const char* text)
    {
        bytes.append(text);
        bytes += '\0';
        return *this;
    }
    EntryBytes& Int(int32_t value)
    {
        uint8_t word[4];
        StoreLittleEndian32(word, static_cast<uint32_t>(value));
        bytes.append(reinterpret_cast<const char*>(word), 4);
        return *this;
    }
    EntryBytes& Data(const char* data)
    {
        bytes.append(data);
        return *this;
    }
    // Checksum and the six date fields.
    EntryBytes& Trailer()
    {
        Int(0x11111111);
        for (int32_t field : { 2024, 5, 1, 12, 0, 0 })
            Int(field);
        return *this;
    }
};

// name, destination, flags, attributes, data, checksum, date, then the texts.
std::string Entry(const char* name, int32_t flags, const char* data, bool withIcon)
{
    EntryBytes e;
    e.Text(name).Int(kDestinationInstall).Int(flags).Int(-1).Data(data).Trailer().Text("Shortcut");
    if (withIcon)
        e.Text("app.ico");
    e.Text("-x").Text("").Text("%InstallDir%");
    return e.bytes;
}

struct EntryCase {
    const char* name;
    std::string bytes;
    int32_t size;
    int code;
};

class FileEntryRead : public testing::TestWithParam<EntryCase> {};

TEST_P(FileEntryRead, AnswersTheCorruptCode)
{
    const EntryCase& c = GetParam();
    PayloadCursor cursor(c.bytes.data(), static_cast<int32_t>(c.bytes.size()));
    FileEntry entry;
    EXPECT_EQ(ReadFileEntry(cursor, c.size, entry), c.code);
}

std::string Cut(std::string bytes, size_t keep)
{
    bytes.resize(keep);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(, FileEntryRead,
    testing::Values(
        EntryCase{ "Complete", Entry("a.txt", 0, "hello", false), 5, 0 },
        EntryCase{ "CompleteWithIcon", Entry("a.txt", kEntryDesktopShortcut, "hello", true), 5, 0 },
        EntryCase{ "EmptyName", Entry("", 0, "hello", false), 5, kCodeEmptyName },
        EntryCase{ "NegativeSize", Entry("a.txt", 0, "", false), -1, kCodeNegativeSize },
        EntryCase{ "SizeTooLarge", Entry("a.txt", 0, "", false), kMaxFileSize + 1, kCodeSizeTooLarge },
        EntryCase{ "DataPastTheEnd", Entry("a.txt", 0, "hello", false), 500, kCodePayloadOverrun },
        EntryCase{ "NameUnterminated", std::string("a.txt"), 0, kCodePayloadOverrun },
        EntryCase{ "CutInTheDate", Cut(Entry("a.txt", 0, "hello", false), 30), 5, kCodePayloadOverrun },
        // A shortcut entry stores an icon; without it the last text is missing.
        EntryCase{ "IconMissing", Entry("a.txt", kEntryStartMenuShortcut, "hello", false), 5, kCodePayloadOverrun }),
    [](const testing::TestParamInfo<EntryCase>& info) { return info.param.name; });

TEST(FileEntry, FieldsPointIntoTheData)
{
    std::string bytes = Entry("docs\\a.txt", kEntryDesktopShortcut | kInstallIfMissing, "hello", true) +
                        Entry("b.txt", 0, "", false);
    PayloadCursor cursor(bytes.data(), static_cast<int32_t>(bytes.size()));
    FileEntry entry;
    ASSERT_EQ(ReadFileEntry(cursor, 5, entry), 0);
    EXPECT_STREQ(entry.name, "docs\\a.txt");
    EXPECT_EQ(entry.flags & kEntryConditionMask, kInstallIfMissing);
    EXPECT_EQ(entry.attributes, -1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(entry.data), entry.dataLength), "hello");
    EXPECT_EQ(entry.checksum, 0x11111111u);
    EXPECT_EQ(entry.date[0], 2024);
    EXPECT_STREQ(entry.text1, "Shortcut");
    EXPECT_STREQ(entry.icon, "app.ico");
    EXPECT_STREQ(entry.arguments, "-x");
    EXPECT_STREQ(entry.workdir, "%InstallDir%");

    ASSERT_EQ(ReadFileEntry(cursor, 0, entry), 0);
    EXPECT_STREQ(entry.name, "b.txt");
    EXPECT_STREQ(entry.icon, "");
    EXPECT_EQ(cursor.Remaining(), 0);
}

TEST(FileEntry, HasAPlace)
{
    struct Row {
        const char* name;
        int32_t destination;
        int32_t flags;
        const char* target;
        bool place;
    } rows[] = {
        { "install", kDestinationInstall, 0, "", true },
        { "install-versioned", kDestinationInstallVersioned, 0, "", true },
        { "target without a path", kDestinationTarget, 0, "new.txt", false },
        { "target with a path", kDestinationTarget, 0, "%WinDir%\\", true },
        { "unknown destination", 42, 0, "", false },
        { "unknown destination beside the uninstaller", 42, kEntryUninstallDirectory, "", true },
    };
    for (const Row& row : rows)
        EXPECT_EQ(FileEntryHasPlace(row.destination, row.flags, row.target), row.place) << row.name;
}

} // namespace
