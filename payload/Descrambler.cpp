#include "payload/Descrambler.h"
#include "core/String.h"

void Descramble(void* buffer, int32_t length, uint32_t key)
{
    if (!buffer || length < 1)
        return;
    // Byte by byte with the key's bytes in little-endian order is the same as XORing each
    // whole word, and needs no alignment.
    uint8_t* bytes = static_cast<uint8_t*>(buffer);
    for (int32_t i = 0; i < length; ++i)
        bytes[i] ^= static_cast<uint8_t>(key >> (8 * (i & 3)));
}

void Descramble(String& bytes, uint32_t key)
{
    Descramble(bytes.Buffer(), bytes.Length(), key);
}
