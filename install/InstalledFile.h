#pragma once
#include "core/String.h"
#include <cstdint>

class InstallerState;
class InstallLog;
struct FileStamp;

// Writes one file of the installation - a packaged file, or the uninstaller - with up
// to three attempts (the first failure may clear the target's attributes, with
// ClearAttributesOnRetry), a read-back with VerifyWrites, and, when the target stays
// locked and existed before (or ReplaceAtRestartAlways), a replacement at the next
// start of Windows through a temporary file. Sets the date when it has both date and
// time, and the attributes (the settable ones) unless they are -1.
//
// True when the file is in place now. False when it is not: the failure, or the
// replacement registered for the restart, is then in the log already. A negative size
// is a damaged package (code 5).
bool WriteInstalledFile(InstallerState& state, InstallLog& log, const String& path, const void* data, int32_t size,
                        const FileStamp& date, int32_t attributes, bool existedBefore);
