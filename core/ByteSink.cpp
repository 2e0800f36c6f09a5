#include "core/ByteSink.h"
#include "core/LittleEndian.h"
#include "core/String.h"

bool ByteSink::WriteLittleEndian(uint64_t value, int count)
{
    uint8_t bytes[8];
    StoreLittleEndian(bytes, value, count);
    return Write(bytes, count);
}

bool ByteSink::WriteU8(uint8_t value)
{
    return WriteLittleEndian(value, 1);
}

bool ByteSink::WriteU16(uint16_t value)
{
    return WriteLittleEndian(value, 2);
}

bool ByteSink::WriteI32(int32_t value)
{
    return WriteLittleEndian(static_cast<uint32_t>(value), 4);
}

bool ByteSink::WriteI64(int64_t value)
{
    return WriteLittleEndian(static_cast<uint64_t>(value), 8);
}

bool ByteSink::WriteCountedText(const String& text, int lengthBytes, int32_t maximum)
{
    int32_t n = text.Length() < maximum ? text.Length() : maximum;
    if (!WriteLittleEndian(static_cast<uint32_t>(n), lengthBytes))
        return false;
    return n == 0 || Write(text.Text(), n);
}

bool ByteSink::WriteText8(const String& text)
{
    return WriteCountedText(text, 1, 255);
}

bool ByteSink::WriteText16(const String& text)
{
    return WriteCountedText(text, 2, 65535);
}

bool ByteSink::WriteText32(const String& text)
{
    return WriteCountedText(text, 4, String::kToEnd);
}

bool ByteSink::WriteZeroTerminated(const char* text)
{
    int32_t n = SafeLength(text);
    return n == 0 || Write(text, n);
}

bool ByteSink::WriteRepeated(uint8_t value, int32_t count)
{
    if (count < 1)
        return false;
    uint8_t chunk[kRepeatChunk];
    int32_t filled = count < kRepeatChunk ? count : kRepeatChunk;
    for (int32_t i = 0; i < filled; ++i)
        chunk[i] = value;
    while (count > 0) {
        int32_t n = count < kRepeatChunk ? count : kRepeatChunk;
        if (!Write(chunk, n))
            return false;
        count -= n;
    }
    return true;
}
