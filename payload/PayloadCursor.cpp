#include "payload/PayloadCursor.h"
#include "core/LittleEndian.h"
#include <cstring>

bool PayloadCursor::ReadUInt(uint32_t& value)
{
    if (Remaining() < 4)
        return false;
    value = LoadLittleEndian32(m_position);
    m_position += 4;
    return true;
}

bool PayloadCursor::ReadInt(int32_t& value)
{
    uint32_t word;
    if (!ReadUInt(word))
        return false;
    value = static_cast<int32_t>(word);
    return true;
}

bool PayloadCursor::ReadText(const char*& text)
{
    const void* zero = memchr(m_position, 0, static_cast<size_t>(Remaining()));
    if (!zero)
        return false;
    text = reinterpret_cast<const char*>(m_position);
    m_position = static_cast<const uint8_t*>(zero) + 1;
    return true;
}

bool PayloadCursor::ReadBlock(String& block, int32_t count)
{
    if (count < 0 || count > Remaining())
        return false;
    if (!block.AssignBytes(m_position, count))
        return false;
    m_position += count;
    return true;
}

bool PayloadCursor::Skip(int32_t count)
{
    if (count < 0 || count > Remaining())
        return false;
    m_position += count;
    return true;
}
