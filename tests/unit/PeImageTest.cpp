#include "payload/ErrorCodes.h"
#include "payload/PayloadLayout.h"
#include "payload/PeImage.h"
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

// A small PE image: DOS header, "PE\0\0" at `peOffset`, an optional header of 224 bytes,
// and `sections` sections of 0x200 raw bytes each, named ".s0", ".s1", ... unless a
// name is given for the slot.
struct ImageSpec {
    int32_t peOffset = 0x80;
    int sections = 4;
    int payloadSlot = -1; // the slot named ".quox", or none
};

void Put32(std::string& s, size_t offset, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[offset + i] = static_cast<char>(v >> (8 * i));
}

void Put16(std::string& s, size_t offset, uint16_t v)
{
    s[offset] = static_cast<char>(v);
    s[offset + 1] = static_cast<char>(v >> 8);
}

uint32_t Get32(const std::string& s, size_t offset)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(static_cast<uint8_t>(s[offset + i])) << (8 * i);
    return v;
}

constexpr int kOptional = 224;
constexpr uint32_t kFileAlign = 0x200, kSectionAlign = 0x1000;

std::string MakeImage(const ImageSpec& spec)
{
    uint32_t headers = 0x400;
    while (spec.peOffset + 24 + kOptional + 40 * (spec.sections + 1) > static_cast<int32_t>(headers))
        headers += kFileAlign;
    std::string image(headers + kFileAlign * spec.sections, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    Put32(image, 0x3C, static_cast<uint32_t>(spec.peOffset));
    memcpy(&image[spec.peOffset], "PE\0\0", 4);
    size_t pe = static_cast<size_t>(spec.peOffset);
    Put16(image, pe + 6, static_cast<uint16_t>(spec.sections));
    Put16(image, pe + 20, kOptional);
    Put32(image, pe + Pe::kSectionAlignmentOffset, kSectionAlign);
    Put32(image, pe + Pe::kFileAlignmentOffset, kFileAlign);
    Put32(image, pe + Pe::kSizeOfHeadersOffset, headers);
    Put32(image, pe + Pe::kSizeOfInitializedDataOffset, kFileAlign * spec.sections);
    Put32(image, pe + Pe::kSizeOfImageOffset, kSectionAlign * (spec.sections + 1));
    size_t table = pe + 24 + kOptional;
    for (int i = 0; i < spec.sections; ++i) {
        size_t entry = table + 40 * static_cast<size_t>(i);
        std::string name = i == spec.payloadSlot ? ".quox" : ".s" + std::to_string(i);
        memcpy(&image[entry], name.data(), name.size());
        Put32(image, entry + 8, kFileAlign);
        Put32(image, entry + 12, kSectionAlign * static_cast<uint32_t>(i + 1));
        Put32(image, entry + 16, kFileAlign);
        Put32(image, entry + 20, headers + kFileAlign * static_cast<uint32_t>(i));
        // Each section's bytes say which section they are.
        memset(&image[headers + kFileAlign * static_cast<size_t>(i)], 'a' + i, kFileAlign);
    }
    return image;
}

bool ReadAt(void* context, int64_t offset, void* destination, int32_t count)
{
    auto* image = static_cast<const std::string*>(context);
    if (offset < 0 || offset + count > static_cast<int64_t>(image->size()))
        return false;
    memcpy(destination, image->data() + offset, static_cast<size_t>(count));
    return true;
}

struct LocateCase {
    const char* name;
    int32_t peOffset;
    int sections;
    int payloadSlot;
    int expected;
};

class PeLocate : public testing::TestWithParam<LocateCase> {};

TEST_P(PeLocate, Headers)
{
    const LocateCase& c = GetParam();
    ImageSpec spec;
    spec.peOffset = c.peOffset;
    spec.sections = c.sections;
    spec.payloadSlot = c.payloadSlot;
    std::string image = MakeImage(spec);
    PayloadSection section;
    EXPECT_EQ(LocatePayloadSection(ReadAt, &image, section), c.expected);
    if (c.expected == 0) {
        EXPECT_EQ(section.slot, c.payloadSlot);
        EXPECT_EQ(section.rawSize, static_cast<int32_t>(kFileAlign));
        EXPECT_EQ(section.virtualAddress, kSectionAlign * static_cast<uint32_t>(c.payloadSlot + 1));
    }
}

INSTANTIATE_TEST_SUITE_P(, PeLocate,
    testing::Values(LocateCase{ "FourSectionsAccepted", 0x80, 4, 3, 0 },
                    LocateCase{ "ThreeSectionsRefused", 0x80, 3, 2, kCodeSectionCount },
                    LocateCase{ "HundredSectionsRefused", 0x80, 100, 2, kCodeSectionCount },
                    LocateCase{ "HeaderAt4096Accepted", 4096, 4, 1, 0 },
                    LocateCase{ "HeaderAt4097Refused", 4097, 4, 1, kCodePeHeader },
                    LocateCase{ "HeaderAt63Refused", 63, 4, 1, kCodePeHeader },
                    LocateCase{ "FirstSectionFound", 0x80, 5, 0, 0 },
                    LocateCase{ "NoPayloadSection", 0x80, 5, -1, kNoPayloadSection }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PeLocateFile, UnreadableFileIsNotAPackage)
{
    std::string tiny("MZ");
    PayloadSection section;
    EXPECT_EQ(LocatePayloadSection(ReadAt, &tiny, section), kCodePeHeader);
    std::string image = MakeImage({});
    image.resize(0x80 + 4); // the section count lies beyond the end
    EXPECT_EQ(LocatePayloadSection(ReadAt, &image, section), kCodeSectionCount);
}

TEST(PeImage, RemovingAMiddleSectionKeepsTheLaterOnes)
{
    ImageSpec spec;
    spec.sections = 6;
    spec.payloadSlot = 2;
    std::string file = MakeImage(spec);
    PayloadSection section;
    ASSERT_EQ(LocatePayloadSection(ReadAt, &file, section), 0);

    // The image as the installer assembles it: everything but the payload's raw data.
    std::string assembled = file.substr(0, static_cast<size_t>(section.rawOffset)) +
                            file.substr(static_cast<size_t>(section.rawOffset + section.rawSize));
    String image(assembled.data(), static_cast<int32_t>(assembled.size()));
    ASSERT_TRUE(RemovePayloadSection(image, section));
    std::string stub(image.Text(), static_cast<size_t>(image.Length()));

    size_t pe = 0x80, table = pe + 24 + kOptional;
    EXPECT_EQ(static_cast<uint8_t>(stub[pe + 6]), 5);
    EXPECT_EQ(Get32(stub, pe + Pe::kSizeOfInitializedDataOffset), kFileAlign * 5);
    // The later sections keep their addresses, so the image must still reach the last.
    EXPECT_EQ(Get32(stub, pe + Pe::kSizeOfImageOffset), kSectionAlign * 7);
    for (int slot = 2; slot < 5; ++slot) {
        size_t entry = table + 40 * static_cast<size_t>(slot);
        EXPECT_EQ(stub.substr(entry, 3), ".s" + std::to_string(slot + 1));
        uint32_t raw = Get32(stub, entry + 20);
        EXPECT_EQ(stub[raw], 'a' + slot + 1) << "section " << slot + 1 << " data moved down with its offset";
    }
    // The slot after the table takes what followed the table (zeros here).
    EXPECT_EQ(stub.substr(table + 40 * 5, 40), std::string(40, '\0'));
}

TEST(PeImage, AppendThenRemoveGivesTheImageBack)
{
    std::string original = MakeImage({});
    String image(original.data(), static_cast<int32_t>(original.size()));
    String data("payload bytes that are not a whole alignment unit");
    ASSERT_TRUE(AppendSection(image, kPayloadSectionName, data, 0x40000040));
    std::string built(image.Text(), static_cast<size_t>(image.Length()));

    PayloadSection section;
    ASSERT_EQ(LocatePayloadSection(ReadAt, &built, section), 0);
    EXPECT_EQ(section.slot, 4);
    EXPECT_EQ(section.rawSize % static_cast<int32_t>(kSectionAlign), 0);
    EXPECT_EQ(built.substr(static_cast<size_t>(section.rawOffset), static_cast<size_t>(data.Length())), data.Text());
    EXPECT_EQ(Get32(built, 0x80 + Pe::kSizeOfImageOffset), section.virtualAddress + static_cast<uint32_t>(section.rawSize));

    String stub(built.data(), section.rawOffset);
    ASSERT_TRUE(RemovePayloadSection(stub, section));
    EXPECT_EQ(std::string(stub.Text(), static_cast<size_t>(stub.Length())), original);
}

TEST(PeImage, AppendRefusesWhatItCannotExtend)
{
    String notPe("MZ this is not a program");
    EXPECT_FALSE(AppendSection(notPe, ".quox", String("x"), 0));
    // Data after the last section (an overlay) would end up inside the new section.
    std::string original = MakeImage({});
    original += "overlay";
    String withOverlay(original.data(), static_cast<int32_t>(original.size()));
    EXPECT_FALSE(AppendSection(withOverlay, ".quox", String("x"), 0));
    EXPECT_EQ(withOverlay.Length(), static_cast<int32_t>(original.size()));
}

} // namespace
