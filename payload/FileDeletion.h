#pragma once
#include "core/String.h"
#include <cstdint>

// One deletion rule of a package: files already on disk that the installation removes.
struct FileDeletion {
    String path;          // file-specification list, relative to the install directory
    uint8_t condition = 0; // 0 always; 1-3 date equal/not earlier/not later; 4-6 size equal/at least/at most
    String value;         // the date or the decimal size the condition compares with
    int32_t flags = 0;    // 0x2: delete at the next restart when the file is in use
};
