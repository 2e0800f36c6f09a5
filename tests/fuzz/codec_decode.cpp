// Any bytes as a compressed block: the decoder must answer without reading or writing
// outside its buffers (the sanitizers watch), and an accepted block must give exactly the
// length it announces. The announced length is folded below 1 MB first, so that the
// fuzzer spends its time on token streams rather than on reserving gigabytes.
#include "core/String.h"
#include "payload/Decompressor.h"
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0x7fffffff)
        return 0;
    std::vector<uint8_t> block(data, data + size);
    if (size >= 8) {
        int32_t expected;
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
    if (accepted) {
        int32_t expected;
        memcpy(&expected, exact + 4, 4);
        if (output.Length() != expected)
            abort();
    } else if (output != String("before")) {
        abort();
    }
    // The in-place form must agree.
    String inPlace(exact, static_cast<int32_t>(size));
    if (Decompress(inPlace) != accepted || (accepted && !(inPlace == output)))
        abort();
    free(exact);
    return 0;
}
