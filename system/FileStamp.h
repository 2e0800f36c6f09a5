#pragma once
#include <cstdint>

class DateTime;
struct _FILETIME;

// The system's record of a file time in local time, to the second (no milliseconds,
// no weekday). A stamp may lack a date (month 0) or a time (hour -1).
struct FileStamp {
    int32_t year = 0;
    int32_t month = 0; // 0: no date
    int32_t day = 0;
    int32_t hour = -1; // -1: no time
    int32_t minute = 0;
    int32_t second = 0;

    bool HasDate() const { return month != 0; }
    bool HasTime() const { return hour != -1; }

    // Marks date and time as missing; the other fields keep their values.
    void Clear()
    {
        month = 0;
        hour = -1;
    }

    // -1, 0 or 1: a stamp with a date sorts before one without; dated stamps by year,
    // month and day; then a stamp with a time before one without; timed stamps by hour,
    // minute and second.
    int Compare(const FileStamp& other) const;
    bool operator==(const FileStamp& other) const { return Compare(other) == 0; }

    void ToDateTime(DateTime& value) const;

    // From a Windows file time (UTC) to local time; false, and the stamp unchanged, for
    // a null time or a failed conversion. Defined with the Windows code.
    bool SetFromFileTime(const _FILETIME* time);
    // To a Windows file time (UTC); milliseconds and weekday are 0.
    bool ToFileTime(_FILETIME& time) const;
};
