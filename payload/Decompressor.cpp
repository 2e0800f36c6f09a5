#include "payload/Decompressor.h"
#include "core/LittleEndian.h"
#include "core/MemoryWriter.h"
#include "core/String.h"
#include "payload/BlockFormat.h"
#include <cstring>

// The stream is defined bit by bit, but decoding it that way costs several operations per
// bit. This reader instead loads 64 bits at a time from any bit position and takes whole
// fields out of them; every field is checked against the end of the stream before it is
// used, so a field that would run past the end fails exactly where the bit-at-a-time
// reading would, and bytes past the input are never loaded.

namespace {

inline uint64_t TrailingOnes(uint64_t bits)
{
    return ~bits == 0 ? 64 : static_cast<uint64_t>(__builtin_ctzll(~bits));
}

class BitInput {
public:
    static constexpr uint64_t kShortPrefix = 24;

    BitInput(const uint8_t* data, int32_t length)
        : m_data(data)
        , m_length(static_cast<uint64_t>(length))
        , m_total(static_cast<uint64_t>(length) * 8)
    {
    }

    uint64_t Position() const { return m_position; }
    bool Available(uint64_t count) const { return count <= m_total - m_position; }
    void Skip(uint64_t count) { m_position += count; }

    // The 64 bits from bit `at` on, zero past the end of the input. At least 57 of them
    // are real bits of the stream when `at` lies 57 bits or more before its end.
    uint64_t Peek(uint64_t at) const
    {
        uint64_t byte = at >> 3;
        uint64_t word = 0;
        if (byte + 8 <= m_length) {
            word = LoadLittleEndian64(m_data + byte);
        } else {
            for (uint64_t i = byte; i < m_length; ++i)
                word |= static_cast<uint64_t>(m_data[i]) << (8 * (i - byte));
        }
        return word >> (at & 7);
    }

    // One variable-width number, bias included; false when it does not lie wholly within
    // the stream. Prefixes of up to kShortPrefix bits, which is all that an encoder writes,
    // are decoded from one load.
    bool ReadNumber(const NumberCode& code, uint64_t& value)
    {
        if (!Available(2))
            return false;
        uint64_t bits = Peek(m_position);
        uint64_t ones = TrailingOnes(bits);
        if (ones > kShortPrefix)
            return ReadLongNumber(code, value);
        uint64_t width = code.base + ones * code.step;
        if (width > kMaxFieldWidth)
            width = kMaxFieldWidth;
        // At most 24 + 1 + 32 = 57 bits: all of them came with the one load.
        uint64_t need = ones + 1 + width;
        if (!Available(need))
            return false;
        value = ((bits >> (ones + 1)) & ((uint64_t(1) << width) - 1)) + code.bias;
        m_position += need;
        return true;
    }

    // The same for any prefix length: a prefix runs until its first zero bit or the end
    // of the input, past which Peek gives zeros, and caps the field at 32 bits however
    // long it is.
    __attribute__((noinline)) bool ReadLongNumber(const NumberCode& code, uint64_t& value)
    {
        uint64_t at = m_position;
        for (;;) {
            uint64_t loaded = 64 - (at & 7);
            uint64_t more = TrailingOnes(Peek(at));
            at += more;
            if (more < loaded)
                break;
        }
        uint64_t ones = at - m_position;
        uint64_t width = code.base + ones * code.step;
        if (width > kMaxFieldWidth)
            width = kMaxFieldWidth;
        uint64_t need = ones + 1 + width;
        if (!Available(need))
            return false;
        value = (Peek(at + 1) & ((uint64_t(1) << width) - 1)) + code.bias;
        m_position += need;
        return true;
    }

