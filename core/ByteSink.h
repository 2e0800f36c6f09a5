#pragma once
#include <cstdint>

class String;

// Anything bytes can be written to: memory, a file. Implementations supply Write; the
// typed writes below are built on it, answer the sink's result and stop at the first
// write that fails. All integers are little-endian.
class ByteSink {
public:
    virtual ~ByteSink() = default;

    // True when all `count` bytes were taken.
    virtual bool Write(const void* source, int32_t count) = 0;

    bool WriteU8(uint8_t value);
    bool WriteU16(uint16_t value);
    bool WriteI32(int32_t value);
    bool WriteI64(int64_t value);

    // The length in one, two or four bytes, then the bytes. The one- and two-byte forms
    // write at most 255 and 65,535 bytes of the text, and the length says how many.
    bool WriteText8(const String& text);
    bool WriteText16(const String& text);
    bool WriteText32(const String& text);

    // The bytes of a zero-terminated text without its terminator; null writes nothing.
    bool WriteZeroTerminated(const char* text);

    // `count` copies of `value`, in chunks of at most kRepeatChunk bytes; false for a
    // count below 1.
    bool WriteRepeated(uint8_t value, int32_t count);

    static constexpr int32_t kRepeatChunk = 1024;

private:
    bool WriteLittleEndian(uint64_t value, int count);
    bool WriteCountedText(const String& text, int lengthBytes, int32_t maximum);
};
