#pragma once
#include "core/ByteSink.h"
#include "payload/Settings.h"

// Writes settings as the stream the stub reads: every field in stored order, the
// fields that only some flags carry only with those flags, and the end marker. The
// stored texts are written as given (defaults are the reader's business); the licence
// text counts and record lists must already respect the stream's limits.
bool WriteSettings(ByteSink& sink, const Settings& settings);
