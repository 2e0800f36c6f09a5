#pragma once
#include "core/ByteSink.h"
#include "core/ByteSource.h"
#include "core/String.h"
#include <cstdint>

// A growing byte buffer with a write position: the decompressor's output and a file's
// in-memory image. Bytes written at the position overwrite what is there and extend the
// buffer when they run past its end; reads take bytes from the position.
//
// The buffer may be sized ahead (SetLength on Contents()) so that writing into it never
// reallocates; Finish then cuts it at the write position. MakeRoom hands out the address
// of the next bytes for callers that fill them directly, so no staging copy is needed.
class MemoryWriter final : public ByteSource, public ByteSink {
public:
    MemoryWriter();

    // Writes `count` bytes at the position. Zero bytes answer true; a null source or a
    // negative count answers false.
    bool Write(const void* source, int32_t count) override;

    // Reads `count` bytes at the position. A read past the end delivers nothing, leaves
    // the position and answers false.
    bool Read(void* destination, int32_t count) override;

    // Advances the position by `count` (at least 0), raises the buffer's length to the new
    // position when it is shorter, and returns the address of the `count` bytes, which the
    // caller fills. Null when the position would pass 2 GB. Inline: the decompressor calls
    // it for every token.
    char* MakeRoom(int32_t count)
    {
        if (count < 0 || count > 0x7fffffff - m_position)
            return nullptr;
        int32_t start = m_position;
        m_position += count;
        if (m_position > m_contents.Length())
            m_contents.EnsureLength(m_position);
        return m_contents.Buffer() ? m_contents.Buffer() + start : nullptr;
    }

    // Appends a copy of `count` bytes already written at `position`. The source must lie
    // wholly before the write position, so an overlapping copy is refused (false).
    bool CopyBack(int32_t position, int32_t count);

    bool Seek(int32_t position);
    // Cuts the buffer at the write position.
    void Finish();
    // Position 0 and the buffer released.
    void Reset();

    int32_t Position() const { return m_position; }
    String& Contents() { return m_contents; }
    const String& Contents() const { return m_contents; }

private:
    String m_contents;
    int32_t m_position = 0;
};
