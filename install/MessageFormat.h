#pragma once
#include "core/String.h"

// The package's messages take values ("%s %c %s" for the disk-space question), but a
// message is data of the package, not a format the program may trust: a damaged or
// hand-made package must not make printf read arguments that are not there. So each
// conversion ("%s", "%d", "%c", "%u") takes the next of the given values as text, "%%"
// stands for "%", and any other "%" stays as it is; conversions beyond the values
// given take nothing.
String FillPlaceholders(const String& format, const char* const* values, int count);
