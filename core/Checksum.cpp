#include "core/Checksum.h"
#include "core/LittleEndian.h"
#include "core/String.h"

uint32_t Checksum(const void* buffer, int32_t length)
{
    uint32_t sum = kChecksumSeed;
    if (!buffer || length <= 0)
        return sum;
    const uint8_t* bytes = static_cast<const uint8_t*>(buffer);
    int32_t words = length / 4;
    for (int32_t i = 0; i < words; ++i, bytes += 4)
        sum += LoadLittleEndian32(bytes);
    for (int32_t i = 0; i < length % 4; ++i)
        sum += static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(bytes[i])));
    return sum + static_cast<uint32_t>(length);
}

uint32_t Checksum(const String& bytes)
{
    return Checksum(bytes.Text(), bytes.Length());
}
