#pragma once
#include "core/String.h"
#include "system/FileInfo.h"

// Walks the entries that match a mask ("c:\dir\*.txt"). Entries whose names are empty
// or hold a character that no path of ours may contain ( / " < > | * ? : ; ) are
// skipped. The find handle is closed when the walk ends, when a new one starts and on
// destruction.
class FileFinder {
public:
    FileFinder() = default;
    FileFinder(const FileFinder&) = delete;
    FileFinder& operator=(const FileFinder&) = delete;
    ~FileFinder() { Close(); }

    // The first accepted entry; false when there is none.
    bool First(const char* mask, FileInfo& info);
    // The next accepted entry; false (and the walk closed) at the end.
    bool Next(FileInfo& info);
    void Close();
    bool IsScanning() const { return m_handle != nullptr; }

private:
    void* m_handle = nullptr;
};

// The first accepted entry of a mask.
bool FindFirstEntry(const char* mask, FileInfo& info);
// The last write time of the first accepted entry; a cleared stamp when there is none.
FileStamp LastWriteTimeOf(const char* mask);
