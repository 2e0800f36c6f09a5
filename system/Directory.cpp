#include "system/Directory.h"
#include "system/FileOperations.h"
#include "system/FileFinder.h"
#include "system/Path.h"
#include "system/RuntimeLoader.h"
#include "system/SystemPaths.h"
#include <windows.h>

bool DirectoryExists(const String& path)
{
    if (path.IsEmpty())
        return false;
    String saved = CurrentDirectory();
    if (!SetCurrentDirectoryA(path.Text()))
        return false;
    // Going back can fail only when the old directory went away meanwhile; the answer
    // about `path` stands either way.
    (void)SetCurrentDirectoryA(saved.Text());
    return true;
}

bool DriveExists(char letter)
{
    if (!IsLetter(letter))
        return false;
    char root[] = { letter, ':', '\\', 0 };
    return GetDriveTypeA(root) != DRIVE_NO_ROOT_DIR;
}

bool CreateDirectories(const String& path)
{
    if (path.IsEmpty()) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    if (DirectoryExists(path))
        return true;
    String parent = DirectoryPart(path);
    if (parent == path)
        return true;
    if (parent.Length() >= 4 && !DirectoryExists(parent) && !CreateDirectories(parent))
        return false;
    if (CreateDirectoryA(path.Text(), nullptr))
        return true;
    // Someone else may have made it meanwhile (or the path ends in a backslash, whose
    // directory the parent step made); a file of that name is still a failure, and
    // the caller sees CreateDirectoryA's reason, not that of the test.
    DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS && DirectoryExists(path))
        return true;
    SetLastError(error);
    return false;
}

bool RemoveEmptyDirectory(const String& path)
{
    if (path.Length() <= 3)
        return false;
    String directory(path);
    directory.RemoveLastIf('\\');
    return RemoveDirectoryA(directory.Text()) != 0;
}

String FullPathName(const String& path)
{
    char buffer[MAX_PATH];
    char* namePart = nullptr;
    DWORD length = path.IsEmpty() ? 0 : GetFullPathNameA(path.Text(), MAX_PATH, buffer, &namePart);
    return length && length < MAX_PATH ? String(buffer, static_cast<int32_t>(length)) : String();
}

// Roots and the Windows directory are never deleted as trees, however the path is
// written ("c:\windows\..", a relative path, a parent of the Windows directory).
static bool IsProtectedTree(const String& path)
{
    if (path.Length() <= 3 || IsRootPath(path))
        return true;
    String full = FullPathName(path);
    if (full.IsEmpty() || IsRootPath(full))
        return true;
    String windows = WindowsDirectory();
    if (windows.IsEmpty()) {
        char buffer[MAX_PATH];
        UINT length = GetWindowsDirectoryA(buffer, MAX_PATH);
        if (length && length < MAX_PATH)
            windows.Assign(buffer, static_cast<int32_t>(length));
    }
    return windows.IsEmpty() || PathHolds(path, windows) || PathHolds(full, windows);
}

bool DeleteTree(const String& path)
{
    if (IsProtectedTree(path))
        return false;
    FileFinder finder;
    FileInfo info;
    if (!finder.First(JoinPath(path, "*.*").Text(), info))
        return false;
    DWORD failure = ERROR_SUCCESS;
    do {
        if (info.name == "." || info.name == "..")
            continue;
        String entry = JoinPath(path, info.name);
        bool deleted;
        if (info.IsDirectory() && (info.attributes & FileInfo::kReparsePoint))
            deleted = RemoveEmptyDirectory(entry); // a link: its target is not ours
        else if (info.IsDirectory())
            deleted = DeleteTree(entry);
        else
            deleted = DeleteOneFile(entry.Text(), 0);
        if (!deleted) {
            failure = GetLastError();
            if (failure == ERROR_SUCCESS)
                failure = ERROR_ACCESS_DENIED;
        }
    } while (finder.Next(info));
    finder.Close();

    SetLastError(failure);
    bool removed = RemoveEmptyDirectory(path);
    if (failure != ERROR_SUCCESS) {
        // The caller reports the first cause, not the directory that stayed full.
        SetLastError(failure);
        return false;
    }
    return removed;
}

typedef BOOL(WINAPI* DiskFreeSpaceExFunction)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);

static bool s_freeSpaceLoaded = false;
static void* s_diskFreeSpaceEx = nullptr;

bool DiskFreeSpace(const char* root, uint64_t& freeBytes, uint64_t& totalBytes)
{
    if (!s_freeSpaceLoaded) {
        s_freeSpaceLoaded = true;
        static const RuntimeFunction kTable[] = {
            { "GetDiskFreeSpaceExA", &s_diskFreeSpaceEx, true },
            { nullptr, nullptr, false },
        };
        // Its one entry is optional: missing, its address stays null.
        (void)LoadRuntimeTable("kernel32.dll", kTable);
    }
    if (s_diskFreeSpaceEx) {
        ULARGE_INTEGER available, total, free;
        if (reinterpret_cast<DiskFreeSpaceExFunction>(s_diskFreeSpaceEx)(root, &available, &total, &free)) {
            freeBytes = free.QuadPart;
            totalBytes = total.QuadPart;
            return true;
        }
        if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
            return false;
        // A stub that only says "not here": the cluster counts answer from now on.
        s_diskFreeSpaceEx = nullptr;
    }
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
        return false;
    uint64_t cluster = static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector;
    freeBytes = cluster * freeClusters;
    totalBytes = cluster * totalClusters;
    return true;
}

int DriveFreeSpace(const String& path, uint64_t& freeBytes, uint64_t& totalBytes)
{
    if (!IsLetter(path.First()))
        return -1;
    char root[] = { path.First(), ':', '\\', 0 };
    return DiskFreeSpace(root, freeBytes, totalBytes) ? 1 : 0;
}

int32_t ClusterSize(const String& path)
{
    if (!IsLetter(path.First()))
        return -1;
    char root[] = { path.First(), ':', '\\', 0 };
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
        return -1;
    return static_cast<int32_t>(sectorsPerCluster * bytesPerSector);
}
