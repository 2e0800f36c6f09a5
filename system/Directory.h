#pragma once
#include "core/String.h"
#include <cstdint>

// Directories and drives. Paths are full paths; an empty path is refused with false.

// Tries to make the path the current directory and sets the old one back; nothing else
// may rely on the current directory meanwhile.
[[nodiscard]] bool DirectoryExists(const String& path);
// Whether Windows knows a root directory "x:\".
[[nodiscard]] bool DriveExists(char letter);

// The full form of a path as Windows resolves it: made absolute against the current
// directory, with "." and ".." taken out. "" when Windows cannot (or for "").
String FullPathName(const String& path);

// Creates the directory and every missing parent, outermost first; true when the
// directory exists afterwards. On failure the thread's last error is Windows' reason.
[[nodiscard]] bool CreateDirectories(const String& path);
// Removes one empty directory; refuses paths of three characters or fewer (roots).
[[nodiscard]] bool RemoveEmptyDirectory(const String& path);
// Deletes a directory with everything in it, clearing read-only attributes. Refuses
// roots, the Windows directory and any directory that holds it. Goes on after a failed
// deletion; the answer is then false and the thread's last error is that failure's.
// Linked directories (junctions) are removed as links, never followed.
[[nodiscard]] bool DeleteTree(const String& path);

// Free and total bytes of the drive with the given root ("c:\"). Uses
// GetDiskFreeSpaceExA where Windows has it, else the cluster counts.
[[nodiscard]] bool DiskFreeSpace(const char* root, uint64_t& freeBytes, uint64_t& totalBytes);
// The same for the drive of a path: 1 when answered, 0 when Windows could not, -1 when
// the path does not start with a drive letter.
[[nodiscard]] int DriveFreeSpace(const String& path, uint64_t& freeBytes, uint64_t& totalBytes);
// Bytes per cluster of the drive of a path; -1 when it has no drive letter or Windows
// cannot say.
[[nodiscard]] int32_t ClusterSize(const String& path);
