#pragma once
#include "core/String.h"
#include "system/FileStamp.h"
#include <cstdint>

// One entry of a directory as a scan finds it; times are local.
struct FileInfo {
    static constexpr uint32_t kReadOnly = 0x01;
    static constexpr uint32_t kDirectory = 0x10;
    static constexpr uint32_t kReparsePoint = 0x400; // a link to another place (junction)

    FileStamp lastAccess;
    uint32_t attributes = 0; // Win32 attribute word
    FileStamp lastWrite;
    FileStamp creation;
    String name;      // long name, without directory
    String shortName; // 8.3 name, "" when Windows gives none
    uint64_t size = 0;

    bool IsDirectory() const { return (attributes & kDirectory) != 0; }
};