    // Copies `count` whole bytes from the stream to `out`; the caller has checked that they
    // are available. Bytes from `out` + count up to `limit` may be overwritten: they are
    // output that later tokens write.
    void CopyBytes(uint8_t* out, uint64_t count, const uint8_t* limit)
    {
        uint64_t byte = m_position >> 3;
        unsigned shift = static_cast<unsigned>(m_position & 7);
        m_position += count * 8;
        if (shift == 0 && count >= 16) {
            memcpy(out, m_data + byte, static_cast<size_t>(count));
            return;
        }
        // Seven output bytes per load, stored as eight, while both sides have the room.
        uint64_t i = 0;
        while (i < count && byte + i + 8 <= m_length && out + i + 8 <= limit) {
            uint64_t word = LoadLittleEndian64(m_data + byte + i) >> shift;
            StoreLittleEndian64(out + i, word);
            i += 7;
        }
        if (shift == 0) {
            for (; i < count; ++i)
                out[i] = m_data[byte + i];
            return;
        }
        // With a shift, the last bit of the run lies in the byte after the run's start
        // plus count, which the availability check has shown to exist.
        for (; i < count; ++i)
            out[i] = static_cast<uint8_t>((m_data[byte + i] >> shift) | (m_data[byte + i + 1] << (8 - shift)));
    }

private:
    const uint8_t* m_data;
    uint64_t m_length;
    uint64_t m_total;
    uint64_t m_position = 8 * kBlockHeaderSize;
};

// Decodes the tokens into `writer`, whose buffer is already sized to `expected`.
bool DecodeTokens(BitInput& in, MemoryWriter& writer, int32_t expected)
{
    uint64_t produced = 0;
    const uint64_t total = static_cast<uint64_t>(expected);
    const uint8_t* limit = reinterpret_cast<const uint8_t*>(writer.Contents().Text()) + expected;
    while (produced < total) {
        uint64_t room = total - produced;
        // A flag bit past the end would read as 0 and the number after it would fail, so
        // running out here fails either way.
        if (!in.Available(1))
            return false;
        uint64_t flags = in.Peek(in.Position());
        uint64_t count;
        if ((flags & 1) == 0) {
            in.Skip(1);
            if (!in.ReadNumber(kLiteralCount, count) || count > room || !in.Available(count * 8))
                return false;
            in.CopyBytes(reinterpret_cast<uint8_t*>(writer.MakeRoom(static_cast<int32_t>(count))), count, limit);
        } else if (!in.Available(2)) {
            return false;
        } else if (flags & 2) {
            // The byte value and at least two bits of the length must follow.
            if (!in.Available(2 + 8 + 2))
                return false;
            uint8_t value = static_cast<uint8_t>(flags >> 2);
            in.Skip(2 + 8);
            if (!in.ReadNumber(kRunLength, count) || count > room)
                return false;
            memset(writer.MakeRoom(static_cast<int32_t>(count)), value, static_cast<size_t>(count));
        } else {
            in.Skip(2);
            uint64_t distance;
            if (!in.ReadNumber(kMatchLength, count) || !in.ReadNumber(kMatchDistance, distance))
                return false;
            if (distance > produced || count > distance || count > room)
                return false;
            char* out = writer.MakeRoom(static_cast<int32_t>(count));
            // count <= distance: source and destination never overlap. A short copy from
            // 16 or more bytes back moves 16 bytes at once where the output has the room;
            // the bytes past count are rewritten by later tokens.
            if (count <= 16 && distance >= 16 && reinterpret_cast<const uint8_t*>(out) + 16 <= limit) {
                uint64_t words[2];
                memcpy(words, out - distance, 16);
                memcpy(out, words, 16);
            } else {
                memcpy(out, out - distance, static_cast<size_t>(count));
            }
        }
        produced += count;
    }
    return true;
}

} // namespace

bool Decompress(const void* block, int32_t length, String& output)
{
    if (!block || length < kBlockHeaderSize)
        return false;
    const uint8_t* bytes = static_cast<const uint8_t*>(block);
    if (LoadLittleEndian32(bytes) != kBlockMagic)
        return false;
    int32_t expected = static_cast<int32_t>(LoadLittleEndian32(bytes + 4));
    if (expected < 0)
        return false;
    MemoryWriter writer;
    if (expected > 0 && !writer.Contents().TrySetLength(expected))
        return false;
    BitInput in(bytes, length);
    if (!DecodeTokens(in, writer, expected))
        return false;
    writer.Finish();
    output = static_cast<String&&>(writer.Contents());
    return true;
}

bool Decompress(String& bytes)
{
    String output;
    if (!Decompress(bytes.Text(), bytes.Length(), output))
        return false;
    bytes = static_cast<String&&>(output);
    return true;
}
