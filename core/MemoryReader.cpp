#include "core/MemoryReader.h"
#include "core/String.h"
#include <cstring>

MemoryReader::MemoryReader(const void* buffer, int32_t size)
    : m_buffer(static_cast<const uint8_t*>(buffer))
    , m_size(buffer && size > 0 ? size : 0)
{
}

MemoryReader::MemoryReader(const String& buffer)
    : MemoryReader(buffer.Text(), buffer.Length())
{
}

bool MemoryReader::Read(void* destination, int32_t count)
{
    if (count == 0)
        return true;
    if (count < 0 || !destination)
        return false;
    int32_t remaining = m_size - m_position;
    if (count <= remaining) {
        memcpy(destination, m_buffer + m_position, static_cast<size_t>(count));
        m_position += count;
        return true;
    }
    if (remaining > 0)
        memcpy(destination, m_buffer + m_position, static_cast<size_t>(remaining));
    memset(static_cast<uint8_t*>(destination) + remaining, 0, static_cast<size_t>(count - remaining));
    m_position = m_size;
    return false;
}

bool MemoryReader::Seek(int32_t position)
{
    if (position < 0 || position > m_size)
        return false;
    m_position = position;
    return true;
}

bool MemoryReader::SeekFromEnd(int32_t offset)
{
    int64_t position = static_cast<int64_t>(m_size) + offset;
    if (position < 0 || position > m_size)
        return false;
    m_position = static_cast<int32_t>(position);
    return true;
}
