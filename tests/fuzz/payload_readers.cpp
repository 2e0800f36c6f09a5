// The readers of an installer's payload, fed any bytes: the header reader with its size
// table, the settings block behind it (descrambled and decompressed as the installer
// does), the file entries of the size table in the bytes after that block, and the
// settings stream reader on its own. The first input byte chooses:
//   even: the rest is a payload section, read from its header on;
//   odd:  the rest is a decoded settings stream.
// Reading a settings stream directly lets the fuzzer reach every field without first
// having to make a block that decompresses. Nothing may crash or read out of bounds.
#include "core/MemoryReader.h"
#include "core/String.h"
#include "payload/Decompressor.h"
#include "payload/Descrambler.h"
#include "payload/FileEntry.h"
#include "payload/PayloadHeaderReader.h"
#include "payload/SettingsReader.h"
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// The installer's answers where reading the settings asks the program around it; the
// file size is small so that the uninstaller patch check is reached both ways.
class FuzzHost final : public SettingsHost {
public:
    int64_t OwnFileSize() override { return 1 << 20; }
};

void ReadStream(const void* bytes, int32_t length)
{
    MemoryReader stream(bytes, length);
    Settings settings;
    FuzzHost host;
    if (ReadSettings(stream, settings, host) == 0) {
        // A stream that reads completely must answer every string of its table.
        for (int32_t row = 0; row < settings.stringRows; ++row)
            settings.StringAt(row, settings.languages.Count() - 1);
    }
}

// The file data as the installer walks it: one entry per size, each inside the bytes.
void ReadEntries(PayloadCursor cursor, const PayloadHeaderFields& fields, const uint8_t* begin, const uint8_t* end)
{
    for (int32_t i = 0; i < fields.sizes.Count(); ++i) {
        FileEntry entry;
        if (ReadFileEntry(cursor, fields.sizes[i], entry) != 0)
            return;
        if (entry.data < begin || entry.data + entry.dataLength > end)
            abort();
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > (1u << 24))
        return 0;
    const uint8_t* rest = data + 1;
    int32_t length = static_cast<int32_t>(size - 1);
    if (data[0] & 1) {
        ReadStream(rest, length);
        return 0;
    }
    PayloadCursor cursor(rest, length);
    PayloadHeaderFields fields;
    if (ReadPayloadHeader(cursor, fields) != 0)
        return 0;
    String block;
    if (!cursor.ReadBlock(block, fields.header.settingsLength))
        return 0;
    ReadEntries(cursor, fields, rest, rest + length);
    Descramble(block, fields.header.settingsKey);
    if (!Decompress(block))
        return 0;
    // The installer stops at a checksum that differs; reading on covers the stream too.
    ReadStream(block.Text(), block.Length());
    return 0;
}
