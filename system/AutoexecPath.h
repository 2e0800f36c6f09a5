#pragma once
#include "core/String.h"

// The PATH line that a product with AddToPath puts into the boot drive's autoexec.bat,
// so that its programs can be started by name from a command prompt:
//   PATH=%PATH%;<install directory in its 8.3 form> CR LF

// The line for `shortInstallDir`, with its line break.
String AutoexecPathLine(const String& shortInstallDir);

// Adds the line at the end of `content` (after ending its last line) unless a line of
// the file already is that line, or removes the first line that is; letter case is
// ignored. The file's last line may lack its line break. Only whole lines count, so
// that a longer PATH line of another product is never cut. True when `content` changed.
bool EditPathLine(String& content, const String& line, bool add);

// Adds (`add` true) or removes the install directory's PATH line in autoexec.bat of the
// boot drive; adding creates a missing file. "" on success, else the message that tells
// the person what to do by hand.
String EditAutoexecPath(const String& installDir, bool add);
