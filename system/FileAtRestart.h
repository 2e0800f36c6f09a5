#pragma once
#include <cstdint>

// Deleting and moving files, and leaving to Windows what cannot be done while it runs.
//
// A file in use can be neither replaced nor deleted. Windows carries out such changes at
// its next start, before any program can hold the file: the NT family keeps them itself
// (MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT, which lands in the registry's
// PendingFileRenameOperations), the 9x family reads the [rename] section of wininit.ini
// (see RenameSection.h). The family is asked at the moment of use. On NT, wininit.ini
// stands in only when MoveFileExA is missing or fails and wininit.exe is there to read
// it; there the deferred change fails otherwise. Names in wininit.ini are written in
// their 8.3 form where Windows can give one, since wininit runs before long names exist.
//
// Every operation leaves the thread's last error at the reason for a failure: 87 for
// blank move names, 0 when a wininit.ini edit refused a blank name, else Windows' own.

// What a delete or move achieved. kAtRestart means the change waits for the next start
// of Windows; the caller should offer (or make) a restart.
enum class FileChange : uint8_t {
    kFailed,
    kDone,
    kAtRestart,
};

// Options of DeleteFileNowOrAtRestart are those of DeleteOneFile (FileOperations.h):
// 0x01 keep the read-only attribute, 0x02 delete at the next start instead, 0x10 delete
// at the next start when deleting now fails.
//
// Unless told not to, clears the read-only attribute. A file that is not there is not
// left for the next start: with 0x10 the answer is then kFailed.
[[nodiscard]] FileChange DeleteFileNowOrAtRestart(const char* name, int32_t options);

// Registers the deletion of the file for the next start of Windows.
[[nodiscard]] bool DeleteFileAtRestart(const char* name);

// Options of MoveOneFile.
constexpr int32_t kMoveTargetMustExist = 0x01;   // the target must exist; it is deleted first
constexpr int32_t kMoveNeverReplace = 0x02;      // an existing target makes the move fail
constexpr int32_t kMoveCreateDirectories = 0x04; // create the target's directory chain first
constexpr int32_t kMoveAtRestart = 0x08;         // move at the next start, replacing the target then

// Moves the source file onto the target. Without kMoveNeverReplace an existing target is
// deleted before an immediate move; a move at restart leaves the target in place until
// Windows replaces it, so nothing is lost when the registration fails. The source must
// exist (or be in use). Equal names do nothing and answer kDone; names that differ only
// in case are renamed without touching the target first.
[[nodiscard]] FileChange MoveOneFile(const char* source, const char* target, int32_t options);

// Adds "key=value" to the [rename] section of wininit.ini in the Windows directory,
// creating the file and the section when missing. The key is the destination's name or
// "NUL" (delete the value's file).
[[nodiscard]] bool AddRenameEntry(const char* key, const char* value);
