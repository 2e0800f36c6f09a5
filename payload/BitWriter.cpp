#include "payload/BitWriter.h"
#include "core/LittleEndian.h"
#include "core/Memory.h"
#include "core/String.h"

BitWriter::~BitWriter()
{
    Free(m_buffer);
}

void BitWriter::Reserve(size_t more)
{
    if (m_bytes + more <= m_capacity)
        return;
    size_t capacity = m_capacity < 4096 ? 4096 : m_capacity;
    while (capacity < m_bytes + more)
        capacity *= 2;
    m_buffer = static_cast<uint8_t*>(Reallocate(m_buffer, capacity));
    m_capacity = capacity;
}

void BitWriter::WriteBits(uint64_t bits, int count)
{
    if (count <= 0)
        return;
    if (m_capacity - m_bytes < 4)
        Reserve(4);
    PutBits(bits, count);
}

// The prefix length k and field width of `value` (bias removed): the smallest k whose
// width holds the value, where a width of 32 holds any.
static int FieldWidth(const NumberCode& code, uint64_t field, int& prefix)
{
    int width = code.base;
    prefix = 0;
    while (width < kMaxFieldWidth && (field >> width) != 0) {
        width += code.step;
        ++prefix;
    }
    return width < kMaxFieldWidth ? width : kMaxFieldWidth;
}

void BitWriter::WriteNumber(const NumberCode& code, uint64_t value)
{
    uint64_t field = value - code.bias;
    int prefix;
    int width = FieldWidth(code, field, prefix);
    // k one bits and the terminating zero.
    WriteBits((uint64_t(1) << prefix) - 1, prefix + 1);
    WriteBits(field, width);
}

void BitWriter::WriteBytes(const uint8_t* bytes, size_t count)
{
    // Room for all of them at once: the literals and the joining of segments pass every
    // output byte through here, and a check per word was a good part of their cost.
    Reserve(count + 4);
    size_t i = 0;
    for (; i + 4 <= count; i += 4)
        PutBits(LoadLittleEndian32(bytes + i), 32);
    for (; i < count; ++i)
        PutBits(bytes[i], 8);
}

void BitWriter::Append(const BitWriter& other)
{
    WriteBytes(other.m_buffer, other.m_bytes);
    WriteBits(other.m_accumulator, other.m_pending);
}

bool BitWriter::Finish(String& output)
{
    Reserve(8);
    while (m_pending > 0) {
        m_buffer[m_bytes++] = static_cast<uint8_t>(m_accumulator);
        m_accumulator >>= 8;
        m_pending = m_pending > 8 ? m_pending - 8 : 0;
    }
    if (m_bytes > 0x7fffffff - 64)
        return false;
    output.Adopt(m_buffer, static_cast<int32_t>(m_bytes));
    m_buffer = nullptr;
    m_capacity = m_bytes = 0;
    return true;
}
