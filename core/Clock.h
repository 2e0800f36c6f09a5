#pragma once
#include "core/Platform.h"

// "Now" and the local time zone as the date code sees them. They come from the platform
// unless a fixed clock has been set: the unit tests and test drivers fix both, so that
// results that depend on today (the two-digit year window, today's date, zone
// arithmetic) are the same on every machine and every day.
void ClockLocalTime(PlatformTime& time);
int ClockZoneOffset();

// From now on ClockLocalTime answers `time` and ClockZoneOffset answers `zoneOffset`
// (minutes east of UTC), until ClearFixedClock.
void SetFixedClock(const PlatformTime& time, int zoneOffset);
void ClearFixedClock();
