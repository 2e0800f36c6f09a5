// Date and time parsing and formatting on arbitrary text. The clock is fixed so that a
// failing input replays the same way on any day. Besides crashes and bad memory
// accesses this checks what parsing promises: the position answered lies inside the
// text, a parsed date's fields and day number agree, and a failed parse leaves no date.
#include "core/Clock.h"
#include "core/DateTime.h"
#include "core/Value.h"
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

static void Check(bool condition)
{
    if (!condition)
        abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte picks the local zone (about -15 to +15 hours), the rest is the text.
    if (size < 1)
        return 0;
    PlatformTime now = { 2026, 12, 7, 15, 5, 9 };
    SetFixedClock(now, static_cast<int>(data[0]) * 7 - 900);
    std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const char* begin = text.c_str();
    const char* end = begin + strlen(begin);

    for (bool dayFirst : { false, true }) {
        Date date;
        const char* after = date.Parse(begin, dayFirst);
        if (after) {
            Check(after >= begin && after <= end);
            // From day 1 (4713 BC) on, as far as the 32-bit day number reaches, the two
            // conversions are each other's inverse.
            if (!date.IsInvalid() && date.Year() > -4713 && date.Year() < 5000000) {
                Date again;
                again.SetDayNumber(date.DayNumber());
                Check(again.Month() == date.Month() && again.Day() == date.Day() && again.Year() == date.Year());
            }
        } else {
            Check(date.Month() == 0 && date.Day() == 0 && date.DayNumber() == 0);
        }
        date.Format(begin);
    }

    DateTime dateTime;
    if (dateTime.Parse(begin)) {
        Check(!dateTime.IsTimeInvalid());
        DateTime moved = dateTime;
        moved.AddMinutes(12345);
        moved.AddMinutes(-12345);
        Check(DateTime::CompareTimes(moved, dateTime) == 0);
    }
    dateTime.Format(begin);

    Value value;
    value.SetText(String(begin));
    for (int32_t type = Value::kEmpty; type <= Value::kDword; ++type) {
        Value copy = value;
        copy.ConvertTo(type);
        copy.Text();
        copy.ToDouble();
    }
    ClearFixedClock();
    return 0;
}
