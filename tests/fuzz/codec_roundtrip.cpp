// Any bytes through the encoder and back: the block must decode to exactly the input.
// The first byte chooses the level, the rest is the input.
#include "core/String.h"
#include "payload/Decompressor.h"
#include "payload/Encoder.h"
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > (1 << 24))
        return 0;
    CompressionLevel level = (data[0] & 1) ? CompressionLevel::Best : CompressionLevel::Fast;
    String input(data + 1, static_cast<int32_t>(size - 1));
    String block;
    if (!Compress(input, block, level))
        abort();
    String output;
    if (!Decompress(block.Text(), block.Length(), output) || !(output == input))
        abort();
    return 0;
}
