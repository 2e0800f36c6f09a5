#include "core/ByteSource.h"
#include "core/LittleEndian.h"
#include "core/String.h"

bool ByteSource::ReadLittleEndian(uint8_t* bytes, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        bytes[i] = 0;
    return Read(bytes, count);
}

bool ByteSource::ReadU8(uint8_t& value)
{
    uint8_t bytes[1];
    bool ok = ReadLittleEndian(bytes, 1);
    value = bytes[0];
    return ok;
}

bool ByteSource::ReadU16(uint16_t& value)
{
    uint8_t bytes[2];
    bool ok = ReadLittleEndian(bytes, 2);
    value = static_cast<uint16_t>(LoadLittleEndian(bytes, 2));
    return ok;
}

bool ByteSource::ReadI32(int32_t& value)
{
    uint8_t bytes[4];
    bool ok = ReadLittleEndian(bytes, 4);
    value = static_cast<int32_t>(static_cast<uint32_t>(LoadLittleEndian(bytes, 4)));
    return ok;
}

bool ByteSource::ReadI64(int64_t& value)
{
    uint64_t bits;
    bool ok = ReadU64(bits);
    value = static_cast<int64_t>(bits);
    return ok;
}

bool ByteSource::ReadU64(uint64_t& value)
{
    uint8_t bytes[8];
    bool ok = ReadLittleEndian(bytes, 8);
    value = LoadLittleEndian(bytes, 8);
    return ok;
}

bool ByteSource::ReadCountedText(String& text, int32_t lengthBytes)
{
    uint8_t bytes[4];
    bool ok = ReadLittleEndian(bytes, lengthBytes);
    int32_t length = static_cast<int32_t>(static_cast<uint32_t>(LoadLittleEndian(bytes, lengthBytes)));
    if (!ok || length < 0) {
        text.Clear();
        return false;
    }
    if (length == 0) {
        text.Clear();
        return true;
    }
    // A 32-bit length comes from the data and may be absurd; only it may fail softly.
    if (lengthBytes == 4) {
        if (!text.TrySetLength(length)) {
            text.Clear();
            return false;
        }
    } else {
        text.SetLength(length);
    }
    if (!Read(text.Buffer(), length)) {
        text.Clear();
        return false;
    }
    return true;
}

bool ByteSource::ReadText8(String& text)
{
    return ReadCountedText(text, 1);
}

bool ByteSource::ReadText16(String& text)
{
    return ReadCountedText(text, 2);
}

bool ByteSource::ReadText32(String& text)
{
    return ReadCountedText(text, 4);
}

bool ByteSource::ReadZeroTerminated(String& text)
{
    text.Clear();
    // Bytes are read one at a time (a source may hold more after the terminator) but
    // appended in chunks, so that a long text does not reallocate every few bytes.
    char chunk[256];
    int32_t held = 0;
    bool first = true;
    for (;;) {
        char c = 0;
        if (!Read(&c, 1)) {
            if (first)
                return false;
            break;
        }
        first = false;
        if (c == 0)
            break;
        chunk[held++] = c;
        if (held == static_cast<int32_t>(sizeof(chunk))) {
            text.Append(chunk, held);
            held = 0;
        }
    }
    if (held > 0)
        text.Append(chunk, held);
    return true;
}
