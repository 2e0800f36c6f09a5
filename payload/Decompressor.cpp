#include "payload/Decompressor.h"
#include "core/LittleEndian.h"
#include "core/String.h"
#include "payload/BlockFormat.h"
#include <cstddef>
#include <cstring>

// The stream is defined bit by bit, but a token is short: a flag or two and one or two
// numbers whose prefixes an encoder keeps to a few bits. So the decoder loads 64 bits at
// the token's position (once more for a match's distance), takes the fields out of that
// word with shifts and a count of trailing ones, and checks the token as a whole against
// the end of the input with one comparison. Three things leave that path:
//  - a load within 8 bytes of the end of the input is put together byte by byte, with
//    zeros past the end: a field that runs into them puts the token's end past the end of
//    the stream, and the token fails there, as reading bit by bit would;
//  - a prefix too long for the loaded word goes to a general reader, which counts it
//    however long it runs; no encoder writes one, but the format allows it;
//  - a copy that comes within 16 bytes of the end of the output is made exactly.
//
// Copies move whole words and may write up to 15 bytes past the token's own bytes but
// never past the output: later tokens overwrite them. A match's source ends where its
// destination starts at the latest (length <= distance), so a word of the source never
// holds a byte that this copy has still to produce.
//
// Positions are a byte index and a bit shift (0 to 7) rather than one bit count, so that
// they fit a 32-bit register for any block of up to 2 GB.

