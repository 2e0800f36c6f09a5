#pragma once
#include "core/String.h"
#include <cstdint>

// The product's fonts, stored as its ProductFonts value: per font its face name and its
// file name, each in double quotes, each followed by a blank:
//   "Quox Sans" "QUOXSANS.TTF" "Quox Mono" "QUOXMONO.TTF"
// Permanent fonts are not listed: the uninstaller removes every font it finds here.
void AppendFont(String& list, const String& faceName, const String& fileName);

// Reads the pair at `position` of `list` (blanks before each item skipped) and moves
// `position` past it. False at the end of the list: no quoted face name at `position`,
// or an empty one. A pair may come with an empty file name, which the uninstaller skips.
bool NextFont(const String& list, int32_t& position, String& faceName, String& fileName);
