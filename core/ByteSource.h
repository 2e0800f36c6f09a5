#pragma once
#include <cstdint>

class String;

// Anything bytes can be read from: memory, a file. Implementations supply Read; the typed
// reads below are built on it and work the same on every source. All integers are
// little-endian.
//
// The typed integer reads assemble their value from whatever Read left in the bytes (the
// memory reader zero-fills what it could not deliver), so a reader that ignores the
// results of a run of reads sees zeros after the end and can check once at a marker.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    // True when all `count` bytes were delivered.
    virtual bool Read(void* destination, int32_t count) = 0;

    bool ReadU8(uint8_t& value);
    bool ReadU16(uint16_t& value);
    bool ReadI32(int32_t& value);
    bool ReadI64(int64_t& value);
    bool ReadU64(uint64_t& value);

    // A length of one, two or four bytes, then that many bytes into `text`. A failed read
    // leaves `text` empty and answers false; so does a 32-bit length that is negative or
    // too large to allocate.
    bool ReadText8(String& text);
    bool ReadText16(String& text);
    bool ReadText32(String& text);

    // Bytes up to a zero byte (not kept) or the first failed read. False only when not
    // even the first byte could be read.
    bool ReadZeroTerminated(String& text);

private:
    bool ReadLittleEndian(uint8_t* bytes, int32_t count);
    bool ReadCountedText(String& text, int32_t lengthBytes);
};
