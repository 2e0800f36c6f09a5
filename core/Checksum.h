#pragma once
#include <cstdint>

class String;

// The program's additive 32-bit checksum. It guards the payload's settings block, its
// file data, each stored file and the stub, and it spreads String keys over the buckets
// of the hash table; so it lives here in the core library, where both can reach it.
//
// Starting from kChecksumSeed, with wrap-around at 32 bits, it adds every whole 4-byte
// group as an unsigned little-endian word, then each of the 1 to 3 bytes left over as a
// signed byte (0x80 and above add a negative amount), then the length. No buffer, or a
// length of 0 or less, gives the seed itself.
//   "abc" -> 0x79E2BDC6, "abcd" -> 0xDE461F02, empty -> 0x79E2BC9D.
constexpr uint32_t kChecksumSeed = 0x79E2BC9D;

uint32_t Checksum(const void* buffer, int32_t length);
uint32_t Checksum(const String& bytes);
