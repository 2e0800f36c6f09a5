#pragma once
#include "core/String.h"
#include <cstdint>

// Path arithmetic: pure functions on path texts, with no file system behind them, so
// they build and are tested on the host as well. Paths are ANSI texts with backslash
// separators; a directory text carries no trailing backslash except a drive root
// ("c:\"). Drive-relative forms ("c:file") and network paths ("\\server\share") are
// understood; forward slashes are not separators.

// The index of the last backslash before the first ";" (a path list such as
// "c:\app\*.exe;*.dll" is split by the directory of its first entry); when there is
// none, the index of the first colon there; -1 when neither exists.
int32_t LastSeparator(const String& path);

// The text before the last separator. The separator stays when it is a colon or follows
// one, so that a drive keeps its meaning: "c:\dir\f" -> "c:\dir", "c:\f" -> "c:\",
// "c:f" -> "c:"; "" when there is no separator.
String DirectoryPart(const String& path);
// The text up to and including the last separator.
String DirectoryPartWithSeparator(const String& path);
// The text after the last backslash, else after the first colon, else all of it.
String FileNamePart(const String& path);
// The index of the last dot after the last backslash, or -1.
int32_t ExtensionIndex(const String& path);

// Replaces the path by its file-name part.
void StripToName(String& path);
// Cuts the path at its extension's dot; false when it has none.
bool StripExtension(String& path);
// Appends "." (unless the extension starts with one) and the extension to a path that
// is not blank and has no extension yet; true when the path changed.
bool AddExtension(String& path, const char* extension);

// Joins with exactly one backslash between the parts: join("c:\", "x") = "c:\x",
// join("c:", "x") = "c:x" (drive-relative stays so), join("c:\a\", "\b") = "c:\a\b";
// an empty part gives the other one.
String JoinPath(const String& directory, const String& name);

// "c:" or "c:\" for a path that starts with a drive letter, else "".
String DriveRoot(const String& path);
// The first character and a colon when the first character is a letter, else "".
String DriveText(const String& path);
// The upper-case drive letter of "x:...", else 0.
char DriveLetter(const String& path);

// After leading blanks: a network path ("\\...") or "x:\...".
bool IsAbsolutePath(const char* path);
// Makes a trimmed relative path absolute against an absolute base; the path changes
// only on success. "\x" takes the base's drive, "d:x" is placed in the base's
// directory on drive d: ("d:x" against "c:\app" is "d:\app\x"), anything else goes
// below the base. False for an empty path, a null or relative base, a path that is
// absolute already and a rooted or drive-relative path the base cannot complete.
bool MakeAbsolute(String& path, const char* base);

// Both trimmed and stripped of one trailing backslash, then compared ignoring case.
bool SameDirectory(const String& a, const String& b);

// `outer` is `inner` or one of its parents (compared as SameDirectory does, on the
// texts alone: callers resolve "..", relative and short forms first).
bool PathHolds(const String& outer, const String& inner);

// A root that must never be deleted as a tree: "c:", "c:\", "\", a network share
// ("\\server\share") or anything shorter, after trimming and trailing backslashes.
bool IsRootPath(const String& path);

// Options of IsValidPath.
constexpr int32_t kPathAllowStar = 0x1;      // "*" allowed, "?" not
constexpr int32_t kPathAllowWildcards = 0x2; // "*" and "?" allowed
constexpr int32_t kPathTrim = 0x4;           // trim blanks first

// Whether a path can name a file or directory: one pair of surrounding quotes is
// dropped, a colon is allowed only as the second character after a drive letter, and
// none of / " < > | : ; (nor * and ? unless the options allow them) may appear. Empty
// and blank paths are invalid.
bool IsValidPath(const String& path, int32_t options);
