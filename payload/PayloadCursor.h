#pragma once
#include "core/String.h"
#include <cstdint>

// The payload read pointer over a bounded range of bytes: the mapped `.quox` section, or
// the buffer that replaces it once the file data has been loaded from disk. Every read
// moves forward; a read that would pass the end is refused (false) and moves nothing,
// so that a damaged package can never make the installer read outside its payload.
class PayloadCursor {
public:
    PayloadCursor() = default;
    PayloadCursor(const void* begin, int32_t length)
        : m_begin(static_cast<const uint8_t*>(begin)), m_position(m_begin), m_end(m_begin + (length > 0 ? length : 0))
    {
    }

    // 4 bytes, little-endian, at any alignment.
    [[nodiscard]] bool ReadInt(int32_t& value);
    [[nodiscard]] bool ReadUInt(uint32_t& value);
    // The zero-terminated text at the pointer, in place; the pointer moves past its zero.
    [[nodiscard]] bool ReadText(const char*& text);
    // `count` bytes into a String used as a byte buffer. Refuses a negative count and
    // answers false, leaving the pointer unchanged, when the bytes are not all there or
    // the buffer cannot be had.
    [[nodiscard]] bool ReadBlock(String& block, int32_t count);
    [[nodiscard]] bool Skip(int32_t count);

    const uint8_t* Position() const { return m_position; }
    int32_t Offset() const { return static_cast<int32_t>(m_position - m_begin); }
    int32_t Remaining() const { return static_cast<int32_t>(m_end - m_position); }

private:
    const uint8_t* m_begin = nullptr;
    const uint8_t* m_position = nullptr;
    const uint8_t* m_end = nullptr;
};