namespace {

// The bits of a Peek that are bits of the stream, whatever the shift.
constexpr unsigned kPeekBits = 64 - 7;
// The widest field the fast path takes: a field plus its bias then stays below 2^31.
constexpr unsigned kFastFieldWidth = 30;
// No block produces more than this; a larger count or distance always fails.
constexpr uint64_t kMaxNumber = 0x7fffffff;

// The longest prefix of `code` that the fast path decodes when `before` bits of the same
// Peek precede the number: the whole number lies within the Peek, its field is at most
// kFastFieldWidth bits wide, and TrailingOnes counts the prefix exactly.
constexpr unsigned FastPrefix(NumberCode code, unsigned before)
{
    unsigned ones = 0;
    for (;;) {
        unsigned width = code.base + (ones + 1) * code.step;
        if (width > kFastFieldWidth || before + ones + 2 + width > kPeekBits || ones + 1 >= 31)
            return ones;
        ++ones;
    }
}

constexpr unsigned kLiteralFlagBits = 1;
constexpr unsigned kRunHeaderBits = 2 + 8;
constexpr unsigned kMatchFlagBits = 2;
constexpr unsigned kLiteralPrefix = FastPrefix(kLiteralCount, kLiteralFlagBits);
constexpr unsigned kRunPrefix = FastPrefix(kRunLength, kRunHeaderBits);
constexpr unsigned kLengthPrefix = FastPrefix(kMatchLength, kMatchFlagBits);
// A match's distance comes from the same Peek as its length when at most this many bits
// precede it: enough for lengths up to 259.
constexpr unsigned kDistanceBefore = 17;
constexpr unsigned kDistancePrefix = FastPrefix(kMatchDistance, kDistanceBefore);
static_assert(kLiteralPrefix >= 14 && kDistancePrefix >= 9, "counts and distances below 2^30 take the fast path");
static_assert(kRunPrefix >= 16 && kLengthPrefix >= 16, "runs and matches below 2^16 bytes take the fast path");

// The masks of the fast path's field widths: one load instead of the four instructions
// that build a mask, on the path that every number takes.
struct FieldMasks {
    uint32_t of[kFastFieldWidth + 1];
    constexpr FieldMasks() : of()
    {
        for (unsigned width = 0; width <= kFastFieldWidth; ++width)
            of[width] = (uint32_t(1) << width) - 1;
    }
};
constexpr FieldMasks kFieldMasks;

// Where the next bit lies: bit `shift` (least significant first) of byte `at`.
struct Position {
    size_t at;
    size_t shift; // as wide as `at`: with padding between them GCC keeps the pair badly
};

// The helpers of the token loop are forced inline: at -Os, the stub's flags, GCC would
// call them and keep the loop's state in memory.
#define QUOX_HOT inline __attribute__((always_inline))

// Moves `position` on by `bits` (at most 64).
QUOX_HOT void Advance(Position& position, unsigned bits)
{
    size_t total = position.shift + bits;
    position.at += total >> 3;
    position.shift = total & 7;
}

// The block's bytes, read only within [0, length). The helpers take and return values,
// so that the loop's state never has its address taken.
struct Input {
    const uint8_t* bytes;
    size_t length;
};

// The 64 bits from `position` on, zero past the end of the block, put together byte by
// byte. The first kPeekBits of them are the stream's wherever the position lies.
__attribute__((noinline)) uint64_t PeekByBytes(Input input, Position position)
{
    uint64_t word = 0;
    for (unsigned i = 0; i < 8 && position.at + i < input.length; ++i)
        word |= static_cast<uint64_t>(input.bytes[position.at + i]) << (8 * i);
    return word >> position.shift;
}

// The same with one load where the block has 8 bytes from the position on.
QUOX_HOT uint64_t Peek(Input input, Position position)
{
    if (position.at + 8 <= input.length)
        return LoadLittleEndian64(input.bytes + position.at) >> position.shift;
    return PeekByBytes(input, position);
}

// True when every bit before `position` lies within the block.
QUOX_HOT bool Holds(Input input, Position position)
{
    return position.at + (position.shift != 0) <= input.length;
}

// The number of one bits at the bottom of `bits`, up to 31: a prefix on the fast path is
// shorter than that, so 32-bit operations do, which suits a 32-bit target.
QUOX_HOT unsigned TrailingOnes(uint64_t bits)
{
    return static_cast<unsigned>(__builtin_ctz(~static_cast<uint32_t>(bits) | 0x80000000u));
}

// A number, the position after it and the Peek there; a value of 0, which no number
// has, when refused.
struct NumberRead {
    Position end;
    uint32_t value;
    uint64_t next;
};

// A number of any prefix length from `position` on, refused when it is larger than any
// block's output. The prefix runs until its first zero bit or the end of the block, past
// which Peek gives zeros, and caps the field at 32 bits however long it is. The caller
// checks that the number's end still lies within the block.
//
// The code comes as a pointer: passed by value, its bytes would be put together on the
// fast path for this rare call. Being rare, it peeks byte by byte: the smaller code.
__attribute__((noinline)) NumberRead ReadLongNumber(Input input, Position position, const NumberCode* code)
{
    // Past 32 prefix bits the field is 32 bits wide whatever the code, so the count stops
    // there and stays 32-bit however long the prefix runs.
    unsigned ones = 0;
    unsigned more;
    do {
        more = TrailingOnes(PeekByBytes(input, position));
        // 31 ones are all bits of the stream, and the prefix goes on after them.
        Advance(position, more < 31 ? more + 1 : 31);
        ones += more;
        if (ones > 32)
            ones = 32;
    } while (more == 31);
    unsigned width = code->base + ones * code->step;
    if (width > kMaxFieldWidth)
        width = kMaxFieldWidth;
    uint64_t number = (PeekByBytes(input, position) & ((uint64_t(1) << width) - 1)) + code->bias;
    Advance(position, width);
    return { position, number > kMaxNumber ? 0 : static_cast<uint32_t>(number), PeekByBytes(input, position) };
}

// One number from bit `used` of `bits`, the Peek at `position`, on; `used` then counts
// the number's bits too. A prefix longer than `fastPrefix` is read from `position` by the
// general reader, which leaves `position` after the number and `bits` its Peek there.
// False when the number is refused.
QUOX_HOT bool ReadNumber(Input input, Position& position, uint64_t& bits, unsigned& used, unsigned fastPrefix,
                         const NumberCode& code, uint32_t& value)
{
    unsigned ones = TrailingOnes(bits >> used);
    if (ones > fastPrefix) {
        Advance(position, used);
        NumberRead number = ReadLongNumber(input, position, &code);
        position.at = number.end.at;
        position.shift = number.end.shift;
        bits = number.next;
        used = 0;
        value = number.value;
        return value != 0;
    }
    unsigned width = code.base + ones * code.step;
    value = (static_cast<uint32_t>(bits >> (used + ones + 1)) & kFieldMasks.of[width]) + code.bias;
    used += ones + 1 + width;
    return true;
}

// Copies `count` bytes from `from` to `to`, source ending before the destination starts
// (or at it); `room` is how much output follows `to`.
QUOX_HOT void CopyMatch(uint8_t* to, const uint8_t* from, size_t count, size_t room)
{
    if (count + 15 > room) {
        memcpy(to, from, count);
        return;
    }
    size_t i = 0;
    do {
        uint64_t low = LoadLittleEndian64(from + i);
        uint64_t high = LoadLittleEndian64(from + i + 8);
        StoreLittleEndian64(to + i, low);
        StoreLittleEndian64(to + i + 8, high);
        i += 16;
    } while (i < count);
}

// Copies `count` bytes of stream bits from `position` on to `to`; the caller has checked
// that the block holds them and that `room` bytes of output follow `to`.
QUOX_HOT void CopyLiteral(Input input, Position position, uint8_t* to, size_t count, size_t room)
{
    const uint8_t* from = input.bytes + position.at;
    unsigned shift = position.shift;
    size_t i = 0;
    // Seven bytes from each load, stored as eight, while both sides have the room.
    if (count + 7 <= room && position.at + count + 7 <= input.length) {
        do {
            StoreLittleEndian64(to + i, LoadLittleEndian64(from + i) >> shift);
            i += 7;
        } while (i < count);
        return;
    }
    for (; i < count; ++i) {
        unsigned byte = from[i] >> shift;
        // With a shift the byte's last bits lie in the next one, which the block holds.
        if (shift)
            byte |= from[i + 1] << (8 - shift);
        to[i] = static_cast<uint8_t>(byte);
    }
}

// Decodes the block's tokens into [out, end); true when they fill it exactly.
bool DecodeTokens(Input input, uint8_t* out, uint8_t* const end)
{
    uint8_t* const begin = out;
    Position position = { kBlockHeaderSize, 0 };
    while (out != end) {
        size_t room = static_cast<size_t>(end - out);
        uint64_t bits = Peek(input, position);
        unsigned used;
        uint32_t count;
        if ((bits & 1) == 0) {
            used = kLiteralFlagBits;
            if (!ReadNumber(input, position, bits, used, kLiteralPrefix, kLiteralCount, count))
                return false;
            Advance(position, used);
            // Compared with what is left rather than added to the position, which could wrap.
            if (count > room || !Holds(input, position) ||
                count + (position.shift != 0) > input.length - position.at)
                return false;
            CopyLiteral(input, position, out, count, room);
            position.at += count;
        } else if (bits & 2) {
            uint8_t value = static_cast<uint8_t>(bits >> 2);
            used = kRunHeaderBits;
            if (!ReadNumber(input, position, bits, used, kRunPrefix, kRunLength, count))
                return false;
            Advance(position, used);
            if (!Holds(input, position) || count > room)
                return false;
            memset(out, value, count);
        } else {
            uint32_t distance;
            used = kMatchFlagBits;
            if (!ReadNumber(input, position, bits, used, kLengthPrefix, kMatchLength, count))
                return false;
            // A long length leaves too few bits for the distance: load them afresh.
            if (used > kDistanceBefore) {
                Advance(position, used);
                bits = Peek(input, position);
                used = 0;
            }
            if (!ReadNumber(input, position, bits, used, kDistancePrefix, kMatchDistance, distance))
                return false;
            Advance(position, used);
            if (!Holds(input, position) || distance > static_cast<size_t>(out - begin) || count > distance ||
                count > room)
                return false;
            CopyMatch(out, out - distance, count, room);
        }
        out += count;
    }
    return true;
}

#undef QUOX_HOT

} // namespace

int32_t DecodedLength(const void* block, int32_t length)
{
    if (!block || length < kBlockHeaderSize)
        return -1;
    const uint8_t* bytes = static_cast<const uint8_t*>(block);
    if (LoadLittleEndian32(bytes) != kBlockMagic)
        return -1;
    int32_t expected = static_cast<int32_t>(LoadLittleEndian32(bytes + 4));
    return expected < 0 ? -1 : expected;
}

bool DecompressInto(const void* block, int32_t length, void* output, int32_t outputLength)
{
    int32_t expected = DecodedLength(block, length);
    if (expected < 0 || expected != outputLength || (!output && expected > 0))
        return false;
    uint8_t* out = static_cast<uint8_t*>(output);
    Input input = { static_cast<const uint8_t*>(block), static_cast<size_t>(length) };
    return DecodeTokens(input, out, out + expected);
}

bool Decompress(const void* block, int32_t length, String& output)
{
    int32_t expected = DecodedLength(block, length);
    if (expected < 0)
        return false;
    String decoded;
    if (expected > 0 && !decoded.TrySetLength(expected))
        return false;
    if (!DecompressInto(block, length, decoded.Buffer(), expected))
        return false;
    output = static_cast<String&&>(decoded);
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
