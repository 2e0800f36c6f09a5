#pragma once
#include "core/String.h"

// The [rename] section of wininit.ini, which the 9x family carries out at its next start,
// before any program can hold a file open. Each line is "destination=source": the source
// file is moved onto the destination; a destination of "NUL" deletes the source. This is
// the text edit alone, so that it builds and is tested on the host; the file itself is
// read and written by AddRenameEntry.

// Adds "key=value" to the [rename] section of an ini file's text. The section name is
// found without regard to case; the new line goes right below it, so the newest entry
// comes first. Without a section, one is added at the end of the text (after a line
// break when the text does not end in one). Lines end in CR LF; the last line of the
// text is left without a break, as Windows itself writes it.
void AddRenameLine(String& text, const String& key, const String& value);
