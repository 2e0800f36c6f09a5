#pragma once
#include "core/String.h"
#include <cstdint>

// The few PE operations that an installer's payload section needs: finding the section
// in the program's own file, removing it again to get the plain stub back (the
// uninstaller), and, in the builder, adding it to the stub.

// Where the payload section lies, as found in the PE headers.
struct PayloadSection {
    int32_t peHeader = 0;         // file offset of "PE\0\0"
    int32_t sectionCount = 0;
    int32_t sectionTable = 0;     // file offset of the section table
    int32_t slot = 0;             // index of the payload's entry in the table
    uint32_t virtualAddress = 0;
    uint32_t virtualSize = 0;     // what is mapped; bounds reads in the image
    int32_t rawSize = 0;
    int32_t rawOffset = 0;
};

// Reads `count` bytes at `offset` of the program's file; true only when all arrived.
using ReadAtFunction = bool (*)(void* context, int64_t offset, void* destination, int32_t count);

// Answered when the file has no section named ".quox".
constexpr int kNoPayloadSection = -1;

// Walks the PE headers with positioned reads. Answers 0, kNoPayloadSection or a
// corrupt-installer code (43, 44, 9).
[[nodiscard]] int LocatePayloadSection(ReadAtFunction readAt, void* context, PayloadSection& section);

// Turns `image` - the first rawOffset bytes of the program's file followed by what came
// after the payload section's raw data - into the plain stub: the section's entry is
// taken out of the table, the later entries move up with their file offsets reduced,
// and the section count, the size of initialized data and the size of image shrink.
// False when the headers do not fit in `image` or give no section alignment.
[[nodiscard]] bool RemovePayloadSection(String& image, const PayloadSection& section);

// The builder's side: appends a section named `name` holding `data` to a PE image
// whose last section ends the file. The raw size is padded to a whole number of
// section-alignment units, so that taking the section out again restores the image's
// sizes exactly. False when `image` is not a PE image this can extend.
[[nodiscard]] bool AppendSection(String& image, const char* name, const String& data, uint32_t characteristics);

// Recomputes the size of image from the section table (the end of the last section in
// memory, rounded up to the section alignment).
[[nodiscard]] bool FixSizeOfImage(String& image);
