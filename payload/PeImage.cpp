#include "payload/PeImage.h"
#include "core/LittleEndian.h"
#include "payload/ErrorCodes.h"
#include "payload/PayloadLayout.h"
#include <cstring>

namespace {

bool ReadU16(ReadAtFunction readAt, void* context, int64_t offset, int32_t& value)
{
    uint8_t bytes[2];
    if (!readAt(context, offset, bytes, 2))
        return false;
    value = LoadLittleEndian16(bytes);
    return true;
}

bool ReadU32(ReadAtFunction readAt, void* context, int64_t offset, uint32_t& value)
{
    uint8_t bytes[4];
    if (!readAt(context, offset, bytes, 4))
        return false;
    value = LoadLittleEndian32(bytes);
    return true;
}

uint32_t U32At(const String& image, int32_t offset)
{
    return static_cast<uint32_t>(image.GetInt32At(offset));
}

int32_t AlignUp(int64_t value, int64_t alignment)
{
    return static_cast<int32_t>((value + alignment - 1) / alignment * alignment);
}

}

int LocatePayloadSection(ReadAtFunction readAt, void* context, PayloadSection& s)
{
    if (!ReadU16(readAt, context, Pe::kHeaderPointerOffset, s.peHeader) || s.peHeader < Pe::kMinHeaderPointer ||
        s.peHeader > Pe::kMaxHeaderPointer)
        return kCodePeHeader;
    if (!ReadU16(readAt, context, s.peHeader + Pe::kSectionCountOffset, s.sectionCount) ||
        s.sectionCount < Pe::kMinSections || s.sectionCount > Pe::kMaxSections)
        return kCodeSectionCount;
    int32_t optionalSize = 0;
    if (!ReadU16(readAt, context, s.peHeader + Pe::kOptionalHeaderSizeOffset, optionalSize))
        return kCodeSectionCount;
    s.sectionTable = s.peHeader + Pe::kSectionTableOffset + optionalSize;

    for (s.slot = 0; s.slot < s.sectionCount; ++s.slot) {
        int64_t entry = s.sectionTable + static_cast<int64_t>(s.slot) * Pe::kSectionEntrySize;
        char name[Pe::kSectionNameSize + 1] = {};
        if (!readAt(context, entry, name, Pe::kSectionNameSize))
            continue;
        if (strcmp(name, kPayloadSectionName) != 0)
            continue;
        uint32_t rawSize = 0, rawOffset = 0;
        if (!ReadU32(readAt, context, entry + Pe::kSectionVirtualSizeOffset, s.virtualSize) ||
            !ReadU32(readAt, context, entry + Pe::kSectionVirtualAddressOffset, s.virtualAddress) ||
            !ReadU32(readAt, context, entry + Pe::kSectionRawSizeOffset, rawSize) ||
            !ReadU32(readAt, context, entry + Pe::kSectionRawDataOffset, rawOffset) || rawOffset == 0)
            return kCodeNoRawData;
        s.rawSize = static_cast<int32_t>(rawSize);
        s.rawOffset = static_cast<int32_t>(rawOffset);
        return 0;
    }
    return kNoPayloadSection;
}

bool FixSizeOfImage(String& image)
{
    int32_t pe = image.GetUInt16At(Pe::kHeaderPointerOffset);
    int32_t count = image.GetUInt16At(pe + Pe::kSectionCountOffset);
    int32_t optionalSize = image.GetUInt16At(pe + Pe::kOptionalHeaderSizeOffset);
    int32_t table = pe + Pe::kSectionTableOffset + optionalSize;
    uint32_t alignment = U32At(image, pe + Pe::kSectionAlignmentOffset);
    if (alignment == 0 || alignment == 0xFFFFFFFF || table + count * Pe::kSectionEntrySize > image.Length())
        return false;
    int64_t end = U32At(image, pe + Pe::kSizeOfHeadersOffset);
    for (int32_t i = 0; i < count; ++i) {
        int32_t entry = table + i * Pe::kSectionEntrySize;
        int64_t sectionEnd = static_cast<int64_t>(U32At(image, entry + Pe::kSectionVirtualAddressOffset)) +
                             U32At(image, entry + Pe::kSectionVirtualSizeOffset);
        if (sectionEnd > end)
            end = sectionEnd;
    }
    return image.SetInt32At(pe + Pe::kSizeOfImageOffset, AlignUp(end, alignment));
}

