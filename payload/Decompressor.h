#pragma once
#include <cstdint>

class String;

// Decodes one compressed block (format in payload/BlockFormat.h).
//
// A block is accepted exactly when all of these hold:
//  - the buffer is not null, at least 8 bytes long and starts with kBlockMagic;
//  - E (the second word, signed) is 0 or more;
//  - the tokens, read from bit 64 on, produce exactly E bytes: every token lies wholly
//    within the block's bits, no token produces more than is left of E, and every match
//    copies from bytes already produced before it (distance <= bytes so far,
//    length <= distance).
// E = 0 is accepted without reading any token; unused bits after the last token are
// ignored. Counts and lengths are taken at their full width (a 32-bit field plus its
// bias never wraps to a small number), and a prefix longer than needed simply caps the
// field at 32 bits.
//
// Everything else is refused with false and no output. The decoder never reads outside
// [block, block + length) and never writes outside its output of E bytes, whatever the
// input. The output is reserved for E bytes before decoding; when that much memory
// cannot be had the block is refused rather than the program stopped.
//
// On success `output` holds exactly the E decoded bytes; on failure it is unchanged.
bool Decompress(const void* block, int32_t length, String& output);

// E of a block whose header is sound (the buffer holds at least the header, which starts
// with kBlockMagic, and E is 0 or more), otherwise -1. Says nothing of the tokens.
int32_t DecodedLength(const void* block, int32_t length);

// The same decoding into the caller's buffer of `outputLength` bytes, for a caller that
// knows E and owns the memory: true when the block is accepted and E equals outputLength.
// Only those bytes are written, but on failure any of them may have been.
bool DecompressInto(const void* block, int32_t length, void* output, int32_t outputLength);

// Decodes the block held in `bytes` and replaces it with the output. On failure `bytes`
// keeps the block and the answer is false.
bool Decompress(String& bytes);
