#include "ui/PackedBitmap.h"
#include "core/LittleEndian.h"

namespace {

constexpr int32_t kCoreHeaderSize = 12;
constexpr int32_t kInfoHeaderSize = 40;
// With bit-field compression the three colour masks follow the information header.
constexpr int32_t kBitFieldsHeaderSize = 52;

constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionBitFields = 3;

// No background is this large; the limit keeps the size arithmetic within 32 bits.
constexpr uint32_t kLargestSide = 0xffff;

const uint8_t* Unsigned(const String& text)
{
    return reinterpret_cast<const uint8_t*>(text.Text());
}

}

bool PackedBitmap::Load(const void* bytes, int32_t length)
{
    Clear();
    if (!bytes || length <= kCoreHeaderSize)
        return false;
    m_bytes.Assign(bytes, length);
    if (Parse())
        return true;
    Clear();
    return false;
}

bool PackedBitmap::LoadFileImage(const String& file)
{
    Clear();
    if (file.Length() < kFileHeaderSize || !file.StartsWith("BM", 2))
        return false;
    uint32_t size = LoadLittleEndian32(Unsigned(file) + 2);
    if (size > static_cast<uint32_t>(file.Length()))
        size = static_cast<uint32_t>(file.Length());
    return Load(file.Text() + kFileHeaderSize, static_cast<int32_t>(size) - kFileHeaderSize);
}

String PackedBitmap::FileImage() const
{
    String file;
    if (!IsValid())
        return file;
    uint8_t header[kFileHeaderSize] = { 'B', 'M' };
    StoreLittleEndian32(header + 2, static_cast<uint32_t>(kFileHeaderSize + m_bytes.Length()));
    StoreLittleEndian32(header + 10, static_cast<uint32_t>(kFileHeaderSize + m_bitsOffset));
    file.Assign(header, kFileHeaderSize);
    file.Append(m_bytes);
    return file;
}

void PackedBitmap::Clear()
{
    m_bytes.Clear();
    m_width = m_height = 0;
    m_bitsOffset = 0;
}

bool PackedBitmap::Parse()
{
    // 32-bit arithmetic throughout (the stub has no 64-bit helpers to spare): the sizes
    // are limited first so that nothing below can overflow.
    const uint8_t* p = Unsigned(m_bytes);
    const uint32_t length = static_cast<uint32_t>(m_bytes.Length());
    uint32_t headerSize = LoadLittleEndian32(p);
    uint32_t width, height, bitCount, colours, entrySize;
    uint32_t compression = kCompressionNone;
    uint32_t imageSize = 0;
    if (headerSize == kCoreHeaderSize) {
        width = LoadLittleEndian16(p + 4);
        height = LoadLittleEndian16(p + 6);
        bitCount = LoadLittleEndian16(p + 10);
        if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24)
            return false;
        colours = bitCount < 24 ? 1u << bitCount : 0;
        entrySize = 3;
    } else if (headerSize == kInfoHeaderSize && length >= kInfoHeaderSize) {
        width = LoadLittleEndian32(p + 4);
        int32_t signedHeight = static_cast<int32_t>(LoadLittleEndian32(p + 8));
        // A negative height marks a top-down picture; its rows count the same.
        height = signedHeight < 0 ? 0u - static_cast<uint32_t>(signedHeight) : static_cast<uint32_t>(signedHeight);
        bitCount = LoadLittleEndian16(p + 14);
        compression = LoadLittleEndian32(p + 16);
        imageSize = LoadLittleEndian32(p + 20);
        colours = LoadLittleEndian32(p + 32);
        if (!colours && bitCount < 16)
            colours = 1u << bitCount;
        entrySize = 4;
        bool known;
        switch (compression) {
        case kCompressionNone:
            known = bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
            break;
        case kCompressionBitFields:
            known = bitCount == 16 || bitCount == 32;
            headerSize = kBitFieldsHeaderSize;
            break;
        case kCompressionRle8:
        case kCompressionRle4:
            // Run-length data is only as long as the header says, and stored bottom-up.
            known = bitCount == (compression == kCompressionRle8 ? 8u : 4u) && signedHeight > 0 && imageSize;
            break;
        default:
            known = false;
        }
        if (!known)
            return false;
    } else {
        return false;
    }
    if (!width || !height || width > kLargestSide || height > kLargestSide || colours > length / entrySize)
        return false;
    uint32_t bitsOffset = headerSize + colours * entrySize;
    if (bitsOffset > length)
        return false;
    uint32_t room = length - bitsOffset;
    if (compression == kCompressionRle8 || compression == kCompressionRle4) {
        if (imageSize > room)
            return false;
    } else if ((width * bitCount + 31) / 32 * 4 > room / height) {
        return false;
    }
    m_width = static_cast<int32_t>(width);
    m_height = static_cast<int32_t>(height);
    m_bitsOffset = static_cast<int32_t>(bitsOffset);
    return true;
}
