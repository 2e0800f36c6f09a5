#pragma once
#include "core/String.h"
#include <cstdint>

// A calendar date on a serial day number: the astronomical Julian Day Number of the date
// minus one, so 2000-01-01 is day 2,451,544 and day 0 means "no date". Dates before
// 15 October 1582 are Julian, later ones Gregorian; there is no year 0 (the year before
// 1 is -1). The fields and the day number are kept together: every setter computes the
// other side, so comparisons and day arithmetic work on the number and formatting on
// the fields.
//
// Patterns for Format (a doubled letter selects the long form; other bytes are copied):
//   d dd      day, "%d" / "%02d"        D DD   ordinal day, "21st" / "Twenty First"
//   m mm      month, "%d" / "%02d"      M MM   "Dec" / "December"
//   w ww      weekday 1 = Sunday        W WW   "Mon" / "Monday"
//   y yy      year % 100 "%02d" / "%04d"
//   Y YY      year % 100 in words ("Oh Four") / whole year in words ("Nineteen Ninety Nine")
class Date {
public:
    static constexpr const char* kDefaultPattern = "m/d/y";

    Date() = default;

    // Stores the fields as given and computes the day number and weekday from them; a
    // month of 0 or less leaves the day number as it was.
    void Set(int32_t month, int32_t day, int32_t year);
    // The same after the two-digit year window (ApplyYearWindow).
    void SetWithYearWindow(int32_t month, int32_t day, int32_t year);
    // Stores the day number and computes the fields; 0 clears the date.
    void SetDayNumber(int32_t dayNumber);
    void SetToday();
    void Clear();
    void AddDays(int32_t n);

    bool IsInvalid() const;
    bool IsValid() const { return !IsInvalid(); }
    // Two invalid dates are equal, an invalid date is less than a valid one; otherwise
    // the day numbers decide. Answers -1, 0 or 1.
    int Compare(const Date& other) const;
    int32_t DaysInMonth() const;
    const char* MonthName() const { return MonthNameOf(m_month); }
    const char* WeekdayName() const { return WeekdayNameOf(m_weekday); }

    // Null or empty pattern: kDefaultPattern. Invalid dates format their fields as they are.
    String Format(const char* pattern) const;
    // The same without the fields written in words (D, Y), whose letters are copied as
    // other bytes are: for the program's fixed patterns, which have none, so that the
    // number wording is not linked in where only these are formatted.
    String FormatFigures(const char* pattern) const;

    // Reads a date from free text: "Monday, December 7th, 2026", "Dec 7 2026",
    // "7-Dec-2026", "12/7/26", "2026-12-07", "12.7.2026", "June 2004", "12/2004".
    // With dayFirst the first two numbers of "7/12/26" are day and month. Answers the
    // position just after the date, or null; on failure month and day are 0.
    const char* Parse(const char* text, bool dayFirst);

    int32_t DayNumber() const { return m_dayNumber; }
    int32_t Month() const { return m_month; }
    int32_t Day() const { return m_day; }
    int32_t Year() const { return m_year; }
    int32_t Weekday() const { return m_weekday; }

    // "January" ... "December" for 1 ... 12, "Sunday" ... "Saturday" for 1 ... 7, else "".
    static const char* MonthNameOf(int32_t month);
    static const char* WeekdayNameOf(int32_t weekday);

    // Years 0 ... 100 become the candidate in the century before, the current one or the
    // one after that lies nearest to the current year, the later one on a tie (in 2026:
    // 30 -> 2030, 80 -> 1980, 76 -> 2076). Other years, negative ones included, are kept.
    static int32_t ApplyYearWindow(int32_t year);

protected:
    // When `pattern` starts with a date letter, appends its output, advances `pattern`
    // past the letter (both bytes of a doubled one) and answers true. Without `words`
    // the letters of the fields in words are not date letters.
    bool AppendPatternField(String& out, const char*& pattern, bool words) const;

private:
    String FormatDate(const char* pattern, bool words) const;
    void ComputeDayNumber();
    void ComputeFields();

    int32_t m_dayNumber = 0;
    int32_t m_month = 0;
    int32_t m_day = 0;
    int32_t m_year = 0;
    int32_t m_weekday = 0;
};

// Julian rule (every fourth year) before 1582, Gregorian rule from 1582 on.
bool IsLeapYear(int32_t year);
int32_t CurrentYear();
