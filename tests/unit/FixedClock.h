#pragma once
#include "core/Clock.h"

// Fixes "now" and the local zone for the life of the object, so that results that
// depend on the day (the two-digit year window, today, zone offsets) are the same on
// every machine. The default is Monday, 7 December 2026, 15:05:09 at UTC+1.
class ScopedFixedClock {
public:
    explicit ScopedFixedClock(int zoneOffset = 60, int year = 2026, int month = 12, int day = 7, int hour = 15,
                              int minute = 5, int second = 9)
    {
        PlatformTime now = { year, month, day, hour, minute, second };
        SetFixedClock(now, zoneOffset);
    }
    ~ScopedFixedClock() { ClearFixedClock(); }
    ScopedFixedClock(const ScopedFixedClock&) = delete;
    ScopedFixedClock& operator=(const ScopedFixedClock&) = delete;
};
