#pragma once
#include "payload/BlockFormat.h"
#include <cstddef>
#include <cstdint>

class String;

// Packs bits least significant first into a growing byte buffer: the encoder's output
// stream, and the tool with which tests build blocks by hand.
class BitWriter {
public:
    BitWriter() = default;
    ~BitWriter();
    BitWriter(const BitWriter&) = delete;
    BitWriter& operator=(const BitWriter&) = delete;

    // The low `count` bits of `bits`, count 0 to 32.
    void WriteBits(uint64_t bits, int count);
    // A number in the block's variable-width code; `value` includes the bias, and
    // value - bias must fit in 32 bits.
    void WriteNumber(const NumberCode& code, uint64_t value);
    // Whole bytes at the current bit position.
    void WriteBytes(const uint8_t* bytes, size_t count);
    // Everything `other` holds, at the current bit position: streams written apart (the
    // segments of one block) become one.
    void Append(const BitWriter& other);

    uint64_t BitCount() const { return m_bytes * 8 + static_cast<uint64_t>(m_pending); }

    // Pads the last byte with zero bits and hands the bytes over; false when they do not
    // fit in a String.
    bool Finish(String& output);

    // Bits taken by `value` in the code, prefix and terminator included: the prefix has
    // one bit per step the field must widen beyond its base to hold value - bias.
    static int NumberBits(const NumberCode& code, uint64_t value)
    {
        uint64_t field = value - code.bias;
        int significant = field ? 64 - __builtin_clzll(field) : 0;
        int prefix = significant > code.base ? (significant - code.base + code.step - 1) / code.step : 0;
        int width = code.base + prefix * code.step;
        return prefix + 1 + (width < kMaxFieldWidth ? width : kMaxFieldWidth);
    }

private:
    void Reserve(size_t more);
    // WriteBits once four bytes are reserved.
    void PutBits(uint64_t bits, int count)
    {
        m_accumulator |= (bits & ((uint64_t(1) << count) - 1)) << m_pending;
        m_pending += count;
        if (m_pending >= 32) {
            for (int i = 0; i < 4; ++i)
                m_buffer[m_bytes + i] = static_cast<uint8_t>(m_accumulator >> (8 * i));
            m_bytes += 4;
            m_accumulator >>= 32;
            m_pending -= 32;
        }
    }

    uint8_t* m_buffer = nullptr;
    size_t m_capacity = 0;
    size_t m_bytes = 0;
    uint64_t m_accumulator = 0;
    int m_pending = 0; // bits held in the accumulator, below 32 between calls
};