bool RemovePayloadSection(String& image, const PayloadSection& s)
{
    int32_t tableEnd = s.sectionTable + (s.sectionCount + 1) * Pe::kSectionEntrySize;
    if (s.sectionTable <= s.peHeader || tableEnd > image.Length() || s.slot < 0 || s.slot >= s.sectionCount)
        return false;
    char* bytes = image.Buffer();
    image.SetInt16At(s.peHeader + Pe::kSectionCountOffset, static_cast<int16_t>(s.sectionCount - 1));
    image.SetInt32At(s.peHeader + Pe::kSizeOfInitializedDataOffset,
                     static_cast<int32_t>(U32At(image, s.peHeader + Pe::kSizeOfInitializedDataOffset) - s.rawSize));
    // Each slot from the payload's on takes the entry after it; the last real entry's slot
    // takes the 40 bytes that followed the table.
    for (int32_t slot = s.slot; slot < s.sectionCount; ++slot) {
        int32_t entry = s.sectionTable + slot * Pe::kSectionEntrySize;
        memmove(bytes + entry, bytes + entry + Pe::kSectionEntrySize, Pe::kSectionEntrySize);
        if (slot < s.sectionCount - 1) {
            uint32_t rawOffset = U32At(image, entry + Pe::kSectionRawDataOffset);
            if (rawOffset >= static_cast<uint32_t>(s.rawOffset))
                image.SetInt32At(entry + Pe::kSectionRawDataOffset, static_cast<int32_t>(rawOffset - s.rawSize));
        }
    }
    // The size of image is worked out from the sections that remain rather than reduced
    // by the raw size: a payload that was not the last section leaves later sections at
    // their addresses, and the image must still cover them.
    return FixSizeOfImage(image);
}

bool AppendSection(String& image, const char* name, const String& data, uint32_t characteristics)
{
    int32_t pe = image.GetUInt16At(Pe::kHeaderPointerOffset);
    if (pe == 0xFFFF || image.GetInt32At(pe) != 0x00004550)
        return false;
    int32_t count = image.GetUInt16At(pe + Pe::kSectionCountOffset);
    int32_t optionalSize = image.GetUInt16At(pe + Pe::kOptionalHeaderSizeOffset);
    int32_t table = pe + Pe::kSectionTableOffset + optionalSize;
    int32_t entry = table + count * Pe::kSectionEntrySize;
    uint32_t fileAlignment = U32At(image, pe + Pe::kFileAlignmentOffset);
    uint32_t sectionAlignment = U32At(image, pe + Pe::kSectionAlignmentOffset);
    uint32_t headersSize = U32At(image, pe + Pe::kSizeOfHeadersOffset);
    if (count < 1 || fileAlignment == 0 || sectionAlignment < fileAlignment || sectionAlignment % fileAlignment)
        return false;
    // The new entry must fit in the header area before the first section's data.
    if (entry + Pe::kSectionEntrySize > static_cast<int32_t>(headersSize))
        return false;
    for (int32_t i = 0; i < Pe::kSectionEntrySize; ++i) {
        if (image.CharAt(entry + i) != 0)
            return false;
    }

    // The last section in memory decides the new virtual address; its raw data must end
    // the file so that the new data can follow it.
    uint32_t virtualEnd = 0;
    uint32_t rawEnd = headersSize;
    for (int32_t i = 0; i < count; ++i) {
        int32_t e = table + i * Pe::kSectionEntrySize;
        uint32_t end = U32At(image, e + Pe::kSectionVirtualAddressOffset) + U32At(image, e + Pe::kSectionVirtualSizeOffset);
        if (end > virtualEnd)
            virtualEnd = end;
        uint32_t raw = U32At(image, e + Pe::kSectionRawDataOffset) + U32At(image, e + Pe::kSectionRawSizeOffset);
        if (U32At(image, e + Pe::kSectionRawSizeOffset) && raw > rawEnd)
            rawEnd = raw;
    }
    if (rawEnd != static_cast<uint32_t>(image.Length()))
        return false;

    int32_t rawOffset = AlignUp(image.Length(), fileAlignment);
    int32_t rawSize = AlignUp(data.Length() ? data.Length() : 1, sectionAlignment);
    uint32_t virtualAddress = static_cast<uint32_t>(AlignUp(virtualEnd, sectionAlignment));

    char header[Pe::kSectionEntrySize] = {};
    strncpy(header, name, Pe::kSectionNameSize);
    String record(header, Pe::kSectionEntrySize);
    record.SetInt32At(Pe::kSectionVirtualSizeOffset, rawSize);
    record.SetInt32At(Pe::kSectionVirtualAddressOffset, static_cast<int32_t>(virtualAddress));
    record.SetInt32At(Pe::kSectionRawSizeOffset, rawSize);
    record.SetInt32At(Pe::kSectionRawDataOffset, rawOffset);
    record.SetInt32At(Pe::kSectionCharacteristicsOffset, static_cast<int32_t>(characteristics));
    memcpy(image.Buffer() + entry, record.Text(), Pe::kSectionEntrySize);

    image.SetInt16At(pe + Pe::kSectionCountOffset, static_cast<int16_t>(count + 1));
    image.SetInt32At(pe + Pe::kSizeOfInitializedDataOffset,
                     static_cast<int32_t>(U32At(image, pe + Pe::kSizeOfInitializedDataOffset) + rawSize));
    image.SetInt32At(pe + Pe::kSizeOfImageOffset, static_cast<int32_t>(virtualAddress) + rawSize);
    // The PE checksum is left as the stub had it: Windows checks it only for drivers, and
    // keeping it lets removing the section give back the stub byte for byte.

    int32_t oldLength = image.Length();
    image.SetLength(rawOffset + rawSize);
    memset(image.Buffer() + oldLength, 0, static_cast<size_t>(rawOffset + rawSize - oldLength));
    if (data.Length())
        memcpy(image.Buffer() + rawOffset, data.Text(), static_cast<size_t>(data.Length()));
    return true;
}
