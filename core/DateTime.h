#pragma once
#include "core/Date.h"

// A Date with a local time of day. A cleared time has hour, minute and second all -1.
//
// Patterns know the date letters of Date and these:
//   h hh   hour on the 12-hour clock (0 shows as 12), no padding / "%02d"
//   H HH   hour 0-23, no padding / "%02d"
//   i ii   minute                    s ss   second
//   ap     "a" or "p"                AP     "a.m." or "p.m."
//   b      the local zone, ZoneText(0), as "+0100"
// A lone "a" or "A" (not followed by "p" or "P") is copied.
class DateTime : public Date {
public:
    static constexpr const char* kDefaultPattern = "m/d/y h:ii:ssap";

    DateTime() = default;

    void Set(int32_t month, int32_t day, int32_t year, int32_t hour, int32_t minute, int32_t second);
    void SetDate(const Date& date) { Date::operator=(date); }
    void SetTime(int32_t hour, int32_t minute, int32_t second);
    void SetNow();
    // Clears both parts; ClearTime and Date::Clear clear one.
    void Clear();
    void ClearTime() { m_hour = m_minute = m_second = -1; }

    // Moves the time by n minutes (n may be negative), carrying into hours and days.
    void AddMinutes(int32_t n);

    bool IsTimeInvalid() const { return IsTimeInvalid(m_hour, m_minute, m_second); }
    // Dates first (Date::Compare), then times (CompareTimes). Answers -1, 0 or 1.
    int Compare(const DateTime& other) const;

    // Null or empty pattern: kDefaultPattern.
    String Format(const char* pattern) const;
    // Without the date fields in words, as Date::FormatFigures.
    String FormatFigures(const char* pattern) const;

    // Reads an optional date (month first), an optional "," and a time that must follow,
    // then an optional zone "+hhmm" / "-hhmm" that converts the time to local time. A
    // text without a time clears the time and answers false; so does an invalid time.
    bool Parse(const char* text);

    int32_t Hour() const { return m_hour; }
    int32_t Minute() const { return m_minute; }
    int32_t Second() const { return m_second; }

    // True unless hour is 0-23, minute 0-59 and second 0-59.
    static bool IsTimeInvalid(int32_t hour, int32_t minute, int32_t second);
    // An invalid time counts as 00:00:00: two invalid times are equal, and an invalid
    // time is below every other valid time. Answers -1, 0 or 1.
    static int CompareTimes(const DateTime& left, const DateTime& right);

private:
    String FormatDateTime(const char* pattern, bool words) const;
    // Reads "h:mm", "h:mm:ss" with an optional "a", "p", "am", "p.m." ... at `text`.
    // Answers the position after the time, or null (time cleared) when there is none.
    const char* ParseTime(const char* text);

    int32_t m_hour = -1;
    int32_t m_minute = -1;
    int32_t m_second = -1;
};

// The current local date and time formatted with `pattern`.
String FormatNow(const char* pattern);

// Minutes to add to UTC to get local time (UTC-5 answers -300).
int32_t LocalZoneOffset();

// The local zone moved by `extraMinutes` as "+hhmm" or "-hhmm": at UTC+5:30,
// ZoneText(0) is "+0530".
String ZoneText(int32_t extraMinutes);
