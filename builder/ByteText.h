#pragma once
#include "core/LittleEndian.h"
#include "core/String.h"
#include <cstdint>
#include <cstring>
#include <string>

// The builder works in std::string; the shared payload code in String. These convert
// between the two (both may hold zero bytes) and append the payload's little-endian
// integers to a std::string.

inline String ToString(const std::string& text)
{
    return String(text.data(), static_cast<int32_t>(text.size()));
}

inline std::string FromString(const String& text)
{
    return std::string(text.Text(), static_cast<size_t>(text.Length()));
}

inline void AppendLittleEndian32(std::string& out, uint32_t value)
{
    uint8_t bytes[4];
    StoreLittleEndian32(bytes, value);
    out.append(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// A ReadAtFunction (payload/PeImage.h) over a std::string holding a whole program file.
inline bool ReadAtInString(void* context, int64_t offset, void* destination, int32_t count)
{
    const std::string& image = *static_cast<const std::string*>(context);
    if (offset < 0 || count < 0 || offset + count > static_cast<int64_t>(image.size()))
        return false;
    memcpy(destination, image.data() + offset, static_cast<size_t>(count));
    return true;
}
