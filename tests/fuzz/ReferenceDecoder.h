#pragma once
// The block format read the slow, obvious way: one bit at a time, every rule checked at
// the step where the format states it, no word loads, no copies in steps. The real
// decoder must accept exactly the blocks this one accepts and give the same bytes; the
// codec's fuzz target and unit tests hold it to that.
#include "payload/BlockFormat.h"
#include <cstddef>
#include <cstdint>
#include <string>

class ReferenceDecoder {
public:
    // True, with `output` the decoded bytes, when the block is accepted.
    static bool Decode(const uint8_t* block, size_t length, std::string& output)
    {
        output.clear();
        if (!block || length < 8)
            return false;
        uint32_t magic = 0;
        uint32_t expected = 0;
        for (int i = 0; i < 4; ++i) {
            magic |= static_cast<uint32_t>(block[i]) << (8 * i);
            expected |= static_cast<uint32_t>(block[4 + i]) << (8 * i);
        }
        if (magic != kBlockMagic || static_cast<int32_t>(expected) < 0)
            return false;
        ReferenceDecoder in(block, length);
        while (output.size() < expected) {
            uint64_t left = expected - output.size();
            uint64_t count;
            if (in.Bit() == 0) {
                if (!in.Number(kLiteralCount, count) || !in.Available(8 * count) || count > left)
                    return false;
                for (uint64_t i = 0; i < count; ++i)
                    output.push_back(static_cast<char>(in.Bits(8)));
            } else if (in.Bit() == 1) {
                if (!in.Available(8))
                    return false;
                char value = static_cast<char>(in.Bits(8));
                if (!in.Number(kRunLength, count) || count > left)
                    return false;
                output.append(static_cast<size_t>(count), value);
            } else {
                uint64_t distance;
                if (!in.Number(kMatchLength, count) || !in.Number(kMatchDistance, distance))
                    return false;
                if (distance > output.size() || output.size() - distance + count > output.size() || count > left)
                    return false;
                size_t from = output.size() - static_cast<size_t>(distance);
                for (uint64_t i = 0; i < count; ++i)
                    output.push_back(output[from + i]);
            }
        }
        return output.size() == expected;
    }

private:
    ReferenceDecoder(const uint8_t* block, size_t length) : m_block(block), m_total(uint64_t(length) * 8) {}

    bool Available(uint64_t count) const { return count <= m_total - m_position; }

    // A bit read when none is left reads as 0 and does not move the position.
    int Bit()
    {
        if (m_position >= m_total)
            return 0;
        int bit = (m_block[m_position >> 3] >> (m_position & 7)) & 1;
        ++m_position;
        return bit;
    }

    // `count` bits, least significant first; the caller has checked that they are there.
    uint64_t Bits(uint64_t count)
    {
        uint64_t value = 0;
        for (uint64_t i = 0; i < count; ++i)
            value |= static_cast<uint64_t>(Bit()) << i;
        return value;
    }

    bool Number(const NumberCode& code, uint64_t& value)
    {
        if (!Available(2))
            return false;
        uint64_t width = code.base;
        while (Bit() == 1)
            width += code.step;
        if (width > kMaxFieldWidth)
            width = kMaxFieldWidth;
        if (width < 1 || !Available(width))
            return false;
        value = Bits(width) + code.bias;
        return true;
    }

    const uint8_t* m_block;
    uint64_t m_total;
    uint64_t m_position = 64;
};
