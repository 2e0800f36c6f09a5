#include "system/FileFinder.h"
#include <windows.h>

static void Fill(const WIN32_FIND_DATAA& data, FileInfo& info)
{
    info = FileInfo();
    info.lastAccess.SetFromFileTime(&data.ftLastAccessTime);
    info.attributes = data.dwFileAttributes;
    info.lastWrite.SetFromFileTime(&data.ftLastWriteTime);
    info.creation.SetFromFileTime(&data.ftCreationTime);
    info.name = data.cFileName;
    info.shortName = data.cAlternateFileName;
    info.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

static bool Acceptable(const char* name)
{
    return *name && !ContainsAnyOf(name, "/\"<>|*?:;");
}

bool FileFinder::First(const char* mask, FileInfo& info)
{
    Close();
    if (!mask || !*mask) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    WIN32_FIND_DATAA data;
    m_handle.Reset(FindFirstFileA(mask, &data));
    if (!m_handle)
        return false;
    if (Acceptable(data.cFileName)) {
        Fill(data, info);
        return true;
    }
    return Next(info);
}

bool FileFinder::Next(FileInfo& info)
{
    if (!m_handle)
        return false;
    WIN32_FIND_DATAA data;
    while (FindNextFileA(m_handle.Get(), &data)) {
        if (Acceptable(data.cFileName)) {
            Fill(data, info);
            return true;
        }
    }
    // Closing must not hide why the walk ended.
    DWORD error = GetLastError();
    Close();
    SetLastError(error);
    return false;
}

bool FindFirstEntry(const char* mask, FileInfo& info)
{
    FileFinder finder;
    return finder.First(mask, info);
}

FileStamp LastWriteTimeOf(const char* mask)
{
    FileInfo info;
    if (FindFirstEntry(mask, info))
        return info.lastWrite;
    FileStamp none;
    none.Clear();
    return none;
}
