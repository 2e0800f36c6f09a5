#include "ui/PackedBitmap.h"
#include <gtest/gtest.h>
#include <string>

namespace {

void Put16(std::string& s, size_t offset, uint16_t v)
{
    s[offset] = static_cast<char>(v);
    s[offset + 1] = static_cast<char>(v >> 8);
}

void Put32(std::string& s, size_t offset, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[offset + i] = static_cast<char>(v >> (8 * i));
}

// A packed bitmap with the information header; `extra` bytes are added after (or, when
// negative, cut from) the colour table and pixel bits the header asks for.
struct Info {
    int32_t width = 4;
    int32_t height = 2;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    uint32_t colours = 0;
    int64_t tableBytes = 0;
    int64_t bitsBytes = 0;
    int64_t extra = 0;
};

std::string InfoBitmap(const Info& info)
{
    std::string s(40 + info.tableBytes + info.bitsBytes + info.extra, '\x5a');
    Put32(s, 0, 40);
    Put32(s, 4, static_cast<uint32_t>(info.width));
    Put32(s, 8, static_cast<uint32_t>(info.height));
    Put16(s, 12, 1);
    Put16(s, 14, info.bitCount);
    Put32(s, 16, info.compression);
    Put32(s, 20, info.imageSize);
    Put32(s, 32, info.colours);
    return s;
}

std::string CoreBitmap(uint16_t width, uint16_t height, uint16_t bitCount, int64_t payload)
{
    std::string s(12 + payload, '\x11');
    Put32(s, 0, 12);
    Put16(s, 4, width);
    Put16(s, 6, height);
    Put16(s, 8, 1);
    Put16(s, 10, bitCount);
    return s;
}

struct BitmapCase {
    const char* name;
    std::string bytes;
    bool valid;
    int32_t width;
    int32_t height;
    int32_t bitsOffset;
};

class PackedBitmapParse : public testing::TestWithParam<BitmapCase> {};

TEST_P(PackedBitmapParse, KeepsOnlyDrawablePictures)
{
    const BitmapCase& c = GetParam();
    PackedBitmap picture;
    EXPECT_EQ(picture.Load(c.bytes.data(), static_cast<int32_t>(c.bytes.size())), c.valid);
    EXPECT_EQ(picture.IsValid(), c.valid);
    if (!c.valid) {
        EXPECT_EQ(picture.Bytes().Length(), 0);
        return;
    }
    EXPECT_EQ(picture.Width(), c.width);
    EXPECT_EQ(picture.Height(), c.height);
    EXPECT_EQ(static_cast<const char*>(picture.Bits()) - static_cast<const char*>(picture.Header()), c.bitsOffset);
    EXPECT_EQ(picture.Bytes().Length(), static_cast<int32_t>(c.bytes.size()));
}

// Rows of a 4-pixel-wide picture: 24 bits make 12 bytes, 8 bits make 4, 4 bits make 4
// (padded to a word), 16 bits make 8.
INSTANTIATE_TEST_SUITE_P(, PackedBitmapParse,
    testing::Values(
        BitmapCase{ "Core24", CoreBitmap(4, 2, 24, 24), true, 4, 2, 12 },
        BitmapCase{ "Core8TableOfThreeByteEntries", CoreBitmap(4, 1, 8, 256 * 3 + 4), true, 4, 1, 12 + 768 },
        BitmapCase{ "Core1", CoreBitmap(4, 1, 1, 2 * 3 + 4), true, 4, 1, 18 },
        BitmapCase{ "CoreSixteenBitsRefused", CoreBitmap(4, 1, 16, 64), false, 0, 0, 0 },
        BitmapCase{ "CoreZeroWidth", CoreBitmap(0, 1, 24, 16), false, 0, 0, 0 },
        BitmapCase{ "Info24", InfoBitmap({ .bitsBytes = 24 }), true, 4, 2, 40 },
        BitmapCase{ "InfoTopDown", InfoBitmap({ .height = -2, .bitsBytes = 24 }), true, 4, 2, 40 },
        BitmapCase{ "Info8FullTable", InfoBitmap({ .bitCount = 8, .tableBytes = 1024, .bitsBytes = 8 }), true, 4, 2,
                    1064 },
        BitmapCase{ "Info8ColoursUsed", InfoBitmap({ .bitCount = 8, .colours = 2, .tableBytes = 8, .bitsBytes = 8 }),
                    true, 4, 2, 48 },
        BitmapCase{ "Info16NoTable", InfoBitmap({ .bitCount = 16, .bitsBytes = 16 }), true, 4, 2, 40 },
        BitmapCase{ "InfoBitFieldsMasks", InfoBitmap({ .bitCount = 32, .compression = 3, .tableBytes = 12,
                                                      .bitsBytes = 32 }), true, 4, 2, 52 },
        BitmapCase{ "InfoRle8", InfoBitmap({ .bitCount = 8, .compression = 1, .imageSize = 6, .tableBytes = 1024,
                                            .bitsBytes = 6 }), true, 4, 2, 1064 },
        BitmapCase{ "TrailingBytesKept", InfoBitmap({ .bitsBytes = 24, .extra = 5 }), true, 4, 2, 40 },
        // Pictures that GDI would read beyond their bytes, or cannot draw.
        BitmapCase{ "BitsOneByteShort", InfoBitmap({ .bitsBytes = 24, .extra = -1 }), false, 0, 0, 0 },
        BitmapCase{ "TableShort", InfoBitmap({ .bitCount = 8, .tableBytes = 1000 }), false, 0, 0, 0 },
        BitmapCase{ "HugeColourCount", InfoBitmap({ .colours = 0xffffffff, .bitsBytes = 24 }), false, 0, 0, 0 },
        BitmapCase{ "HugeWidth", InfoBitmap({ .width = 0x7fffffff, .bitsBytes = 24 }), false, 0, 0, 0 },
        BitmapCase{ "WidestAccepted", InfoBitmap({ .width = 0xffff, .height = 1, .bitsBytes = 0x30000 }), true, 0xffff,
                    1, 40 },
        BitmapCase{ "TooWide", InfoBitmap({ .width = 0x10000, .height = 1, .bitsBytes = 0x30000 }), false, 0, 0, 0 },
        BitmapCase{ "TallWithFewBytes", InfoBitmap({ .width = 1, .height = 0xffff, .bitsBytes = 4 * 0xfffe }), false, 0,
                    0, 0 },
        BitmapCase{ "LowestHeight", InfoBitmap({ .height = INT32_MIN, .bitsBytes = 24 }), false, 0, 0, 0 },
        BitmapCase{ "NegativeWidth", InfoBitmap({ .width = -4, .bitsBytes = 24 }), false, 0, 0, 0 },
        BitmapCase{ "ZeroHeight", InfoBitmap({ .height = 0, .bitsBytes = 24 }), false, 0, 0, 0 },
        BitmapCase{ "OddBitCount", InfoBitmap({ .bitCount = 3, .bitsBytes = 24 }), false, 0, 0, 0 },
        BitmapCase{ "Rle8DataShort", InfoBitmap({ .bitCount = 8, .compression = 1, .imageSize = 60,
                                                 .tableBytes = 1024, .bitsBytes = 6 }), false, 0, 0, 0 },
        BitmapCase{ "Rle8WithoutSize", InfoBitmap({ .bitCount = 8, .compression = 1, .tableBytes = 1024,
                                                   .bitsBytes = 6 }), false, 0, 0, 0 },
        BitmapCase{ "Rle8TopDown", InfoBitmap({ .height = -2, .bitCount = 8, .compression = 1, .imageSize = 6,
                                               .tableBytes = 1024, .bitsBytes = 6 }), false, 0, 0, 0 },
        BitmapCase{ "JpegCompression", InfoBitmap({ .compression = 4, .imageSize = 24, .bitsBytes = 24 }), false, 0,
                    0, 0 },
        BitmapCase{ "HeaderSize108", [] { std::string s = InfoBitmap({ .bitsBytes = 200 }); Put32(s, 0, 108); return s; }(),
                    false, 0, 0, 0 },
        BitmapCase{ "InfoSizeButShort", [] { std::string s(20, '\0'); Put32(s, 0, 40); return s; }(), false, 0, 0, 0 },
        BitmapCase{ "TwelveBytesOnly", CoreBitmap(1, 1, 24, 0), false, 0, 0, 0 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PackedBitmap, FileImageRoundTrip)
{
    std::string bits = InfoBitmap({ .bitCount = 8, .colours = 2, .tableBytes = 8, .bitsBytes = 8 });
    PackedBitmap picture;
    ASSERT_TRUE(picture.Load(bits.data(), static_cast<int32_t>(bits.size())));
    String file = picture.FileImage();
    ASSERT_EQ(file.Length(), 14 + static_cast<int32_t>(bits.size()));
    EXPECT_TRUE(file.StartsWith("BM"));
    EXPECT_EQ(file.GetInt32At(2), file.Length());
    EXPECT_EQ(file.GetInt32At(6), 0);
    EXPECT_EQ(file.GetInt32At(10), 14 + 48); // where the pixel bits start in the file
    PackedBitmap again;
    ASSERT_TRUE(again.LoadFileImage(file));
    EXPECT_TRUE(again.Bytes() == picture.Bytes());
    EXPECT_EQ(PackedBitmap().FileImage().Length(), 0);
}

TEST(PackedBitmap, FileImageHeaderChecks)
{
    std::string bits = InfoBitmap({ .bitsBytes = 24 });
    PackedBitmap source;
    ASSERT_TRUE(source.Load(bits.data(), static_cast<int32_t>(bits.size())));
    const String good = source.FileImage();
    struct Row {
        const char* name;
        int32_t sizeField; // -1 keeps the right one
        bool signatureBroken;
        int32_t trailing;
        bool valid;
        int32_t keptLength;
    } rows[] = {
        { "exact", -1, false, 0, true, 64 },
        { "trailing bytes after the named size ignored", -1, false, 7, true, 64 },
        { "size beyond the file reads what is there", 5000, false, 0, true, 64 },
        { "size cutting the bits", 60, false, 0, false, 0 },
        { "size below the file header", 3, false, 0, false, 0 },
        { "no BM", -1, true, 0, false, 0 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        String file = good;
        if (row.sizeField >= 0)
            file.SetInt32At(2, row.sizeField);
        if (row.signatureBroken)
            file.At(1) = 'A';
        for (int32_t i = 0; i < row.trailing; ++i)
            file.Append('\x77');
        PackedBitmap picture;
        EXPECT_EQ(picture.LoadFileImage(file), row.valid);
        EXPECT_EQ(picture.Bytes().Length(), row.keptLength);
    }
    PackedBitmap picture;
    EXPECT_FALSE(picture.LoadFileImage(String("BM")));
}

}
