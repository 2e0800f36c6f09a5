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

    uint64_t BitCount() const { return m_bytes * 8 + static_cast<uint64_t>(m_pending); }

    // Pads the last byte with zero bits and hands the bytes over; false when they do not
    // fit in a String.
    bool Finish(String& output);

    // Bits taken by `value` in the code, prefix and terminator included.
    static int NumberBits(const NumberCode& code, uint64_t value);

private:
    void Reserve(size_t more);

    uint8_t* m_buffer = nullptr;
    size_t m_capacity = 0;
    size_t m_bytes = 0;
    uint64_t m_accumulator = 0;
    int m_pending = 0; // bits held in the accumulator, below 32 between calls
};
