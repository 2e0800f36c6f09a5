#pragma once
#include <cstdint>

class BitWriter;
class String;

// Makes compressed blocks (payload/BlockFormat.h) for the builder; the stub only decodes.
//
// The block format has no entropy coding, so every token has a fixed price in bits that
// depends only on its kind and its numbers, and an encoder can weigh its choices exactly.
// Two levels:
//
//  - Fast: hash chains and lazy matching over segments of 1 MiB that are parsed
//    independently, each with all the input before it as its window
//    (payload/LazyEncoder.h). About 5 bytes of memory per input byte.
//  - Best: shortest path over the input with exact token prices and a binary-tree match
//    finder that looks far (payload/OptimalEncoder.h). About 10 bytes per input byte and
//    several times the time of Fast, for blocks some 10 % smaller.
//
// The result depends only on the input and the level: the same bytes always give the same
// block, also when a caller spreads the work of a level over threads (builder/).
enum class CompressionLevel {
    Fast,
    Best,
};

// Writes to `block` a block that Decompress turns back into the `length` input bytes.
// False, with `block` unchanged, for a null input with a length above 0, a negative
// length, or when memory or the 2 GB limit of a String does not suffice.
bool Compress(const void* input, int32_t length, String& block, CompressionLevel level);
bool Compress(const String& input, String& block, CompressionLevel level);

// The block's two header words: the magic and the decoded length. A caller that runs an
// encoder's steps itself writes these first.
void WriteBlockHeader(BitWriter& out, int32_t length);
