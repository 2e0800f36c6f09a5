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
    if (!mask || !*mask)
        return false;
    WIN32_FIND_DATAA data;
    HANDLE handle = FindFirstFileA(mask, &data);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    m_handle = handle;
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
    while (FindNextFileA(static_cast<HANDLE>(m_handle), &data)) {
        if (Acceptable(data.cFileName)) {
            Fill(data, info);
            return true;
        }
    }
    Close();
    return false;
}

void FileFinder::Close()
{
    if (m_handle) {
        FindClose(static_cast<HANDLE>(m_handle));
        m_handle = nullptr;
    }
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
