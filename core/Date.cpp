#include "core/Date.h"
#include "core/Clock.h"
#include "core/NumberWords.h"

static const char* const kMonthNames[] = {
    "January", "February", "March", "April", "May", "June", "July",
    "August", "September", "October", "November", "December",
};
static const char* const kWeekdayNames[] = {
    "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday",
};
static const int32_t kMonthLengths[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };

// The last day of the Julian calendar, 1582-10-04, is day 2,299,159; the next day is
// 1582-10-15 in the Gregorian calendar.
static constexpr int32_t kFirstGregorianDay = 2299160;

// Truncation toward zero of a double that is known to be far inside the 64-bit range:
// every intermediate of the calendar arithmetic below stays within about 1e12.
static int64_t Truncate(double value)
{
    return static_cast<int64_t>(value);
}

// 1 = Sunday ... 7 = Saturday. The modulo is taken non-negative so that day numbers
// before the epoch still have a weekday in range.
static int32_t WeekdayOf(int32_t dayNumber)
{
    int32_t r = static_cast<int32_t>((static_cast<int64_t>(dayNumber) + 2) % 7);
    return (r < 0 ? r + 7 : r) + 1;
}

bool IsLeapYear(int32_t year)
{
    if (year < 1582)
        return year % 4 == 0;
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int32_t CurrentYear()
{
    PlatformTime now;
    ClockLocalTime(now);
    return now.year;
}

const char* Date::MonthNameOf(int32_t month)
{
    return month >= 1 && month <= 12 ? kMonthNames[month - 1] : "";
}

const char* Date::WeekdayNameOf(int32_t weekday)
{
    return weekday >= 1 && weekday <= 7 ? kWeekdayNames[weekday - 1] : "";
}

int32_t Date::ApplyYearWindow(int32_t year)
{
    // Only two-digit years (and 100) are windowed. A negative year is a real year
    // before Christ: moving it into the current century would corrupt it.
    if (year > 100 || year < 0)
        return year;
    int64_t current = CurrentYear();
    int64_t centuryStart = current - current % 100;
    int64_t best = 0;
    int64_t bestDistance = -1;
    // Candidates in increasing order, so that "<=" lets the later one win a tie.
    for (int64_t century = centuryStart - 100; century <= centuryStart + 100; century += 100) {
        int64_t candidate = century + year;
        int64_t distance = candidate > current ? candidate - current : current - candidate;
        if (bestDistance < 0 || distance <= bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return static_cast<int32_t>(best);
}

// Fields to day number. Worked in 64 bits and doubles: the fields may be anything a
// caller or a parsed text supplies, and no combination may overflow.
void Date::ComputeDayNumber()
{
    if (m_month <= 0)
        return;
    int64_t c = m_month > 2 ? m_month : static_cast<int64_t>(m_month) + 12;
    int64_t y = m_year;
    if (y < 0)
        ++y; // there is no year 0
    if (m_month < 3)
        --y;
    int64_t base = Truncate(365.25 * static_cast<double>(y)) + Truncate(30.6001 * static_cast<double>(c + 1)) + m_day;
    int64_t n;
    if (y * 10000 + c * 100 + m_day < 15821015)
        n = base + 1720994;
    else
        n = base + 1720996 + y / 400 - y / 100;
    m_dayNumber = static_cast<int32_t>(n);
    m_weekday = WeekdayOf(m_dayNumber);
}

// Day number to fields, the inverse of ComputeDayNumber.
void Date::ComputeFields()
{
    if (m_dayNumber == 0) {
        Clear();
        return;
    }
    int64_t z = static_cast<int64_t>(m_dayNumber) + 1;
    if (m_dayNumber >= kFirstGregorianDay) {
        int64_t alpha = Truncate((static_cast<double>(z) - 1867216.25) / 36524.25);
        z += alpha - alpha / 4 + 1;
    }
    z += z > 1721423 ? 1524 : 1158; // 1158 = 1524 - 366 skips the year 0
    int64_t c = Truncate((static_cast<double>(z) - 122.1) / 365.25);
    int64_t k = Truncate(365.25 * static_cast<double>(c));
    int64_t e = Truncate(static_cast<double>(z - k) / 30.6001);
    m_day = static_cast<int32_t>(z - k - Truncate(30.6001 * static_cast<double>(e)));
    m_month = static_cast<int32_t>(e < 14 ? e - 1 : e - 13);
    m_year = static_cast<int32_t>(c - 4716 + (m_month < 3 ? 1 : 0));
    m_weekday = WeekdayOf(m_dayNumber);
}

void Date::Set(int32_t month, int32_t day, int32_t year)
{
    m_month = month;
    m_day = day;
    m_year = year;
    ComputeDayNumber();
}

void Date::SetWithYearWindow(int32_t month, int32_t day, int32_t year)
{
    Set(month, day, ApplyYearWindow(year));
}

void Date::SetDayNumber(int32_t dayNumber)
{
    m_dayNumber = dayNumber;
    ComputeFields();
}

void Date::SetToday()
{
    PlatformTime now;
    ClockLocalTime(now);
    Set(now.month, now.day, now.year);
}

void Date::Clear()
{
    m_dayNumber = m_month = m_day = m_year = m_weekday = 0;
}

void Date::AddDays(int32_t n)
{
    // Wraps instead of overflowing; only absurd day numbers get there.
    SetDayNumber(static_cast<int32_t>(static_cast<int64_t>(m_dayNumber) + n));
}

int32_t Date::DaysInMonth() const
{
    if (m_month < 1 || m_month > 12)
        return 0;
    if (m_month == 2 && IsLeapYear(m_year))
        return 29;
    return kMonthLengths[m_month - 1];
}

bool Date::IsInvalid() const
{
    return m_month < 1 || m_month > 12 || m_weekday < 1 || m_weekday > 7 || m_day < 1 || m_day > DaysInMonth();
}

int Date::Compare(const Date& other) const
{
    bool invalid = IsInvalid();
    bool otherInvalid = other.IsInvalid();
    if (invalid || otherInvalid)
        return invalid == otherInvalid ? 0 : (invalid ? -1 : 1);
    if (m_dayNumber == other.m_dayNumber)
        return 0;
    return m_dayNumber < other.m_dayNumber ? -1 : 1;
}

// Appends the first three letters of a name ("" stays "").
static void AppendAbbreviation(String& out, const char* name)
{
    out.Append(name, SafeLength(name) < 3 ? SafeLength(name) : 3);
}

bool Date::AppendPatternField(String& out, const char*& pattern, bool words) const
{
    char letter = pattern[0];
    bool doubled = pattern[1] == letter;
    if (!words && (letter == 'D' || letter == 'Y'))
        return false;
    switch (letter) {
    case 'd':
        out.AppendFormat(doubled ? "%02d" : "%d", m_day);
        break;
    case 'D':
        out.Append(doubled ? OrdinalWords(m_day) : OrdinalSuffix(m_day));
        break;
    case 'm':
        out.AppendFormat(doubled ? "%02d" : "%d", m_month);
        break;
    case 'M':
        if (doubled)
            out.Append(MonthName());
        else
            AppendAbbreviation(out, MonthName());
        break;
    case 'w':
        out.AppendFormat(doubled ? "%02d" : "%d", m_weekday);
        break;
    case 'W':
        if (doubled)
            out.Append(WeekdayName());
        else
            AppendAbbreviation(out, WeekdayName());
        break;
    case 'y':
        if (doubled)
            out.AppendFormat("%04d", m_year);
        else
            out.AppendFormat("%02d", m_year % 100);
        break;
    case 'Y':
        if (doubled) {
            out.Append(NumberWords(m_year, 3));
        } else {
            if (m_year % 100 < 10)
                out.Append("Oh ");
            out.Append(NumberWords(m_year % 100, 0));
        }
        break;
    default:
        return false;
    }
    pattern += doubled ? 2 : 1;
    return true;
}

String Date::Format(const char* pattern) const
{
    return FormatDate(pattern, true);
}

String Date::FormatFigures(const char* pattern) const
{
    return FormatDate(pattern, false);
}

String Date::FormatDate(const char* pattern, bool words) const
{
    if (!pattern || !*pattern)
        pattern = kDefaultPattern;
    String out;
    while (*pattern) {
        if (!AppendPatternField(out, pattern, words))
            out.Append(*pattern++);
    }
    return out;
}

// ---- Parsing ----

static const char* SkipSpace(const char* p)
{
    while (IsSpace(*p))
        ++p;
    return p;
}

static bool StartsNumber(const char* p)
{
    return IsDigit(p[0]) || ((p[0] == '+' || p[0] == '-') && IsDigit(p[1]));
}


// Matches the run of letters at `p` against a table of names, in full or by the first
// three letters, ignoring ASCII case. Answers the 1-based index and advances `p` past
// the letters, or answers 0 and leaves `p` alone.
static int32_t MatchName(const char*& p, const char* const* names, int32_t count)
{
    int32_t length = 0;
    while (IsLetter(p[length]))
        ++length;
    for (int32_t i = 0; i < count; ++i) {
        int32_t nameLength = SafeLength(names[i]);
        if (length != nameLength && length != 3)
            continue;
        int32_t k = 0;
        while (k < length && ToLowerChar(p[k]) == ToLowerChar(names[i][k]))
            ++k;
        if (k == length) {
            p += length;
            return i + 1;
        }
    }
    return 0;
}

static bool IsDateSeparator(char c)
{
    return c == '/' || c == '.' || c == '-';
}

static bool SkipOrdinalSuffix(const char*& p)
{
    static const char* const kSuffixes[] = { "th", "st", "nd", "rd" };
    for (const char* suffix : kSuffixes) {
        if (ToLowerChar(p[0]) == suffix[0] && ToLowerChar(p[1]) == suffix[1]) {
            p += 2;
            return true;
        }
    }
    return false;
}

const char* Date::Parse(const char* text, bool dayFirst)
{
    Clear();
    int32_t month = 0;
    int32_t day = 0;
    int32_t year = 0;
    const char* end = nullptr;
    const char* p = text ? SkipSpace(text) : nullptr;
    if (p && *p) {
        if (IsLetter(*p) && MatchName(p, kWeekdayNames, 7)) {
            if (*p == ',')
                ++p;
            p = SkipSpace(p);
        }
        if (IsLetter(*p)) {
            // "December 7th, 2026", "Dec 7 2026", "June 2004".
            month = MatchName(p, kMonthNames, 12);
            p = SkipSpace(p);
            if (month && StartsNumber(p)) {
                day = String::ParseInt(&p);
                SkipOrdinalSuffix(p);
                if (*p == ',')
                    ++p;
                p = SkipSpace(p);
                const char* yearStart = p;
                year = String::ParseInt(&p);
                if (year > 0 && *p != ':') {
                    end = p;
                } else {
                    // No year: the number read was the year ("June 2004 10:30").
                    year = day;
                    day = 1;
                    end = yearStart;
                }
            }
        } else {
            int32_t first = String::ParseInt(&p);
            p = SkipSpace(p);
            bool separated = IsDateSeparator(*p);
            if (separated)
                ++p;
            if (first != 0 && IsLetter(*p)) {
                // "7-Dec-2026", "7 Dec 2026".
                month = MatchName(p, kMonthNames, 12);
                if (month) {
                    day = first;
                    if (IsDateSeparator(*p))
                        ++p;
                    else
                        p = SkipSpace(p);
                    year = String::ParseInt(&p);
                    end = p;
                }
            } else if (first != 0 && separated) {
                int32_t second = String::ParseInt(&p);
                if (second != 0) {
                    if (IsDateSeparator(*p) && StartsNumber(p + 1)) {
                        ++p;
                        int32_t third = String::ParseInt(&p);
                        if (first > 1000 && third < 32) {
                            year = first;
                            month = second;
                            day = third;
                        } else {
                            month = dayFirst ? second : first;
                            day = dayFirst ? first : second;
                            year = third;
                        }
                    } else {
                        // "12/2004": month and year.
                        month = first;
                        day = 1;
                        year = second;
                    }
                    end = p;
                }
            }
        }
    }
    if (!end) {
        // A failed parse still passes the (zero) year through the window.
        m_year = ApplyYearWindow(0);
        return nullptr;
    }
    SetWithYearWindow(month, day, year);
    return end;
}
