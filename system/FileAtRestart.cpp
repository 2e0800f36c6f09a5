#include "system/FileAtRestart.h"
#include "system/Directory.h"
#include "system/File.h"
#include "system/FileOperations.h"
#include "system/Path.h"
#include "system/RenameSection.h"
#include "system/RuntimeLoader.h"
#include "system/SystemError.h"
#include "system/SystemIdentity.h"
#include "system/SystemPaths.h"
#include <cstring>
#include <windows.h>

using MoveFileExFunction = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);

// Looked up once for the whole run. Windows 95's kernel32 lacks the function and the
// later 9x versions have it only as a stub that fails, so it is used on NT alone.
static MoveFileExFunction DelayedMoveFunction()
{
    static bool s_lookedUp = false;
    static void* s_address = nullptr;
    if (!s_lookedUp) {
        s_lookedUp = true;
        (void)LoadRuntimeFunction("kernel32.dll", "MoveFileExA", s_address);
    }
    return reinterpret_cast<MoveFileExFunction>(s_address);
}

enum class Registration : uint8_t {
    kDone,       // Windows took the change
    kUseWininit, // wininit.ini is the way
    kFailed,     // neither way is open; the last error says why
};

// Hands a deferred change to Windows where it keeps them itself.
static Registration RegisterWithWindows(const char* source, const char* target, DWORD flags)
{
    if (!IsNtFamily())
        return Registration::kUseWininit;
    MoveFileExFunction moveFileEx = DelayedMoveFunction();
    if (moveFileEx && moveFileEx(source, target, flags))
        return Registration::kDone;
    DWORD error = moveFileEx ? GetLastError() : static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED);
    bool wininitPresent = CanBeOpened(JoinPath(WindowsDirectory(), "wininit.exe").Text());
    // The caller reports why Windows refused, not how the look for wininit.exe went.
    SetLastError(error);
    return wininitPresent ? Registration::kUseWininit : Registration::kFailed;
}

bool AddRenameEntry(const char* key, const char* value)
{
    ClearLastError();
    if (IsBlank(key) || IsBlank(value))
        return false;
    File file;
    if (file.Open(JoinPath(WindowsDirectory(), "wininit.ini").Text(), File::kOpenAlways) != File::kOpened)
        return false;
    String text;
    int32_t size = file.Size();
    if (size < 0 || !text.TrySetLength(size) || !file.Read(text.Buffer(), size))
        return false;
    AddRenameLine(text, key, value);
    return file.Seek(0) && file.Write(text.Text(), text.Length()) && file.TruncateHere() && file.Close();
}

bool DeleteFileAtRestart(const char* name)
{
    if (IsBlank(name)) {
        SetLastErrorInvalidParameter();
        return false;
    }
    switch (RegisterWithWindows(name, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
    case Registration::kDone:
        return true;
    case Registration::kFailed:
        return false;
    case Registration::kUseWininit:
        break;
    }
    return AddRenameEntry("NUL", ShortName(name).Text());
}

FileChange DeleteFileNowOrAtRestart(const char* name, int32_t options)
{
    if (!name || !*name) {
        SetLastErrorInvalidParameter();
        return FileChange::kFailed;
    }
    if (!(options & kDeleteKeepReadOnly))
        (void)ClearAttributes(name, FILE_ATTRIBUTE_READONLY);
    if (!(options & kDeleteAtRestart)) {
        if (DeleteFileA(name))
            return FileChange::kDone;
        DWORD error = GetLastError();
        // Only a file that is there can be busy; a missing one needs no restart.
        if (!(options & kDeleteAtRestartIfBusy) || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return FileChange::kFailed;
    }
    return DeleteFileAtRestart(name) ? FileChange::kAtRestart : FileChange::kFailed;
}

// Clears the way for the source at the target's name: the target-exists options are
// checked, and before an immediate move the target is deleted.
static bool PrepareTarget(const char* target, int32_t options)
{
    bool now = !(options & kMoveAtRestart);
    if (options & kMoveTargetMustExist) {
        if (!CanBeOpened(target))
            return false;
        if (now)
            (void)DeleteOneFile(target, 0);
        return true;
    }
    if (options & kMoveNeverReplace) {
        if (!CanBeOpened(target))
            return true;
        SetLastError(ERROR_FILE_EXISTS);
        return false;
    }
    // A target that cannot be deleted makes the move itself fail and say why.
    if (now)
        (void)DeleteOneFile(target, 0);
    return true;
}

FileChange MoveOneFile(const char* source, const char* target, int32_t options)
{
    if (IsBlank(source) || IsBlank(target)) {
        SetLastErrorInvalidParameter();
        return FileChange::kFailed;
    }
    if (!CanBeOpened(source))
        return FileChange::kFailed;
    if (strcmp(source, target) == 0)
        return FileChange::kDone;
    bool caseOnly = String(source).Compare(target, false) == 0;
    if (!caseOnly && !PrepareTarget(target, options))
        return FileChange::kFailed;
    if (options & kMoveCreateDirectories)
        (void)CreateDirectories(DirectoryPart(target));
    if (!(options & kMoveAtRestart))
        return MoveFileA(source, target) ? FileChange::kDone : FileChange::kFailed;

    switch (RegisterWithWindows(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT)) {
    case Registration::kDone:
        return FileChange::kAtRestart;
    case Registration::kFailed:
        return FileChange::kFailed;
    case Registration::kUseWininit:
        break;
    }
    bool added = AddRenameEntry(ShortName(target).Text(), ShortName(source).Text());
    return added ? FileChange::kAtRestart : FileChange::kFailed;
}
