#pragma once
#include "core/ByteSource.h"
#include <cstdint>

// Reads a byte buffer that someone else owns (a decoded settings block, a mapped section)
// from a position that starts at 0.
//
// A read that runs past the end delivers what remains, zero-fills the rest of the
// destination, leaves the position at the end and answers false. A reader that skips the
// individual results therefore sees zeros and empty texts after the end instead of stale
// bytes, and the caller can check the stream once at a known marker.
class MemoryReader final : public ByteSource {
public:
    MemoryReader(const void* buffer, int32_t size);
    explicit MemoryReader(const String& buffer);

    bool Read(void* destination, int32_t count) override;

    // False when `position` lies outside 0 ... size; the position is then unchanged.
    bool Seek(int32_t position);
    bool SeekFromEnd(int32_t offset);

    int32_t Position() const { return m_position; }
    int32_t Size() const { return m_size; }

private:
    const uint8_t* m_buffer;
    int32_t m_size;
    int32_t m_position = 0;
};
