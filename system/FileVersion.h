#pragma once
#include "core/String.h"

// The version of a file on disk, from its version resource, as the installer compares it
// before it overwrites an installed file (String::CompareVersionText compares). Each
// request reads the resource from the file again; nothing is cached. A file that cannot
// be read, has no version resource or lacks the string answers false or "" and is
// reported to no one: a file without a version simply has none.

// The whole version resource, as GetFileVersionInfoA gives it; empty (and false) when
// the file has none.
[[nodiscard]] bool ReadVersionBlock(const char* path, String& block);

// The block's first translation as its string table is named ("040904e4"); US English
// in code page 1252 when the block lists none.
String VersionTranslation(String& block);

// One string of the resource (kVersionStringNames), in the block's first translation,
// without a terminating zero; false when the file has no resource or not that string.
[[nodiscard]] bool ReadVersionString(const char* path, const char* name, String& text);

// The "FileVersion" string made comparable (NormalizeVersionText): "1, 0, 0, 12" gives
// "1.0.0.12", and padded "0000000001.0000000000.0000000000.0000000012". "" when the file
// has no such string.
String FileVersion(const char* path, bool padded);
