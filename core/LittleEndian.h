#pragma once
// Little-endian loads and stores from unaligned bytes. Every integer of the payload, the
// PE headers and the records is little-endian; these are the one place that says how
// such a number is put together, whatever the host's byte order.

#include <cstdint>
#include <cstring>

inline uint16_t LoadLittleEndian16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t LoadLittleEndian32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline uint64_t LoadLittleEndian64(const uint8_t* p)
{
    uint64_t value;
    memcpy(&value, p, 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    value = __builtin_bswap64(value);
#endif
    return value;
}

inline void StoreLittleEndian16(uint8_t* p, uint16_t value)
{
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

inline void StoreLittleEndian32(uint8_t* p, uint32_t value)
{
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
    p[2] = static_cast<uint8_t>(value >> 16);
    p[3] = static_cast<uint8_t>(value >> 24);
}

inline void StoreLittleEndian64(uint8_t* p, uint64_t value)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    value = __builtin_bswap64(value);
#endif
    memcpy(p, &value, 8);
}

// Any width from 1 to 8 bytes, for streams whose fields come in several sizes.
inline uint64_t LoadLittleEndian(const uint8_t* p, int count)
{
    uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}

inline void StoreLittleEndian(uint8_t* p, uint64_t value, int count)
{
    for (int i = 0; i < count; ++i)
        p[i] = static_cast<uint8_t>(value >> (8 * i));
}
