// Any bytes through the encoder and back: the block must decode to exactly the input.
// The first byte chooses the level (bit 0: fast, the lazy parser; set: best, the optimal
// parser) and, with bit 1 set, that the builder's threaded encoding on two threads
// (builder/ThreadedEncoder.h) is run as well and must give the very same block.
#include "builder/ThreadedEncoder.h"
#include "core/String.h"
#include "payload/Decompressor.h"
#include "payload/Encoder.h"
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

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
    if (data[0] & 2) {
        EncodeOptions options;
        options.level = level;
        options.threads = 2;
        std::string threaded;
        if (!EncodeBlock(data + 1, static_cast<uint32_t>(size - 1), options, threaded))
            abort();
        if (threaded.size() != static_cast<size_t>(block.Length()) || memcmp(threaded.data(), block.Text(), threaded.size()))
            abort();
    }
    return 0;
}
