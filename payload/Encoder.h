#pragma once
#include <cstdint>

class String;

// Makes compressed blocks (payload/BlockFormat.h) for the builder; the stub only decodes.
//
// The block format has no entropy coding, so every token has a fixed price in bits that
// depends only on its kind and its numbers. The encoder therefore chooses its tokens by
// shortest path over the input with those exact prices (literal runs priced by their
// whole length, runs, and matches at any distance up to 2^27 found by a binary-tree match
// finder); positions that start a match or run of the nice length or longer take it
// outright. Fast looks at fewer candidates per position and shorter nice lengths; Best
// looks at many.
//
// The result depends only on the input and the level: the same bytes always give the same
// block. Memory: about 9 bytes per input byte (up to the 2^27-position window) plus the
// output.
enum class CompressionLevel {
    Fast,
    Best,
};

// Writes to `block` a block that Decompress turns back into the `length` input bytes.
// False, with `block` unchanged, for a null input with a length above 0, a negative
// length, or when memory or the 2 GB limit of a String does not suffice.
bool Compress(const void* input, int32_t length, String& block, CompressionLevel level);
bool Compress(const String& input, String& block, CompressionLevel level);
