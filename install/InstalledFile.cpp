#include "install/InstalledFile.h"
#include "install/CorruptInstaller.h"
#include "install/InstallerState.h"
#include "payload/ErrorCodes.h"
#include "records/InstallLog.h"
#include "system/File.h"
#include "system/FileAtRestart.h"
#include "system/FileOperations.h"
#include "system/SystemError.h"
#include "system/SystemPaths.h"
#include <windows.h>

namespace {

constexpr int kWriteAttempts = 3;
constexpr uint32_t kHiddenOrProtected = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
// The attributes a file may be given: read-only, hidden, system, archive, temporary,
// offline.
constexpr uint32_t kSettableAttributes = 0x1127;

bool WriteOnce(const String& path, const void* data, int32_t size)
{
    File file;
    bool written = file.Open(path.Text(), File::kRewrite) == File::kOpened && file.Write(data, size);
    bool closed = file.Close();
    if (!written || !closed) {
        // The handle is closed now; the reason must survive that.
        SetLastError(file.SystemError());
        return false;
    }
    return true;
}

// The data goes to a temporary file that Windows moves over the target at its next
// start. The outcome joins the report, in the detailed log when it worked.
void ReplaceAtRestart(InstallerState& state, InstallLog& log, const String& report, const String& path,
                      const void* data, int32_t size)
{
    String temporary;
    if (!WriteNewTemporaryFile(data, size, temporary)) {
        log.ReplacementWithoutTemporary(report, path, LastErrorText());
        return;
    }
    temporary = ShortName(temporary);
    if (MoveOneFile(temporary.Text(), path.Text(), kMoveAtRestart) == FileChange::kAtRestart) {
        state.SetRestartRequired();
        log.ReplacementRegistered(report, path, temporary);
        return;
    }
    log.ReplacementFailed(report, path, temporary, LastErrorText());
    DeleteFileA(temporary.Text());
}

}

bool WriteInstalledFile(InstallerState& state, InstallLog& log, const String& path, const void* data, int32_t size,
                        const FileStamp& date, int32_t attributes, bool existedBefore)
{
    if (size < 0)
        ReportCorruptInstaller(state, kCodeNegativeFileLength);
    bool verify = state.Has(kFlagVerifyWrites);
    bool written = false;
    for (int attempt = 1; attempt <= kWriteAttempts && !written; ++attempt) {
        if (!WriteOnce(path, data, size)) {
            if (attempt == 1 && state.Has(kFlagClearAttributesOnRetry))
                (void)ClearAttributes(path.Text(), kHiddenOrProtected);
            continue;
        }
        written = !verify || SameContents(data, size, path.Text());
        if (!written && attempt == kWriteAttempts) {
            String reason = LastErrorText();
            log.FileNotWritten(state.Text(31), path, reason);
            return false;
        }
    }
    if (!written) {
        String reason = LastErrorText();
        String report = InstallLog::WriteFailureReport(state.Text(31), path, reason);
        if (existedBefore || state.Has(kFlagReplaceAtRestartAlways))
            ReplaceAtRestart(state, log, report, path, data, size);
        else
            log.AddError(report);
        return false;
    }
    if (date.HasDate() && date.HasTime()) {
        // Opened again: the 9x family stamps a written file when its writing handle
        // closes. This handle writes nothing, so there is nothing to flush first. A date
        // that cannot be set leaves the file in place with the time of writing.
        File file;
        if (file.Open(path.Text(), File::kOpenExisting | File::kNoRead) == File::kOpened)
            (void)file.SetLastWriteTime(date, false);
    }
    if (attributes != -1)
        (void)SetAttributes(path.Text(), static_cast<uint32_t>(attributes), kSettableAttributes);
    return true;
}
