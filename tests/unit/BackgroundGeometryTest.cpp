#include "ui/BackgroundGeometry.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr PixelRect kScreen{ 0, 0, 1024, 768 };

struct PlacementCase {
    const char* name;
    PixelRect client;
    int32_t bitmapSize;
    int32_t pictureWidth;
    int32_t pictureHeight;
    PixelBox expected;
};

class PicturePlacementTest : public testing::TestWithParam<PlacementCase> {};

TEST_P(PicturePlacementTest, Box)
{
    const PlacementCase& c = GetParam();
    PixelBox box = PicturePlacement(c.client, c.bitmapSize, c.pictureWidth, c.pictureHeight);
    EXPECT_EQ(box.x, c.expected.x);
    EXPECT_EQ(box.y, c.expected.y);
    EXPECT_EQ(box.width, c.expected.width);
    EXPECT_EQ(box.height, c.expected.height);
}

// At 50 percent of 1024 x 768 the box is 513 x 385 (the edges counted inclusive, halves
// rounded away from zero) at (255, 191); a landscape picture then flattens it, a
// portrait one narrows it, each centred again.
INSTANTIATE_TEST_SUITE_P(, PicturePlacementTest,
    testing::Values(
        PlacementCase{ "FullIgnoresProportions", kScreen, 100, 200, 100, { 0, 0, 1025, 769 } },
        PlacementCase{ "HalfLandscape", kScreen, 50, 200, 100, { 255, 287, 513, 192 } },
        PlacementCase{ "HalfPortrait", kScreen, 50, 100, 200, { 383, 191, 256, 385 } },
        PlacementCase{ "HalfSquareKeepsBox", kScreen, 50, 64, 64, { 255, 191, 513, 385 } },
        PlacementCase{ "TinyPictureVanishes", kScreen, 1, 10, 10, { 507, 380, 10, 8 } },
        PlacementCase{ "OffsetClient", { 100, 50, 300, 250 }, 50, 40, 20, { 149, 124, 101, 50 } }),
    [](const auto& info) { return std::string(info.param.name); });

struct BandCase {
    const char* name;
    int32_t height;
    int32_t bandHeight;
    int32_t bands;
};

TEST(GradientBands, HeightsAndColours)
{
    // The window height decides the band height: height / 224 limited to 1 to 3.
    const BandCase cases[] = {
        { "1000 high: 3-pixel bands", 1000, 3, 334 },
        { "768 high: 3-pixel bands", 768, 3, 256 },
        { "500 high: 2-pixel bands", 500, 2, 250 },
        { "200 high: 1-pixel bands", 200, 1, 200 },
        { "1 high", 1, 1, 1 },
    };
    const uint32_t colours[][2] = { { 0x00ffffff, 0x00000000 }, { 0x00000000, 0x00ffffff }, { 0x00102030, 0x00f0e0d0 },
                                    { 0x0000ff00, 0x00ff0000 } };
    for (const BandCase& c : cases) {
        for (const auto& pair : colours) {
            SCOPED_TRACE(testing::Message() << c.name << " from " << std::hex << pair[0] << " to " << pair[1]);
            GradientBands bands({ 0, 0, 640, c.height }, pair[0], pair[1]);
            EXPECT_EQ(bands.BandHeight(), c.bandHeight);
            std::vector<uint32_t> seen;
            PixelRect band;
            uint32_t colour;
            int32_t expectedTop = 0;
            while (bands.Next(band, colour)) {
                EXPECT_EQ(band.top, expectedTop);
                EXPECT_EQ(band.bottom - band.top, c.bandHeight);
                EXPECT_EQ(band.left, 0);
                EXPECT_EQ(band.right, 641);
                expectedTop = band.bottom;
                seen.push_back(colour);
            }
            ASSERT_EQ(static_cast<int32_t>(seen.size()), c.bands);
            for (int shift = 0; shift < 24; shift += 8) {
                int top = (pair[0] >> shift) & 0xff, bottom = (pair[1] >> shift) & 0xff;
                int steps = (c.height + 1) / c.bandHeight;
                int previous = top;
                for (uint32_t value : seen) {
                    int channel = (value >> shift) & 0xff;
                    // Monotone from the top colour toward the bottom one, never past it.
                    EXPECT_EQ((channel - previous) * (bottom - top) >= 0, true);
                    EXPECT_LE(std::abs(channel - top), std::abs(bottom - top));
                    previous = channel;
                }
                // The last band stands at most one step short of the bottom colour.
                int last = (seen.back() >> shift) & 0xff;
                EXPECT_LE(std::abs(last - bottom), std::abs(bottom - top) / steps + 1);
                if (static_cast<int32_t>(seen.size()) >= steps) {
                    EXPECT_EQ(last, bottom);
                }
            }
        }
    }
}

TEST(GradientBands, EmptyOrUpsideDownRectangleHasNoBands)
{
    PixelRect band;
    uint32_t colour;
    EXPECT_FALSE(GradientBands({ 0, 10, 100, 10 }, 0, 0xffffff).Next(band, colour));
    EXPECT_FALSE(GradientBands({ 0, 10, 100, 0 }, 0, 0xffffff).Next(band, colour));
}

TEST(TitleLineReader, Breaks)
{
    struct Row {
        const char* name;
        String title;
        std::vector<std::string> lines;
    } rows[] = {
        { "one line", "Product", { "Product" } },
        { "CR LF", "A\r\nB", { "A", "B" } },
        { "LF CR", "A\n\rB", { "A", "B" } },
        { "two CRs make an empty line", "A\r\rB", { "A", "", "B" } },
        { "two CR LFs too", "A\r\n\r\nB", { "A", "", "B" } },
        { "blanks before a break dropped", "A \t\r\nB  ", { "A", "B" } },
        { "ending in a break", "A\n", { "A", "" } },
        { "leading blanks kept", "  A", { "  A" } },
        { "a zero byte is text", String("A\0B", 3), { std::string("A\0B", 3) } },
        { "empty", "", { "" } },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TitleLineReader reader(row.title);
        std::vector<std::string> lines;
        const char* line;
        int32_t length;
        while (reader.Next(line, length))
            lines.emplace_back(line, length);
        EXPECT_EQ(lines, row.lines);
    }
}

TEST(TitleOrigin, Positions)
{
    // A title block 200 x 40 with a 3-pixel shadow on a 1024 x 768 window.
    struct Row {
        int position;
        int32_t x;
        int32_t y;
    } rows[] = {
        { kTitleNone, 2, 1 },          { kTitleTopLeft, 2, 1 },        { kTitleTopCenter, 412, 1 },
        { kTitleTopRight, 819, 1 },    { kTitleBottomLeft, 2, 724 },   { kTitleBottomCenter, 412, 724 },
        { kTitleBottomRight, 819, 724 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.position);
        int32_t x = -1, y = -1;
        TitleOrigin(kScreen, row.position, 3, 200, 40, x, y);
        EXPECT_EQ(x, row.x);
        EXPECT_EQ(y, row.y);
    }
    EXPECT_TRUE(TitleFits(kScreen, 3, 1018));
    EXPECT_FALSE(TitleFits(kScreen, 3, 1019));
    EXPECT_FALSE(TitleFits(kScreen, 0, 1022));
}

}
