#include "core/MemoryWriter.h"
#include <cstring>

bool MemoryWriter::Write(const void* source, int32_t count)
{
    if (count < 1)
        return count == 0;
    if (!source)
        return false;
    // The source may lie inside our own buffer, which MakeRoom may move.
    const char* bytes = static_cast<const char*>(source);
    const char* buffer = m_contents.Buffer();
    if (buffer && bytes >= buffer && bytes < buffer + m_contents.Capacity()) {
        String copy(bytes, count);
        return Write(copy.Text(), count);
    }
    char* destination = MakeRoom(count);
    if (!destination)
        return false;
    memcpy(destination, bytes, static_cast<size_t>(count));
    return true;
}

bool MemoryWriter::Read(void* destination, int32_t count)
{
    if (count == 0)
        return true;
    if (count < 0 || !destination || count > m_contents.Length() - m_position)
        return false;
    memcpy(destination, m_contents.Text() + m_position, static_cast<size_t>(count));
    m_position += count;
    return true;
}

bool MemoryWriter::CopyBack(int32_t position, int32_t count)
{
    if (position < 0 || count < 1 || count > m_position - position || m_position > m_contents.Length())
        return false;
    char* destination = MakeRoom(count);
    if (!destination)
        return false;
    // The range ends at or before the old write position: the two never overlap.
    memcpy(destination, m_contents.Buffer() + position, static_cast<size_t>(count));
    return true;
}

bool MemoryWriter::Seek(int32_t position)
{
    if (position < 0 || position > m_contents.Length())
        return false;
    m_position = position;
    return true;
}

void MemoryWriter::Finish()
{
    m_contents.Truncate(m_position);
}

void MemoryWriter::Reset()
{
    m_position = 0;
    m_contents.Clear();
}

// A call is shorter than the stores of every member in each place that makes one.
__attribute__((noipa)) MemoryWriter::MemoryWriter() = default;
