#pragma once
#include "core/String.h"
#include <cstdint>

// The product's shared files, stored as its SharedFiles value: each entry (the full
// path and at most one marker byte) in double quotes, entries separated by ";" with
// no blanks:  "C:\Common\a.dll";"C:\Windows\System\b.ocx^"
// The value name of a file's count under SharedDLLs is its path without the marker. The
// marker says what the uninstaller does once the count reaches 0.
constexpr char kSharedMarkerNone = 0;        // delete the file
constexpr char kSharedMarkerKeep = ' ';      // nothing: the file stays
constexpr char kSharedMarkerCom = '^';       // DllUnregisterServer, then delete
constexpr char kSharedMarkerTypeLib = '\xA9'; // unregister its type library, then delete

// The marker of a file entry installed with `destination` and entry `flags`: shared
// (1), system (6), COM server (7) or type library (8); kSharedMarkerKeep for permanent
// entries and system files. The other destinations are not shared: kSharedMarkerNone.
char SharedFileMarker(int32_t destination, int32_t flags);

// Appends the entry `path` + `marker` (none for kSharedMarkerNone) to the list.
void AppendSharedFile(String& list, const String& path, char marker);

// Takes the marker off an entry of the list: one trailing "^", then one blank, then one
// 0xA9, in that order (an entry holds at most one, but older lists are read the same
// way). Answers the last one taken off, kSharedMarkerNone for none; what is left is the
// value name of the file's count.
char StripSharedMarker(String& entry);

// Reads the entry at `position` of `list` and moves `position` past it and one ";".
// `path` gets the entry without its marker and `marker` the marker (StripSharedMarker).
// False at the end of the list: no quoted entry at `position`, or one that is empty
// once stripped.
bool NextSharedFile(const String& list, int32_t& position, String& path, char& marker);
