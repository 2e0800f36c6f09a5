#include "core/Checksum.h"
#include "core/MemoryReader.h"
#include "core/MemoryWriter.h"
#include "core/String.h"
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::string Bytes(const String& s)
{
    return std::string(s.Text(), static_cast<size_t>(s.Length()));
}

std::string Written(MemoryWriter& writer)
{
    writer.Finish();
    return Bytes(writer.Contents());
}

// Records the size of every write it is given.
class RecordingSink final : public ByteSink {
public:
    bool Write(const void* source, int32_t count) override
    {
        sizes.push_back(count);
        bytes.append(static_cast<const char*>(source), static_cast<size_t>(count));
        return true;
    }
    std::vector<int32_t> sizes;
    std::string bytes;
};

// Takes `capacity` bytes and refuses the write that would pass it.
class FullSink final : public ByteSink {
public:
    explicit FullSink(int32_t capacity) : m_left(capacity) {}
    bool Write(const void*, int32_t count) override
    {
        ++writes;
        if (count > m_left)
            return false;
        m_left -= count;
        return true;
    }
    int writes = 0;

private:
    int32_t m_left;
};

TEST(ByteStream, IntegersAreLittleEndianAndReadBack)
{
    MemoryWriter writer;
    EXPECT_TRUE(writer.WriteU8(0xAB));
    EXPECT_TRUE(writer.WriteU16(0x1234));
    EXPECT_TRUE(writer.WriteI32(-2));
    EXPECT_TRUE(writer.WriteI64(0x0102030405060708LL));
    std::string bytes = Written(writer);
    EXPECT_EQ(bytes, std::string("\xAB\x34\x12\xFE\xFF\xFF\xFF\x08\x07\x06\x05\x04\x03\x02\x01", 15));

    MemoryReader reader(writer.Contents());
    uint8_t u8 = 0;
    uint16_t u16 = 0;
    int32_t i32 = 0;
    uint64_t u64 = 0;
    EXPECT_TRUE(reader.ReadU8(u8));
    EXPECT_TRUE(reader.ReadU16(u16));
    EXPECT_TRUE(reader.ReadI32(i32));
    EXPECT_TRUE(reader.ReadU64(u64));
    EXPECT_EQ(u8, 0xAB);
    EXPECT_EQ(u16, 0x1234);
    EXPECT_EQ(i32, -2);
    EXPECT_EQ(u64, 0x0102030405060708ULL);
    // Past the end the reads fail and deliver zeros, never stale bytes.
    int64_t i64 = 77;
    EXPECT_FALSE(reader.ReadI64(i64));
    EXPECT_EQ(i64, 0);
}

TEST(ByteStream, ShortIntegerReadKeepsWhatWasThereAndZeroFills)
{
    MemoryReader reader("\x01\x02", 2);
    int32_t value = -1;
    EXPECT_FALSE(reader.ReadI32(value));
    EXPECT_EQ(value, 0x0201);
    EXPECT_EQ(reader.Position(), 2);
}

struct CountedTextCase {
    const char* name;
    int lengthBytes;
    int32_t textLength;
    std::string expectedPrefix; // the length field as written
    int32_t expectedKept;
};

class CountedTextWrite : public testing::TestWithParam<CountedTextCase> {};

TEST_P(CountedTextWrite, WritesTheCappedLengthThenThoseBytes)
{
    const CountedTextCase& c = GetParam();
    String text;
    text.SetLength(c.textLength);
    for (int32_t i = 0; i < c.textLength; ++i)
        text.Buffer()[i] = static_cast<char>('a' + i % 26);
    MemoryWriter writer;
    bool ok = c.lengthBytes == 1 ? writer.WriteText8(text)
            : c.lengthBytes == 2 ? writer.WriteText16(text)
                                 : writer.WriteText32(text);
    EXPECT_TRUE(ok);
    std::string bytes = Written(writer);
    ASSERT_EQ(bytes.size(), c.expectedPrefix.size() + static_cast<size_t>(c.expectedKept));
    EXPECT_EQ(bytes.substr(0, c.expectedPrefix.size()), c.expectedPrefix);
    EXPECT_EQ(bytes.substr(c.expectedPrefix.size()), Bytes(text).substr(0, static_cast<size_t>(c.expectedKept)));

    // And it reads back as the kept part.
    MemoryReader reader(writer.Contents());
    String back("stale");
    ok = c.lengthBytes == 1 ? reader.ReadText8(back) : c.lengthBytes == 2 ? reader.ReadText16(back) : reader.ReadText32(back);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Bytes(back), Bytes(text).substr(0, static_cast<size_t>(c.expectedKept)));
}

