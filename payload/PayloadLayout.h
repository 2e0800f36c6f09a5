#pragma once
#include "core/LittleEndian.h"
#include <cstddef>
#include <cstdint>

// The layout of an installer's payload: the one definition shared by the stub, which
// reads it, and the builder, which writes it. All numbers are 32-bit little-endian and
// may lie at any alignment; offsets are from the start of the `.quox` section.
//
//   offset       width            field
//   0            4                magic, kPayloadMagic
//   4            4                builder version x 100 (kBuilderVersion)
//   8            4                settings block length, 1 .. kMaxSettingsBlockLength
//   12           4                settings key: scrambling key of the settings block and
//                                 the checksum of the decoded block
//   16           4                checksum of the plain stub (checked with CheckStub)
//   20           4                end offset of the file data kept inside the section
//   24           4                N, the number of size-table entries
//   28           4                total length of the file data as stored
//   32           4                checksum of the file data as stored
//   36           4 x N            size table: each installed file's size, 0 .. kMaxFileSize
//   36 + 4N      settings length  settings block: compressed, then scrambled
//   ...          up to end offset file data, first part (the rest follows the image in
//                                 the file, or lies in volume files)

constexpr char kPayloadSectionName[] = ".quox";
constexpr uint32_t kPayloadMagic = 0xA4F23DE5;
constexpr int32_t kBuilderVersion = 1200;
constexpr int32_t kMaxSettingsBlockLength = 0x9FFFFF;
constexpr int32_t kMaxFileSize = 0x40000000;

// The fixed part of the header, as stored.
struct PayloadHeader {
    uint32_t magic;
    int32_t builderVersion;
    int32_t settingsLength;
    uint32_t settingsKey;
    uint32_t stubChecksum;
    int32_t fileDataEnd;
    int32_t sizeCount;
    int32_t fileDataLength;
    uint32_t fileDataChecksum;
};
static_assert(sizeof(PayloadHeader) == 36, "the stored header is nine 32-bit fields");
static_assert(offsetof(PayloadHeader, settingsLength) == 8 && offsetof(PayloadHeader, stubChecksum) == 16 &&
                  offsetof(PayloadHeader, fileDataChecksum) == 32,
              "the structure's offsets are the stored offsets");
constexpr int32_t kPayloadHeaderSize = sizeof(PayloadHeader);

// Writes the header in its stored form, kPayloadHeaderSize bytes at `out`: each field at
// its offset in the structure, little-endian whatever the host. The builder writes the
// header once with a zero stub checksum and again once the checksum is known.
inline void StorePayloadHeader(uint8_t* out, const PayloadHeader& h)
{
    StoreLittleEndian32(out + offsetof(PayloadHeader, magic), h.magic);
    StoreLittleEndian32(out + offsetof(PayloadHeader, builderVersion), static_cast<uint32_t>(h.builderVersion));
    StoreLittleEndian32(out + offsetof(PayloadHeader, settingsLength), static_cast<uint32_t>(h.settingsLength));
    StoreLittleEndian32(out + offsetof(PayloadHeader, settingsKey), h.settingsKey);
    StoreLittleEndian32(out + offsetof(PayloadHeader, stubChecksum), h.stubChecksum);
    StoreLittleEndian32(out + offsetof(PayloadHeader, fileDataEnd), static_cast<uint32_t>(h.fileDataEnd));
    StoreLittleEndian32(out + offsetof(PayloadHeader, sizeCount), static_cast<uint32_t>(h.sizeCount));
    StoreLittleEndian32(out + offsetof(PayloadHeader, fileDataLength), static_cast<uint32_t>(h.fileDataLength));
    StoreLittleEndian32(out + offsetof(PayloadHeader, fileDataChecksum), h.fileDataChecksum);
}

// The settings stream ends with this word.
constexpr uint32_t kSettingsEndMarker = 0xD3E82B97;
// A deletion list ends with a record of this name.
constexpr char kDeletionListEnd[] = "~~THE END~~";

// Limits of the settings stream, checked by the stub and the builder alike.
constexpr int kMaxStepDelay = 9999;
constexpr int kMaxBitmapSize = 100;
constexpr int kMaxLicenseTexts = 20;
constexpr int kMaxReadmeTexts = 20;
constexpr int kMaxDeletionRecords = 1001;
constexpr int kMaxRecords = 10000;       // associations, uninstall data, string rows
constexpr int kMaxLanguages = 100;
constexpr int kReservedSettingsBytes = 20;
constexpr int kFileStampSize = 24;       // six signed 32-bit fields

// Volume files: "%s%d.QOX" with the volume base name and numbers from 2, each
// beginning with its 32-bit volume tag; the tag goes up by one per volume.
constexpr char kVolumeNameFormat[] = "%s%d.QOX";
constexpr int kFirstVolumeNumber = 2;
constexpr int kVolumeTagSize = 4;

// The PE fields that locating the section and rebuilding the plain stub touch.
namespace Pe {
constexpr int32_t kHeaderPointerOffset = 0x3C; // DOS header: file offset of "PE\0\0"
constexpr int32_t kMinHeaderPointer = 64;
constexpr int32_t kMaxHeaderPointer = 4096;
// Offsets from the "PE\0\0" signature.
constexpr int32_t kSectionCountOffset = 6;
constexpr int32_t kOptionalHeaderSizeOffset = 20;
constexpr int32_t kSectionTableOffset = 24;     // plus the optional header's size
constexpr int32_t kSizeOfInitializedDataOffset = 32;
constexpr int32_t kSectionAlignmentOffset = 56;
constexpr int32_t kFileAlignmentOffset = 60;
constexpr int32_t kSizeOfImageOffset = 80;
constexpr int32_t kSizeOfHeadersOffset = 84;
constexpr int32_t kChecksumOffset = 88;
constexpr int32_t kMinSections = 4;
constexpr int32_t kMaxSections = 99;
// One entry of the section table.
constexpr int32_t kSectionEntrySize = 40;
constexpr int32_t kSectionNameSize = 8;
constexpr int32_t kSectionVirtualSizeOffset = 8;
constexpr int32_t kSectionVirtualAddressOffset = 12;
constexpr int32_t kSectionRawSizeOffset = 16;
constexpr int32_t kSectionRawDataOffset = 20;
constexpr int32_t kSectionCharacteristicsOffset = 36;
}
