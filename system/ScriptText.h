#pragma once
#include "core/String.h"

// Command scripts that run without a person at the machine must never wait for a key:
// this takes their PAUSE lines out.

// Rewrites the script without its pause lines: a line (ended by CR, LF, CR LF or LF CR)
// is dropped when, trimmed of blanks and of one leading "@" with the blanks after it, it
// is "PAUSE" in any case. Every kept line is kept as it was and ends in CR LF.
void RemovePauses(String& script);