INSTANTIATE_TEST_SUITE_P(
    ByteStream, CountedTextWrite,
    testing::Values(CountedTextCase{ "Text8Of300KeepsFirst255", 1, 300, std::string("\xFF", 1), 255 },
                    CountedTextCase{ "Text8Empty", 1, 0, std::string("\0", 1), 0 },
                    CountedTextCase{ "Text16Of70000KeepsFirst65535", 2, 70000, std::string("\xFF\xFF", 2), 65535 },
                    CountedTextCase{ "Text32KeepsAll", 4, 70000, std::string("\x70\x11\x01\x00", 4), 70000 }),
    [](const testing::TestParamInfo<CountedTextCase>& info) { return info.param.name; });

struct BadTextCase {
    const char* name;
    std::string bytes;
    int lengthBytes;
};

class CountedTextRead : public testing::TestWithParam<BadTextCase> {};

TEST_P(CountedTextRead, FailedReadLeavesTheTextEmpty)
{
    const BadTextCase& c = GetParam();
    MemoryReader reader(c.bytes.data(), static_cast<int32_t>(c.bytes.size()));
    String text("stale");
    bool ok = c.lengthBytes == 1 ? reader.ReadText8(text) : c.lengthBytes == 2 ? reader.ReadText16(text) : reader.ReadText32(text);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(text.IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    ByteStream, CountedTextRead,
    testing::Values(BadTextCase{ "Length5ButThreeBytes", std::string("\x05" "abc", 4), 1 },
                    BadTextCase{ "NoLengthByte", std::string(), 1 },
                    BadTextCase{ "Text16CutLength", std::string("\x05", 1), 2 },
                    BadTextCase{ "Text32NegativeLength", std::string("\xFF\xFF\xFF\xFF" "abc", 7), 4 },
                    BadTextCase{ "Text32HugeLengthShortData", std::string("\xFF\xFF\xFF\x7F" "abc", 7), 4 }),
    [](const testing::TestParamInfo<BadTextCase>& info) { return info.param.name; });

TEST(ByteStream, ZeroTerminatedTexts)
{
    // The writer leaves out the terminator; the reader stops at a zero or at the end.
    MemoryWriter writer;
    EXPECT_TRUE(writer.WriteZeroTerminated("abc"));
    EXPECT_TRUE(writer.WriteU8(0));
    EXPECT_TRUE(writer.WriteZeroTerminated(nullptr));
    std::string longText(1000, 'q');
    EXPECT_TRUE(writer.WriteZeroTerminated(longText.c_str()));
    EXPECT_EQ(Written(writer), "abc" + std::string(1, '\0') + longText);

    MemoryReader reader(writer.Contents());
    String text;
    EXPECT_TRUE(reader.ReadZeroTerminated(text));
    EXPECT_EQ(Bytes(text), "abc");
    EXPECT_TRUE(reader.ReadZeroTerminated(text)); // ended by the end of the data
    EXPECT_EQ(Bytes(text), longText);
    text = "stale";
    EXPECT_FALSE(reader.ReadZeroTerminated(text)); // not even one byte
    EXPECT_TRUE(text.IsEmpty());
}

TEST(ByteStream, RepeatedByteGoesOutInChunksOf1024)
{
    RecordingSink sink;
    EXPECT_TRUE(sink.WriteRepeated('z', 2500));
    EXPECT_EQ(sink.sizes, (std::vector<int32_t>{ 1024, 1024, 452 }));
    EXPECT_EQ(sink.bytes, std::string(2500, 'z'));
    EXPECT_FALSE(sink.WriteRepeated('z', 0));
    EXPECT_FALSE(sink.WriteRepeated('z', -5));
    EXPECT_EQ(sink.sizes.size(), 3u);
}

TEST(ByteStream, TypedWritesStopAtTheFirstFailedWrite)
{
    FullSink sink(1030);
    EXPECT_FALSE(sink.WriteRepeated('a', 3000));
    EXPECT_EQ(sink.writes, 2);

    FullSink small(1);
    EXPECT_FALSE(small.WriteText8(String("hello")));
    EXPECT_EQ(small.writes, 2);
    FullSink none(0);
    EXPECT_FALSE(none.WriteText8(String("hello")));
    EXPECT_EQ(none.writes, 1); // the failed length stops it
}

TEST(MemoryReader, ShortReadCopiesWhatRemainsAndZeroFills)
{
    MemoryReader reader("abcdef", 6);
    char buffer[8];
    EXPECT_TRUE(reader.Read(buffer, 4));
    memset(buffer, 'x', sizeof(buffer));
    EXPECT_FALSE(reader.Read(buffer, 5));
    EXPECT_EQ(std::string(buffer, 5), std::string("ef\0\0\0", 5));
    EXPECT_EQ(buffer[5], 'x');
    EXPECT_EQ(reader.Position(), 6);
    EXPECT_TRUE(reader.Read(buffer, 0));
    EXPECT_FALSE(reader.Read(buffer, -1));
    EXPECT_FALSE(reader.Read(nullptr, 1));
}

TEST(MemoryReader, SeekStaysWithinTheBuffer)
{
    MemoryReader reader("abcdef", 6);
    EXPECT_TRUE(reader.Seek(6));
    EXPECT_FALSE(reader.Seek(7));
    EXPECT_FALSE(reader.Seek(-1));
    EXPECT_EQ(reader.Position(), 6);
    EXPECT_TRUE(reader.SeekFromEnd(-2));
    char c = 0;
    EXPECT_TRUE(reader.Read(&c, 1));
    EXPECT_EQ(c, 'e');
    EXPECT_FALSE(reader.SeekFromEnd(1));
    EXPECT_FALSE(reader.SeekFromEnd(-7));
    EXPECT_FALSE(reader.SeekFromEnd(0x7fffffff));
    EXPECT_EQ(reader.Position(), 5);
}

TEST(MemoryWriter, CopyBackAppendsEarlierBytesOnly)
{
    MemoryWriter writer;
    ASSERT_TRUE(writer.Write("0123456789", 10));
    EXPECT_TRUE(writer.CopyBack(2, 4));
    EXPECT_EQ(writer.Position(), 14);
    EXPECT_EQ(Bytes(writer.Contents()), "01234567892345");
    // A range reaching the write position is the last one allowed; one byte more is not.
    EXPECT_TRUE(writer.CopyBack(10, 4));
    EXPECT_FALSE(writer.CopyBack(15, 4));
    EXPECT_FALSE(writer.CopyBack(-1, 2));
    EXPECT_FALSE(writer.CopyBack(0, 0));
    EXPECT_EQ(Written(writer), "012345678923452345");

    MemoryWriter ten;
    ASSERT_TRUE(ten.Write("0123456789", 10));
    EXPECT_FALSE(ten.CopyBack(8, 4));
    EXPECT_EQ(ten.Position(), 10);
}

TEST(MemoryWriter, EmptyAndNullWrites)
{
    MemoryWriter writer;
    ASSERT_TRUE(writer.Write("ab", 2));
    EXPECT_TRUE(writer.Write("xyz", 0));
    EXPECT_FALSE(writer.Write(nullptr, 3));
    EXPECT_FALSE(writer.Write("xyz", -1));
    EXPECT_EQ(writer.Position(), 2);
    EXPECT_EQ(Bytes(writer.Contents()), "ab");
}

TEST(MemoryWriter, WritesOverwriteAtThePositionAndFinishCutsThere)
{
    MemoryWriter writer;
    ASSERT_TRUE(writer.Write("abcdef", 6));
    ASSERT_TRUE(writer.Seek(1));
    ASSERT_TRUE(writer.Write("XY", 2));
    EXPECT_EQ(Bytes(writer.Contents()), "aXYdef");
    char c = 0;
    EXPECT_TRUE(writer.Read(&c, 1));
    EXPECT_EQ(c, 'd');
    char buffer[4];
    EXPECT_FALSE(writer.Read(buffer, 3)); // only two bytes left
    EXPECT_EQ(writer.Position(), 4);
    EXPECT_FALSE(writer.Seek(7));
    writer.Finish();
    EXPECT_EQ(Bytes(writer.Contents()), "aXYd");
    writer.Reset();
    EXPECT_EQ(writer.Position(), 0);
    EXPECT_EQ(writer.Contents().Buffer(), nullptr);
}

TEST(MemoryWriter, WritingItsOwnBytesIsSafe)
{
    MemoryWriter writer;
    ASSERT_TRUE(writer.Write("abcd", 4));
    // Appending the buffer to itself: the source must survive the reallocation.
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(writer.Write(writer.Contents().Text(), writer.Position()));
    EXPECT_EQ(writer.Position(), 4 << 12);
    std::string bytes = Written(writer);
    for (size_t i = 0; i < bytes.size(); i += 4)
        ASSERT_EQ(bytes.substr(i, 4), "abcd") << i;
}

TEST(MemoryWriter, MakeRoomFillsAReservedBufferWithoutMovingIt)
{
    MemoryWriter writer;
    writer.Contents().SetLength(1000);
    const char* block = writer.Contents().Buffer();
    int32_t capacity = writer.Contents().Capacity();
    for (int i = 0; i < 100; ++i)
        memset(writer.MakeRoom(10), 'a' + i % 26, 10);
    EXPECT_EQ(writer.Contents().Buffer(), block);
    EXPECT_EQ(writer.Contents().Capacity(), capacity);
    EXPECT_EQ(writer.Position(), 1000);
    // Past the reservation the buffer grows to hold the new position.
    char* more = writer.MakeRoom(24);
    ASSERT_NE(more, nullptr);
    memset(more, '!', 24);
    EXPECT_EQ(writer.Contents().Length(), 1024);
    EXPECT_EQ(writer.MakeRoom(0x7fffffff), nullptr);
    EXPECT_EQ(writer.Position(), 1024);
}

struct ChecksumCase {
    const char* name;
    std::string bytes;
    uint32_t expected;
};

class ChecksumValues : public testing::TestWithParam<ChecksumCase> {};

TEST_P(ChecksumValues, MatchesTheKnownSum)
{
    const ChecksumCase& c = GetParam();
    EXPECT_EQ(Checksum(c.bytes.data(), static_cast<int32_t>(c.bytes.size())), c.expected);
    EXPECT_EQ(Checksum(String(c.bytes.data(), static_cast<int32_t>(c.bytes.size()))), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Checksum, ChecksumValues,
    testing::Values(ChecksumCase{ "Empty", "", 0x79E2BC9Du },
                    ChecksumCase{ "Abc", "abc", 0x79E2BDC6u },
                    ChecksumCase{ "Abcd", "abcd", 0xDE461F02u },
                    // Left-over bytes count as signed: 0xFF adds -1, and the length 1 makes up for it.
                    ChecksumCase{ "SignedTailByte", std::string("\xFF", 1), 0x79E2BC9Du },
                    // Whole words count as unsigned, and the sum wraps at 32 bits.
                    ChecksumCase{ "WrappingWords", std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 8), 0x79E2BC9Du + 0xFFFFFFFEu + 8u }),
    [](const testing::TestParamInfo<ChecksumCase>& info) { return info.param.name; });

TEST(Checksum, NoBufferOrNoLengthGivesTheSeed)
{
    EXPECT_EQ(Checksum(nullptr, 10), kChecksumSeed);
    EXPECT_EQ(Checksum("abc", 0), kChecksumSeed);
    EXPECT_EQ(Checksum("abc", -3), kChecksumSeed);
}

} // namespace
