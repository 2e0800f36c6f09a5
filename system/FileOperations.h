#pragma once
#include "core/String.h"
#include <cstdint>

// Operations on whole files by name, built on File. Names are full paths; a null or
// empty name is refused.

// File's open result code (File::kInvalidName for no name); an empty file gives an empty text; a
// failed read empties the text and gives File::kMemoryLoadFailed.
[[nodiscard]] int ReadWholeFile(const char* name, String& contents);
// Creates or truncates the file and writes the bytes; a length of kToEnd (INT_MAX)
// stands for the length of the zero-terminated text.
[[nodiscard]] bool WriteWholeFile(const char* name, const void* bytes, int32_t length);
[[nodiscard]] bool WriteWholeFile(const char* name, const String& contents);
// A new "KZQ" file in the temporary directory holding the bytes; its name in `name`.
[[nodiscard]] bool WriteNewTemporaryFile(const void* bytes, int32_t length, String& name);

// Options of AppendText.
constexpr int32_t kAppendEndLineFirst = 0x1;  // end the file's last line before the text
constexpr int32_t kAppendGiveUpOnWrite = 0x2; // a failed write ends at once instead of trying again
constexpr int32_t kAppendExistingOnly = 0x4;  // the file must exist
// Up to ten attempts 100 ms apart (a failed open ends at once with false).
[[nodiscard]] bool AppendText(const char* name, const String& text, int32_t options);

// The file holds exactly these bytes (compared in blocks of 4096).
[[nodiscard]] bool SameContents(const void* bytes, int32_t length, const char* name);
// The file exists and can be opened, or is merely locked by someone else.
[[nodiscard]] bool CanBeOpened(const char* name);

// Attributes. FileAttributes gives -1 for a null name or a missing file.
[[nodiscard]] int32_t FileAttributes(const char* name);
[[nodiscard]] bool IsReadOnly(const char* name);
[[nodiscard]] bool SetReadOnly(const char* name, bool on);
[[nodiscard]] bool ClearAttributes(const char* name, uint32_t mask);
// new = (value AND mask) OR (old AND NOT mask), written only when it changes.
[[nodiscard]] bool SetAttributes(const char* name, uint32_t value, uint32_t mask);

// Options of DeleteOneFile.
constexpr int32_t kDeleteKeepReadOnly = 0x01;   // do not clear the read-only attribute first
constexpr int32_t kDeleteAtRestart = 0x02;      // delete at the next start of Windows instead
constexpr int32_t kDeleteAtRestartIfBusy = 0x10; // ... when deleting now fails
// True when the file is gone or its deletion is registered for the next start of
// Windows; DeleteFileNowOrAtRestart (FileAtRestart.h) tells the two apart.
[[nodiscard]] bool DeleteOneFile(const char* name, int32_t options);
