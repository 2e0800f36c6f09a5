#pragma once
#include "core/String.h"
#include <cstdint>

// The background picture, held as a packed device-independent bitmap: a bitmap header
// (the 12-byte core header or the 40-byte information header), its colour table and its
// pixel bits, without the 14-byte file header of a .BMP file. The settings stream
// carries it in this form; the uninstaller reads it back from a .BMP file.
//
// A picture is kept only when it can be drawn safely: a header of a known size, a
// width and a height from 1 to 65,535, a bit depth that GDI draws, and a colour table
// and pixel bits that lie wholly inside the bytes. Anything else leaves no picture, so
// nothing is drawn and nothing is ever read beyond the buffer.
//
// Portable: no system headers, so the host's unit tests can take it apart.
class PackedBitmap {
public:
    static constexpr int32_t kFileHeaderSize = 14;

    // Takes a copy of the bytes when they hold a picture; otherwise clears. True when a
    // picture is held.
    bool Load(const void* bytes, int32_t length);

    // The bytes of a .BMP file: "BM", the file size at offset 2, and the packed bitmap
    // after the 14-byte file header (as many bytes as the file size names, but no more
    // than the file holds).
    bool LoadFileImage(const String& file);

    // The .BMP file that holds this picture; empty when there is none.
    String FileImage() const;

    void Clear();

    bool IsValid() const { return m_width > 0; }
    int32_t Width() const { return m_width; }
    // Positive also for a top-down picture (whose header holds a negative height).
    int32_t Height() const { return m_height; }
    // The header as GDI takes it (BITMAPINFO or BITMAPCOREINFO) and the pixel bits.
    const void* Header() const { return m_bytes.Text(); }
    const void* Bits() const { return m_bytes.Text() + m_bitsOffset; }
    const String& Bytes() const { return m_bytes; }

private:
    bool Parse();

    String m_bytes;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_bitsOffset = 0;
};
