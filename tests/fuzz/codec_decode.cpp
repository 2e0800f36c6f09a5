// Any bytes as a compressed block: the decoder must accept exactly the blocks that the
// bit-by-bit reference decoder accepts, give the same bytes, and never read or write
// outside its buffers (the sanitizers watch). The output is decoded once more into a
// buffer of exactly the announced length, so that a write past it is caught too (a
// String keeps spare bytes after its end). The announced length is folded below 1 MB
// first, so that the fuzzer spends its time on token streams rather than on reserving
// gigabytes.
#include "core/String.h"
#include "payload/Decompressor.h"
#include "tests/fuzz/ReferenceDecoder.h"
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0x7fffffff)
        return 0;
    std::vector<uint8_t> block(data, data + size);
    int32_t expected = -1;
    if (size >= 8) {
        memcpy(&expected, block.data() + 4, 4);
        if (expected > (1 << 20)) {
            expected &= (1 << 20) - 1;
            memcpy(block.data() + 4, &expected, 4);
        }
    }
    // An exact-size copy, so that a read past the end is caught.
    uint8_t* exact = static_cast<uint8_t*>(malloc(size ? size : 1));
    if (size > 0)
        memcpy(exact, block.data(), size);
    String output("before");
    bool accepted = Decompress(exact, static_cast<int32_t>(size), output);

    std::string reference;
    if (ReferenceDecoder::Decode(exact, size, reference) != accepted)
        abort();
    if (accepted) {
        if (output.Length() != expected || reference.size() != static_cast<size_t>(expected) ||
            memcmp(output.Text(), reference.data(), reference.size()) != 0)
            abort();
    } else if (output != String("before")) {
        abort();
    }

    if (expected >= 0) {
        uint8_t* into = static_cast<uint8_t*>(malloc(expected ? static_cast<size_t>(expected) : 1));
        if (DecompressInto(exact, static_cast<int32_t>(size), into, expected) != accepted ||
            (accepted && memcmp(into, reference.data(), reference.size()) != 0))
            abort();
        // Any other length is refused.
        if (DecompressInto(exact, static_cast<int32_t>(size), into, expected - 1))
            abort();
        free(into);
    }

    // The in-place form must agree.
    String inPlace(exact, static_cast<int32_t>(size));
    if (Decompress(inPlace) != accepted || (accepted && !(inPlace == output)))
        abort();
    free(exact);
    return 0;
}
