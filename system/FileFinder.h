#pragma once
#include "core/String.h"
#include "system/FileInfo.h"
#include "system/OwnedHandle.h"

// Walks the entries that match a mask ("c:\dir\*.txt"). Entries whose names are empty
// or hold a character that no path of ours may contain ( / " < > | * ? : ; ) are
// skipped. The find handle is closed when the walk ends, when a new one starts and on
// destruction.
class FileFinder {
public:
    FileFinder() = default;
    FileFinder(const FileFinder&) = delete;
    FileFinder& operator=(const FileFinder&) = delete;

    // The first accepted entry; false when there is none (the thread's last error then
    // says why: ERROR_FILE_NOT_FOUND when nothing matched).
    [[nodiscard]] bool First(const char* mask, FileInfo& info);
    // The next accepted entry; false (and the walk closed) at the end, where the last
    // error is ERROR_NO_MORE_FILES unless the walk failed.
    [[nodiscard]] bool Next(FileInfo& info);
    void Close() { m_handle.Reset(); }
    bool IsScanning() const { return m_handle.IsValid(); }

private:
    FindHandle m_handle;
};

// The first accepted entry of a mask.
[[nodiscard]] bool FindFirstEntry(const char* mask, FileInfo& info);
// The last write time of the first accepted entry; a cleared stamp when there is none.
FileStamp LastWriteTimeOf(const char* mask);
