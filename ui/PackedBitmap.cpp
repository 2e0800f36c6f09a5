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

const uint8_t* Unsigned(const String& text)
{
    return reinterpret_cast<const uint8_t*>(text.Text());
}

// Bytes of one row, padded to whole 32-bit words.
int64_t RowBytes(int64_t width, int64_t bitCount)
{
    return (width * bitCount + 31) / 32 * 4;
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
    int64_t size = LoadLittleEndian32(Unsigned(file) + 2);
    if (size > file.Length())
        size = file.Length();
    return Load(file.Text() + kFileHeaderSize, static_cast<int32_t>(size - kFileHeaderSize));
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
    const uint8_t* p = Unsigned(m_bytes);
    const int64_t length = m_bytes.Length();
    int64_t headerSize = LoadLittleEndian32(p);
    int64_t width, height, bitCount, colours, entrySize, bitsSize = -1;
    if (headerSize == kCoreHeaderSize) {
        width = LoadLittleEndian16(p + 4);
        height = LoadLittleEndian16(p + 6);
        bitCount = LoadLittleEndian16(p + 10);
        if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24)
            return false;
        colours = bitCount < 24 ? int64_t(1) << bitCount : 0;
        entrySize = 3;
    } else if (headerSize == kInfoHeaderSize && length >= kInfoHeaderSize) {
        width = static_cast<int32_t>(LoadLittleEndian32(p + 4));
        height = static_cast<int32_t>(LoadLittleEndian32(p + 8));
        bitCount = LoadLittleEndian16(p + 14);
        uint32_t compression = LoadLittleEndian32(p + 16);
        uint32_t imageSize = LoadLittleEndian32(p + 20);
        colours = LoadLittleEndian32(p + 32);
        if (!colours && bitCount < 16)
            colours = int64_t(1) << bitCount;
        entrySize = 4;
        switch (compression) {
        case kCompressionNone:
            if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
                return false;
            break;
        case kCompressionBitFields:
            if (bitCount != 16 && bitCount != 32)
                return false;
            headerSize = kBitFieldsHeaderSize;
            break;
        case kCompressionRle8:
        case kCompressionRle4:
            // Run-length data is only as long as the header says; it is stored bottom-up.
            if (bitCount != (compression == kCompressionRle8 ? 8 : 4) || height < 0 || !imageSize)
                return false;
            bitsSize = imageSize;
            break;
        default:
            return false;
        }
        if (height < 0)
            height = -height;
    } else {
        return false;
    }
    if (width <= 0 || height <= 0)
        return false;
    int64_t bitsOffset = headerSize + colours * entrySize;
    if (bitsSize < 0)
        bitsSize = RowBytes(width, bitCount) * height;
    if (bitsOffset > length || bitsSize > length - bitsOffset)
        return false;
    m_width = static_cast<int32_t>(width);
    m_height = static_cast<int32_t>(height);
    m_bitsOffset = static_cast<int32_t>(bitsOffset);
    return true;
}
