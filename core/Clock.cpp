#include "core/Clock.h"

static bool s_fixed = false;
static PlatformTime s_fixedTime;
static int s_fixedZoneOffset = 0;

void ClockLocalTime(PlatformTime& time)
{
    if (s_fixed)
        time = s_fixedTime;
    else
        PlatformLocalTime(time);
}

int ClockZoneOffset()
{
    return s_fixed ? s_fixedZoneOffset : PlatformZoneOffset();
}

void SetFixedClock(const PlatformTime& time, int zoneOffset)
{
    s_fixed = true;
    s_fixedTime = time;
    s_fixedZoneOffset = zoneOffset;
}

void ClearFixedClock()
{
    s_fixed = false;
}
