#pragma once
#include <cstdint>

// The compressed block: the payload's own LZ-style bit-stream format, written by the
// builder's encoder and read by the stub's decompressor.
//
//   offset 0   u32  kBlockMagic, little-endian
//   offset 4   i32  E, the decoded length, little-endian
//   offset 8        bit stream, up to the end of the block
//
// Bits are taken from each byte least significant first. Tokens follow one another until
// E bytes have been produced; there is no end token, and the bits after the last token
// are padding.
//
//   0   count              literal: count bytes follow, 8 bits each
//   11  value(8) length    run: length copies of the byte value
//   10  length distance    match: copy length bytes that lie distance bytes back; the
//                          copy must lie wholly in what was produced before it, so
//                          length <= distance
//
// A number is k one bits, a zero bit, then a field of min(base + k * step, 32) bits,
// least significant bit first; the number is the field plus the bias. So a literal count
// without prefix bits is 1 to 4, with one prefix bit 1 to 16, and so on.
struct NumberCode {
    uint8_t base;
    uint8_t step;
    uint8_t bias;
};

constexpr uint32_t kBlockMagic = 0x9EC72BA1;
constexpr int32_t kBlockHeaderSize = 8;
constexpr int kMaxFieldWidth = 32;

constexpr NumberCode kLiteralCount = { 2, 2, 1 };
constexpr NumberCode kRunLength = { 1, 1, 3 };
constexpr NumberCode kMatchLength = { 2, 1, 4 };
constexpr NumberCode kMatchDistance = { 12, 2, 4 };
