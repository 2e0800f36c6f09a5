#pragma once

class InstallerState;

// Ends the installer because its payload is damaged: one "FATAL ERROR" box with string
// 13 of the package (or, before the string table is read or when it is empty, the
// built-in English text), formatted with `code` (payload/ErrorCodes.h).
[[noreturn]] void ReportCorruptInstaller(const InstallerState& state, int code);
