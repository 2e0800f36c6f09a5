#pragma once
#include <cstdint>
#include <cstring>
#include <string>

// A minimal 32-bit PE program for the builder's tests: a DOS header, the PE headers and
// `sections` small sections (file alignment 0x200, section alignment 0x1000), each
// filled with its own byte so that a moved or damaged section shows. It runs nowhere; it
// only has to be a program the builder can extend and the payload code can walk.
inline std::string MakeTestStub(int sections = 3)
{
    const uint32_t pe = 0x80;
    const uint32_t fileAlignment = 0x200;
    const uint32_t sectionAlignment = 0x1000;
    const uint32_t headersSize = 0x400;
    std::string image(headersSize + sections * fileAlignment, '\0');
    auto put16 = [&](uint32_t at, uint16_t v) { memcpy(&image[at], &v, 2); };
    auto put32 = [&](uint32_t at, uint32_t v) { memcpy(&image[at], &v, 4); };
    image[0] = 'M';
    image[1] = 'Z';
    put32(0x3C, pe);
    memcpy(&image[pe], "PE\0\0", 4);
    put16(pe + 4, 0x14C);                 // i386
    put16(pe + 6, static_cast<uint16_t>(sections));
    put16(pe + 20, 0xE0);                 // size of the optional header
    put16(pe + 22, 0x0102);               // executable, 32-bit
    put16(pe + 24, 0x10B);                // PE32
    put32(pe + 28, sections * fileAlignment); // size of code (any)
    put32(pe + 32, sections * fileAlignment); // size of initialized data
    put32(pe + 40, 0x1000);               // entry point
    put32(pe + 52, 0x400000);             // image base
    put32(pe + 56, sectionAlignment);
    put32(pe + 60, fileAlignment);
    put16(pe + 64, 4);                    // OS version
    put16(pe + 72, 4);                    // subsystem version
    put32(pe + 80, sectionAlignment * (sections + 1)); // size of image
    put32(pe + 84, headersSize);
    put32(pe + 88, 0x12345);              // a stale file checksum
    put16(pe + 92, 2);                    // GUI
    put32(pe + 116, 16);                  // data directories
    uint32_t table = pe + 24 + 0xE0;
    for (int i = 0; i < sections; ++i) {
        uint32_t entry = table + i * 40;
        std::string name = ".s" + std::to_string(i);
        memcpy(&image[entry], name.c_str(), name.size());
        put32(entry + 8, 0x100);                                  // virtual size
        put32(entry + 12, sectionAlignment * (i + 1));            // virtual address
        put32(entry + 16, fileAlignment);                         // raw size
        put32(entry + 20, headersSize + i * fileAlignment);       // raw offset
        put32(entry + 36, 0x40000040);
        memset(&image[headersSize + i * fileAlignment], 0x41 + i, fileAlignment);
    }
    return image;
}
