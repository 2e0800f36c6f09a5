#pragma once
#include "core/String.h"
#include <cstdint>

// Which Windows is running, as the installer asks it: the family (for the fonts key,
// replacement at restart and PATH editing), one bit of the products' mask of excluded
// versions, and a short description for messages.

// GetVersionExA reports the NT platform.
bool IsNtFamily();

// Bits of the excluded-versions mask; every Windows answers exactly one of them.
constexpr uint32_t kWindowsOther = 1;     // also a 9x major version other than 4, and NT 6 and later
constexpr uint32_t kWindowsWin32s = 2;
constexpr uint32_t kWindows95 = 4;
constexpr uint32_t kWindows98 = 8;
constexpr uint32_t kWindowsMe = 16;
constexpr uint32_t kWindowsNt3 = 32;
constexpr uint32_t kWindowsNt4 = 64;
constexpr uint32_t kWindows2000 = 128;
constexpr uint32_t kWindowsXp = 256;
constexpr uint32_t kWindowsServer2003 = 512;
uint32_t WindowsCode();

// "Windows " and the version's name, then the service-pack text: "Windows 98 A",
// "Windows XP Service Pack 3", "Windows NT 4.0 Service Pack 6a".
String WindowsDescription();

// Milliseconds from an earlier GetTickCount value to now.
uint32_t ElapsedMilliseconds(uint32_t since);
