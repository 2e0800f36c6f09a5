#include "core/DateTime.h"
#include "core/Clock.h"

int32_t LocalZoneOffset()
{
    return ClockZoneOffset();
}

String ZoneText(int32_t extraMinutes)
{
    int64_t total = static_cast<int64_t>(extraMinutes) + LocalZoneOffset();
    int64_t magnitude = total < 0 ? -total : total;
    String text(total < 0 ? "-" : "+");
    text.AppendFormat("%02d%02d", static_cast<int>(magnitude / 60), static_cast<int>(magnitude % 60));
    return text;
}

String FormatNow(const char* pattern)
{
    DateTime now;
    now.SetNow();
    return now.Format(pattern);
}

void DateTime::Set(int32_t month, int32_t day, int32_t year, int32_t hour, int32_t minute, int32_t second)
{
    Date::Set(month, day, year);
    SetTime(hour, minute, second);
}

void DateTime::SetTime(int32_t hour, int32_t minute, int32_t second)
{
    m_hour = hour;
    m_minute = minute;
    m_second = second;
}

void DateTime::SetNow()
{
    PlatformTime now;
    ClockLocalTime(now);
    Set(now.month, now.day, now.year, now.hour, now.minute, now.second);
}

void DateTime::Clear()
{
    Date::Clear();
    ClearTime();
}

// Carries one unit of a mixed-radix time field: the remainder is added to the field,
// and when that leaves it outside 0 ... radix - 1 the field is brought back and the carry
// to the next larger unit adjusted. The direction of the whole move decides which way a
// field can leave its range.
static void AddWithCarry(int32_t& field, int64_t amount, int32_t radix, int64_t& carry)
{
    carry = amount / radix;
    int64_t value = field + amount % radix;
    if (amount > 0 && value >= radix) {
        value -= radix;
        ++carry;
    } else if (amount <= 0 && value < 0) {
        value += radix;
        --carry;
    }
    // Only a field that was out of range before can end up out of the 32-bit range;
    // it wraps rather than overflowing.
    field = static_cast<int32_t>(value);
}

void DateTime::AddMinutes(int32_t n)
{
    int64_t hours = 0;
    int64_t days = 0;
    AddWithCarry(m_minute, n, 60, hours);
    AddWithCarry(m_hour, hours, 24, days);
    AddDays(static_cast<int32_t>(days));
}

bool DateTime::IsTimeInvalid(int32_t hour, int32_t minute, int32_t second)
{
    return hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59;
}

int DateTime::CompareTimes(const DateTime& left, const DateTime& right)
{
    // Seconds since midnight, an invalid time counting as midnight.
    int32_t a = left.IsTimeInvalid() ? 0 : (left.m_hour * 60 + left.m_minute) * 60 + left.m_second;
    int32_t b = right.IsTimeInvalid() ? 0 : (right.m_hour * 60 + right.m_minute) * 60 + right.m_second;
    return a == b ? 0 : (a < b ? -1 : 1);
}

int DateTime::Compare(const DateTime& other) const
{
    int byDate = Date::Compare(other);
    return byDate != 0 ? byDate : CompareTimes(*this, other);
}

String DateTime::Format(const char* pattern) const
{
    return FormatDateTime(pattern, true);
}

String DateTime::FormatFigures(const char* pattern) const
{
    return FormatDateTime(pattern, false);
}

String DateTime::FormatDateTime(const char* pattern, bool words) const
{
    if (!pattern || !*pattern)
        pattern = kDefaultPattern;
    String out;
    while (*pattern) {
        char letter = pattern[0];
        bool doubled = pattern[1] == letter;
        int32_t hour12 = m_hour == 0 ? 12 : (m_hour > 12 ? m_hour - 12 : m_hour);
        switch (letter) {
        case 'h':
            out.AppendFormat(doubled ? "%02d" : "%d", hour12);
            break;
        case 'H':
            out.AppendFormat(doubled ? "%02d" : "%d", m_hour);
            break;
        case 'i':
            out.AppendFormat(doubled ? "%02d" : "%d", m_minute);
            break;
        case 's':
            out.AppendFormat(doubled ? "%02d" : "%d", m_second);
            break;
        case 'b':
            out.Append(ZoneText(0));
            doubled = false;
            break;
        case 'a':
        case 'A':
            if (pattern[1] != 'p' && pattern[1] != 'P') {
                out.Append(letter);
                doubled = false;
                break;
            }
            if (letter == 'a')
                out.Append(m_hour < 12 ? "a" : "p");
            else
                out.Append(m_hour < 12 ? "a.m." : "p.m.");
            doubled = true; // "ap" is two bytes
            break;
        default:
            if (!AppendPatternField(out, pattern, words))
                out.Append(*pattern++);
            continue;
        }
        pattern += doubled ? 2 : 1;
    }
    return out;
}

static const char* SkipSpace(const char* p)
{
    while (IsSpace(*p))
        ++p;
    return p;
}


const char* DateTime::ParseTime(const char* text)
{
    const char* p = SkipSpace(text);
    if (!IsDigit(*p)) {
        ClearTime();
        return nullptr;
    }
    int32_t hour = String::ParseInt(&p);
    if (*p != ':') {
        ClearTime();
        return nullptr;
    }
    ++p;
    int32_t minute = String::ParseInt(&p);
    int32_t second = 0;
    p = SkipSpace(p);
    if (*p == ':') {
        ++p;
        second = String::ParseInt(&p);
        p = SkipSpace(p);
    }
    // "a", "p", "am", "a.m.", "PM" ...: a "p" moves hours below 12 into the afternoon.
    char marker = ToLowerChar(*p);
    if (marker == 'a' || marker == 'p') {
        ++p;
        if (marker == 'p' && hour < 12)
            hour += 12;
        if (*p == '.')
            ++p;
        if (ToLowerChar(*p) == 'm') {
            ++p;
            if (*p == '.')
                ++p;
        }
    }
    SetTime(hour, minute, second);
    return p;
}

bool DateTime::Parse(const char* text)
{
    if (!text) {
        Clear();
        return false;
    }
    const char* p = Date::Parse(text, false);
    if (!p)
        p = text;
    else if (*p == ',')
        ++p;
    p = ParseTime(p);
    if (!p || IsTimeInvalid())
        return false;
    p = SkipSpace(p);
    if (*p == '+' || *p == '-') {
        // "+hhmm" / "-hhmm": the zone the time was given in; move it to local time.
        int32_t zone = String::ParseInt(&p);
        if (zone != 0)
            AddMinutes(LocalZoneOffset() - (zone / 100 * 60 + zone % 100));
    }
    return true;
}
