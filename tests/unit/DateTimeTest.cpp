#include "FixedClock.h"
#include "core/DateTime.h"
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <string>

namespace {

struct Fields {
    int32_t month, day, year, hour, minute, second;
};

DateTime Make(const Fields& f)
{
    DateTime value;
    value.Set(f.month, f.day, f.year, f.hour, f.minute, f.second);
    return value;
}

void ExpectFields(const DateTime& value, const Fields& f)
{
    EXPECT_EQ(value.Month(), f.month);
    EXPECT_EQ(value.Day(), f.day);
    EXPECT_EQ(value.Year(), f.year);
    EXPECT_EQ(value.Hour(), f.hour);
    EXPECT_EQ(value.Minute(), f.minute);
    EXPECT_EQ(value.Second(), f.second);
    if (value.Month()) {
        Date expected;
        expected.Set(f.month, f.day, f.year);
        EXPECT_EQ(value.DayNumber(), expected.DayNumber());
        EXPECT_EQ(value.Weekday(), expected.Weekday());
    }
}

TEST(DateTime, StartsCleared)
{
    DateTime value;
    ExpectFields(value, { 0, 0, 0, -1, -1, -1 });
    EXPECT_TRUE(value.IsInvalid());
    EXPECT_TRUE(value.IsTimeInvalid());
}

struct MinutesCase {
    const char* name;
    Fields start;
    int32_t minutes;
    Fields expected;
};

const MinutesCase kMinutes[] = {
    { "BackIntoLeapDay", { 3, 1, 2004, 0, 0, 0 }, -1, { 2, 29, 2004, 23, 59, 0 } },
    { "BackIntoFebruary28", { 3, 1, 2026, 0, 0, 30 }, -1, { 2, 28, 2026, 23, 59, 30 } },
    { "ForwardIntoNewYear", { 12, 31, 2026, 23, 59, 0 }, 1, { 1, 1, 2027, 0, 0, 0 } },
    { "ForwardAcrossMonthEnd", { 4, 30, 2026, 22, 30, 0 }, 120, { 5, 1, 2026, 0, 30, 0 } },
    { "WholeDayBack", { 3, 1, 2026, 12, 0, 0 }, -1440, { 2, 28, 2026, 12, 0, 0 } },
    { "DayAndAMinuteBack", { 3, 1, 2026, 0, 0, 0 }, -1441, { 2, 27, 2026, 23, 59, 0 } },
    { "HoursOnlyForward", { 12, 7, 2026, 10, 0, 0 }, 360, { 12, 7, 2026, 16, 0, 0 } },
    { "MinuteCarryWithinHour", { 12, 7, 2026, 10, 50, 0 }, 15, { 12, 7, 2026, 11, 5, 0 } },
    { "MinuteBorrowWithinHour", { 12, 7, 2026, 10, 5, 0 }, -15, { 12, 7, 2026, 9, 50, 0 } },
    { "ZeroChangesNothing", { 12, 7, 2026, 10, 5, 0 }, 0, { 12, 7, 2026, 10, 5, 0 } },
    { "AYearForward", { 12, 7, 2026, 10, 5, 0 }, 365 * 1440, { 12, 7, 2027, 10, 5, 0 } },
    { "AcrossCalendarChange", { 10, 4, 1582, 23, 0, 0 }, 60, { 10, 15, 1582, 0, 0, 0 } },
};

class DateTimeAddMinutes : public testing::TestWithParam<MinutesCase> {};

TEST_P(DateTimeAddMinutes, CarriesIntoHoursAndDays)
{
    DateTime value = Make(GetParam().start);
    value.AddMinutes(GetParam().minutes);
    ExpectFields(value, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, DateTimeAddMinutes, testing::ValuesIn(kMinutes),
                         [](const testing::TestParamInfo<MinutesCase>& info) { return info.param.name; });

TEST(DateTime, AddMinutesThereAndBackIsIdentity)
{
    const int32_t steps[] = { 1, -1, 59, -61, 1439, -1441, 100000, -2000000, 2147483647, -2147483647 - 1 };
    for (int32_t step : steps) {
        DateTime value = Make({ 2, 28, 2024, 23, 30, 15 });
        value.AddMinutes(step);
        EXPECT_FALSE(value.IsTimeInvalid()) << step;
        EXPECT_FALSE(value.IsInvalid()) << step;
        if (step != -2147483647 - 1) {
            value.AddMinutes(-step);
            ExpectFields(value, { 2, 28, 2024, 23, 30, 15 });
        }
    }
}

struct TimeCompareCase {
    const char* name;
    int32_t h1, m1, s1, h2, m2, s2;
    int expected;
};

const TimeCompareCase kTimeCompares[] = {
    { "BothInvalid", -1, -1, -1, 24, 0, 0, 0 },
    { "InvalidEqualsMidnight", -1, -1, -1, 0, 0, 0, 0 },
    { "InvalidBelowAnyOtherTime", -1, -1, -1, 0, 0, 1, -1 },
    { "ValidAboveInvalid", 0, 0, 1, 25, 0, 0, 1 },
    { "HourDecides", 10, 59, 59, 11, 0, 0, -1 },
    { "MinuteDecides", 11, 2, 0, 11, 1, 59, 1 },
    { "SecondDecides", 11, 1, 1, 11, 1, 2, -1 },
    { "Equal", 23, 59, 59, 23, 59, 59, 0 },
};

class DateTimeCompareTimes : public testing::TestWithParam<TimeCompareCase> {};

TEST_P(DateTimeCompareTimes, TreatsInvalidAsMidnight)
{
    const TimeCompareCase& c = GetParam();
    DateTime a;
    a.SetTime(c.h1, c.m1, c.s1);
    DateTime b;
    b.SetTime(c.h2, c.m2, c.s2);
    EXPECT_EQ(DateTime::CompareTimes(a, b), c.expected);
    EXPECT_EQ(DateTime::CompareTimes(b, a), -c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, DateTimeCompareTimes, testing::ValuesIn(kTimeCompares),
                         [](const testing::TestParamInfo<TimeCompareCase>& info) { return info.param.name; });

TEST(DateTime, TimeValidity)
{
    EXPECT_FALSE(DateTime::IsTimeInvalid(0, 0, 0));
    EXPECT_FALSE(DateTime::IsTimeInvalid(23, 59, 59));
    EXPECT_TRUE(DateTime::IsTimeInvalid(24, 0, 0));
    EXPECT_TRUE(DateTime::IsTimeInvalid(0, 60, 0));
    EXPECT_TRUE(DateTime::IsTimeInvalid(0, 0, 60));
    EXPECT_TRUE(DateTime::IsTimeInvalid(0, -1, 0));
}

TEST(DateTime, CompareTakesTheDateFirst)
{
    DateTime earlyDayLateTime = Make({ 12, 6, 2026, 23, 0, 0 });
    DateTime lateDayEarlyTime = Make({ 12, 7, 2026, 1, 0, 0 });
    DateTime lateDayLaterTime = Make({ 12, 7, 2026, 1, 0, 1 });
    EXPECT_EQ(earlyDayLateTime.Compare(lateDayEarlyTime), -1);
    EXPECT_EQ(lateDayEarlyTime.Compare(earlyDayLateTime), 1);
    EXPECT_EQ(lateDayEarlyTime.Compare(lateDayLaterTime), -1);
    EXPECT_EQ(lateDayLaterTime.Compare(lateDayLaterTime), 0);
    DateTime noDate;
    noDate.SetTime(23, 0, 0);
    EXPECT_EQ(noDate.Compare(earlyDayLateTime), -1);
}

struct FormatCase {
    const char* name;
    Fields value;
    const char* pattern;
    const char* expected;
};

const FormatCase kFormats[] = {
    { "DefaultPattern", { 12, 7, 2026, 15, 5, 9 }, nullptr, "12/7/26 3:05:09p" },
    { "ExplicitDefault", { 12, 7, 2026, 15, 5, 9 }, "m/d/y h:ii:ssap", "12/7/26 3:05:09p" },
    { "TwentyFourHour", { 12, 7, 2026, 15, 5, 9 }, "m/d/yy HH:ii:ss", "12/7/2026 15:05:09" },
    { "Words", { 12, 7, 2026, 15, 5, 9 }, "WW, MM D, yy", "Monday, December 7th, 2026" },
    { "NoonIsP", { 12, 7, 2026, 12, 0, 0 }, "h ap", "12 p" },
    { "HalfPastMidnightIsA", { 12, 7, 2026, 0, 30, 0 }, "hh:ii ap", "12:30 a" },
    { "LongMarker", { 12, 7, 2026, 0, 30, 0 }, "h:iiAP", "12:30a.m." },
    { "LongMarkerAfternoon", { 12, 7, 2026, 13, 0, 0 }, "h AP", "1 p.m." },
    { "MixedCaseMarker", { 12, 7, 2026, 13, 0, 0 }, "aP Ap", "p p.m." },
    { "LoneAIsCopied", { 12, 7, 2026, 13, 0, 0 }, "a A ax", "a A ax" },
    { "UnpaddedFields", { 12, 7, 2026, 9, 5, 3 }, "H:i:s", "9:5:3" },
    { "PaddedFields", { 12, 7, 2026, 9, 5, 3 }, "HH:ii:ss", "09:05:03" },
    { "ElevenPm", { 12, 7, 2026, 23, 0, 0 }, "h", "11" },
    { "Zone", { 12, 7, 2026, 9, 5, 3 }, "HH:ii b", "09:05 +0100" },
    { "ClearedTimeFormatsItsFields", { 12, 7, 2026, -1, -1, -1 }, "HH:ii", "-1:-1" },
};

class DateTimeFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(DateTimeFormat, FollowsThePattern)
{
    ScopedFixedClock clock(60);
    DateTime value = Make(GetParam().value);
    EXPECT_STREQ(value.Format(GetParam().pattern).Text(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, DateTimeFormat, testing::ValuesIn(kFormats),
                         [](const testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

struct ParseCase {
    const char* name;
    const char* text;
    bool result;
    Fields expected;
};

// The clock is fixed at UTC+1 in 2026.
const ParseCase kParses[] = {
    { "AfternoonShort", "3:05pm", true, { 0, 0, 2000, 15, 5, 0 } },
    { "AfternoonWithSpace", "3:05 PM", true, { 0, 0, 2000, 15, 5, 0 } },
    { "HalfPastMidnightStaysTwelve", "12:30 a.m.", true, { 0, 0, 2000, 12, 30, 0 } },
    { "NoonPmStaysTwelve", "12:00 pm", true, { 0, 0, 2000, 12, 0, 0 } },
    { "SecondsAndPm", "10:30:15 p.m.", true, { 0, 0, 2000, 22, 30, 15 } },
    { "SecondsAndAm", "10:30:15am", true, { 0, 0, 2000, 10, 30, 15 } },
    { "TwentyFourHour", "  23:59:59", true, { 0, 0, 2000, 23, 59, 59 } },
    { "HourTooLarge", "25:00", false, { 0, 0, 2000, 25, 0, 0 } },
    { "MinuteTooLarge", "10:60", false, { 0, 0, 2000, 10, 60, 0 } },
    { "NumberAloneIsNoTime", "7", false, { 0, 0, 2000, -1, -1, -1 } },
    { "Empty", "", false, { 0, 0, 2000, -1, -1, -1 } },
    { "WordIsNoTime", "noon", false, { 0, 0, 2000, -1, -1, -1 } },
    { "DateWithoutTime", "12/7/2026", false, { 12, 7, 2026, -1, -1, -1 } },
    { "DateAndTime", "12/7/2026 10:00", true, { 12, 7, 2026, 10, 0, 0 } },
    { "CommaAfterDate", "Dec 7 2026, 10:00:05", true, { 12, 7, 2026, 10, 0, 5 } },
    { "MonthYearAndTime", "June 2004 10:30", true, { 6, 1, 2004, 10, 30, 0 } },
    { "ZoneWest", "12/7/2026 10:00 -0500", true, { 12, 7, 2026, 16, 0, 0 } },
    { "ZoneSameAsLocal", "12/7/2026 10:00 +0100", true, { 12, 7, 2026, 10, 0, 0 } },
    { "ZoneWithHalfHour", "12/7/2026 10:00 +0530", true, { 12, 7, 2026, 5, 30, 0 } },
    { "ZoneCrossesNewYear", "12/31/2026 23:30 -0100", true, { 1, 1, 2027, 1, 30, 0 } },
    { "ZoneZeroIsUtcButIgnored", "12/7/2026 10:00 +0000", true, { 12, 7, 2026, 10, 0, 0 } },
};

class DateTimeParse : public testing::TestWithParam<ParseCase> {};

TEST_P(DateTimeParse, ReadsDateTimeAndZone)
{
    ScopedFixedClock clock(60);
    DateTime value = Make({ 1, 2, 1999, 3, 4, 5 });
    EXPECT_EQ(value.Parse(GetParam().text), GetParam().result);
    ExpectFields(value, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, DateTimeParse, testing::ValuesIn(kParses),
                         [](const testing::TestParamInfo<ParseCase>& info) { return info.param.name; });

TEST(DateTime, ParseOfNullClearsAndFails)
{
    DateTime value = Make({ 1, 2, 1999, 3, 4, 5 });
    EXPECT_FALSE(value.Parse(nullptr));
    ExpectFields(value, { 0, 0, 0, -1, -1, -1 });
}

struct ZoneCase {
    const char* name;
    int offset;
    int32_t extra;
    const char* expected;
};

const ZoneCase kZones[] = {
    { "IndiaHalfHour", 330, 0, "+0530" },
    { "UtcMinus5", -300, 0, "-0500" },
    { "Utc", 0, 0, "+0000" },
    { "ExtraTurnsTheSign", 60, -120, "-0100" },
    { "ExtraMakesZero", -60, 60, "+0000" },
    { "NegativeHalfHour", -30, 0, "-0030" },
    { "Chatham", 765, 0, "+1245" },
};

class DateTimeZoneText : public testing::TestWithParam<ZoneCase> {};

TEST_P(DateTimeZoneText, SignsHoursAndMinutes)
{
    ScopedFixedClock clock(GetParam().offset);
    EXPECT_EQ(LocalZoneOffset(), GetParam().offset);
    EXPECT_STREQ(ZoneText(GetParam().extra).Text(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, DateTimeZoneText, testing::ValuesIn(kZones),
                         [](const testing::TestParamInfo<ZoneCase>& info) { return info.param.name; });

TEST(DateTime, NowComesFromTheClock)
{
    ScopedFixedClock clock(60, 2026, 12, 7, 15, 5, 9);
    DateTime now;
    now.SetNow();
    ExpectFields(now, { 12, 7, 2026, 15, 5, 9 });
    EXPECT_STREQ(FormatNow("m/d/yy HH:ii:ss b").Text(), "12/7/2026 15:05:09 +0100");
    EXPECT_STREQ(FormatNow(nullptr).Text(), "12/7/26 3:05:09p");
}

// The host side of the seam: the zone offset and local time follow TZ.
TEST(DateTime, PlatformZoneFollowsTheSystemZone)
{
    const char* old = getenv("TZ");
    std::string saved = old ? old : "";
    setenv("TZ", "XST-5:30", 1); // POSIX sign: five and a half hours east of UTC
    tzset();
    EXPECT_EQ(PlatformZoneOffset(), 330);
    EXPECT_EQ(LocalZoneOffset(), 330);
    setenv("TZ", "YST5", 1);
    tzset();
    EXPECT_EQ(PlatformZoneOffset(), -300);

    PlatformTime before;
    PlatformLocalTime(before);
    time_t now = time(nullptr);
    struct tm local = {};
    localtime_r(&now, &local);
    EXPECT_EQ(before.year, local.tm_year + 1900);
    EXPECT_GE(before.month, 1);
    EXPECT_LE(before.month, 12);

    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

}
