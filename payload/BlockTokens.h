#pragma once
#include "payload/BitWriter.h"
#include "payload/BlockFormat.h"
#include <cstdint>

// The block's three tokens (payload/BlockFormat.h) as the encoders write them, and their
// exact prices in bits, by which the encoders choose.

inline void WriteLiteralToken(BitWriter& out, const uint8_t* bytes, uint32_t count)
{
    out.WriteBits(0, 1);
    out.WriteNumber(kLiteralCount, count);
    out.WriteBytes(bytes, count);
}

inline void WriteRunToken(BitWriter& out, uint8_t value, uint32_t length)
{
    out.WriteBits(3, 2); // 1, 1
    out.WriteBits(value, 8);
    out.WriteNumber(kRunLength, length);
}

inline void WriteMatchToken(BitWriter& out, uint32_t length, uint32_t distance)
{
    out.WriteBits(1, 2); // 1, 0
    out.WriteNumber(kMatchLength, length);
    out.WriteNumber(kMatchDistance, distance);
}

inline int RunTokenBits(uint64_t length)
{
    return 2 + 8 + BitWriter::NumberBits(kRunLength, length);
}

inline int MatchTokenBits(uint32_t length, uint32_t distance)
{
    return 2 + BitWriter::NumberBits(kMatchLength, length) + BitWriter::NumberBits(kMatchDistance, distance);
}
