#pragma once
#include "core/String.h"
#include <cstdint>

// The text side of file versions: how a version resource's "FileVersion" string becomes
// the version text that the installer compares (String::CompareVersionText), and how a
// translation is named inside the resource. Pure text, so it builds and is tested on the
// host; reading the resource is FileVersion's.

// The string names a version resource may hold, in the order of the system's table.
inline constexpr const char* kVersionStringNames[] = {
    "Comments",         "CompanyName",     "FileDescription", "FileVersion",
    "InternalName",     "LegalCopyright",  "LegalTrademarks", "OriginalFilename",
    "ProductName",      "ProductVersion",  "PrivateBuild",    "SpecialBuild",
};

// The translation used when a resource lists none: US English in code page 1252.
constexpr uint16_t kDefaultVersionLanguage = 0x0409;
constexpr uint16_t kDefaultVersionCodePage = 0x04E4;

// A translation as the resource names its string table: eight lower-case hexadecimal
// digits, language then code page ("040904e4").
String TranslationText(uint16_t language, uint16_t codePage);

// Each part of a padded version text is at least this long.
constexpr int32_t kVersionPartWidth = 10;

// Commas become dots and every blank (space, CR, LF, tab) goes, so "1, 0, 0, 12" reads
// "1.0.0.12". With `padded`, a text that is not empty then has its letters upper-cased
// and every dot-separated part left-padded with zeros to ten characters
// ("0000000001.0000000000.0000000000.0000000012"); a longer part is left as it is.
void NormalizeVersionText(String& text, bool padded);
