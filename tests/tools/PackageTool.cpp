// Damages packages on purpose, for the Wine tests of the installer's checks. The
// builder never writes a package the installer refuses, so the tests take a good
// package apart with this tool and put it together again around an edited settings
// stream:
//
//   packagetool settings <setup.exe> <stream.bin>
//       writes the decoded settings stream of a package
//   packagetool reseal <setup.exe> <stream.bin> <out.exe> [key]
//       replaces the settings block with <stream.bin>, compressed and scrambled with
//       `key` (hexadecimal; the stream's own checksum when left out, as the builder
//       does), and moves the file data and the header fields along with it
#include "builder/Builder.h"
#include "builder/PackageReader.h"
#include "core/Checksum.h"
#include "payload/Descrambler.h"
#include "payload/Encoder.h"
#include "payload/PayloadLayout.h"
#include "payload/PeImage.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

static int Fail(const std::string& message)
{
    fprintf(stderr, "packagetool: %s\n", message.c_str());
    return 2;
}

static void PutU32(std::string& bytes, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

static uint32_t GetU32(const std::string& bytes, size_t offset)
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[offset + i])) << (8 * i);
    return value;
}

int main(int argc, char** argv)
{
    if (argc < 4)
        return Fail("usage: packagetool settings <setup.exe> <stream.bin> | reseal <setup.exe> <stream.bin> <out.exe> [key]");
    std::string command = argv[1];
    auto image = ReadWholeFile(argv[2]);
    if (!image)
        return Fail(std::string("cannot read ") + argv[2]);
    Package package;
    std::string problem;
    if (!ReadPackage(*image, [](const std::string&) { return std::optional<std::string>(); }, package, problem))
        return Fail("not a readable package: " + problem);

    if (command == "settings")
        return WriteWholeFile(argv[3], package.settingsStream) ? 0 : Fail("cannot write the stream");
    if (command != "reseal" || argc < 5)
        return Fail("unknown command " + command);

    auto stream = ReadWholeFile(argv[3]);
    if (!stream)
        return Fail(std::string("cannot read ") + argv[3]);
    uint32_t key = argc > 5 ? static_cast<uint32_t>(strtoul(argv[5], nullptr, 16))
                            : Checksum(stream->data(), static_cast<int32_t>(stream->size()));
    String block;
    if (!Compress(stream->data(), static_cast<int32_t>(stream->size()), block, CompressionLevel::Fast))
        return Fail("cannot compress the stream");
    Descramble(block, key);

    // The section: header and size table, then the new block, then the file data that
    // followed the old block.
    const PayloadSection& section = package.section;
    std::string sectionBytes = image->substr(static_cast<size_t>(section.rawOffset), static_cast<size_t>(section.rawSize));
    size_t blockStart = kPayloadHeaderSize + 4 * static_cast<size_t>(package.header.header.sizeCount);
    size_t oldBlockLength = static_cast<size_t>(package.header.header.settingsLength);
    uint32_t fileDataEnd = GetU32(sectionBytes, 20);
    std::string rest = sectionBytes.substr(blockStart + oldBlockLength,
                                           fileDataEnd > blockStart + oldBlockLength ? fileDataEnd - blockStart - oldBlockLength : 0);
    std::string newSection = sectionBytes.substr(0, blockStart) + std::string(block.Text(), static_cast<size_t>(block.Length())) + rest;
    PutU32(newSection, 8, static_cast<uint32_t>(block.Length()));
    PutU32(newSection, 12, key);
    PutU32(newSection, 20, static_cast<uint32_t>(newSection.size()));

    // The stub without the old section, then the new section appended again.
    String stub(image->data(), section.rawOffset);
    if (!RemovePayloadSection(stub, section))
        return Fail("cannot take the old section out");
    String data(newSection.data(), static_cast<int32_t>(newSection.size()));
    if (!AppendSection(stub, kPayloadSectionName, data, 0x40000040))
        return Fail("cannot append the new section");
    return WriteWholeFile(argv[4], std::string(stub.Text(), static_cast<size_t>(stub.Length()))) ? 0
                                                                                                 : Fail("cannot write");
}
