#pragma once
#include "core/String.h"
#include <cstdint>

// One deletion rule of a package: files already on disk that the installation removes.
struct FileDeletion {
    String path;           // file-specification list, relative to the install directory
    uint8_t condition = 0; // a kDeletion* condition; any other value means always
    String value;          // the date or the decimal size the condition compares with
    int32_t flags = 0;     // kDeletionAtRestart
};

// Conditions: the file is deleted when it ...
constexpr uint8_t kDeletionAlways = 0;
constexpr uint8_t kDeletionDateEqual = 1;      // ... has exactly the value's date
constexpr uint8_t kDeletionDateNotEarlier = 2;
constexpr uint8_t kDeletionDateNotLater = 3;
constexpr uint8_t kDeletionSizeEqual = 4;      // ... has exactly the value's size in bytes
constexpr uint8_t kDeletionSizeAtLeast = 5;
constexpr uint8_t kDeletionSizeAtMost = 6;

// Flags: a file that is in use is deleted at the next restart instead.
constexpr int32_t kDeletionAtRestart = 0x2;
