#include "FixedClock.h"
#include "core/Date.h"
#include <gtest/gtest.h>
#include <string>

namespace {

struct DayNumberCase {
    const char* name;
    int32_t month, day, year;
    int32_t dayNumber;
    int32_t weekday;
};

// Day numbers from an independent source: Julian Day Numbers minus one (proleptic
// Gregorian from 1582-10-15, Julian before it).
const DayNumberCase kDayNumbers[] = {
    { "Y2000", 1, 1, 2000, 2451544, 7 },
    { "Example2026", 12, 7, 2026, 2461381, 2 },
    { "LastJulianDay", 10, 4, 1582, 2299159, 5 },
    { "FirstGregorianDay", 10, 15, 1582, 2299160, 6 },
    { "LeapDay2004", 2, 29, 2004, 2453064, 1 },
    { "March1900", 3, 1, 1900, 2415079, 5 },
    { "UnixEpoch", 1, 1, 1970, 2440587, 5 },
    { "FirstDayOfYear1", 1, 1, 1, 1721423, 7 },
    { "LastDayOfYearMinus1", 12, 31, -1, 1721422, 6 },
    { "Year9999", 12, 31, 9999, 5373483, 6 },
};

class DateDayNumber : public testing::TestWithParam<DayNumberCase> {};

TEST_P(DateDayNumber, FieldsAndNumberAgreeBothWays)
{
    const DayNumberCase& c = GetParam();
    Date fromFields;
    fromFields.Set(c.month, c.day, c.year);
    EXPECT_EQ(fromFields.DayNumber(), c.dayNumber);
    EXPECT_EQ(fromFields.Weekday(), c.weekday);
    EXPECT_FALSE(fromFields.IsInvalid());

    Date fromNumber;
    fromNumber.SetDayNumber(c.dayNumber);
    EXPECT_EQ(fromNumber.Month(), c.month);
    EXPECT_EQ(fromNumber.Day(), c.day);
    EXPECT_EQ(fromNumber.Year(), c.year);
    EXPECT_EQ(fromNumber.Weekday(), c.weekday);
}

INSTANTIATE_TEST_SUITE_P(Table, DateDayNumber, testing::ValuesIn(kDayNumbers),
                         [](const testing::TestParamInfo<DayNumberCase>& info) { return info.param.name; });

// Walks every day from 100 BC to AD 3000: each day number gives a valid date, the
// fields give the number back, and the next day is the next calendar day - except at
// the calendar change and at the missing year 0.
TEST(Date, EveryDayRoundTripsAndFollowsItsPredecessor)
{
    Date first;
    first.Set(1, 1, -100);
    Date last;
    last.Set(12, 31, 3000);
    Date previous;
    previous.SetDayNumber(first.DayNumber() - 1);
    int failures = 0;
    for (int32_t n = first.DayNumber(); n <= last.DayNumber() && failures < 5; ++n) {
        Date date;
        date.SetDayNumber(n);
        Date again;
        again.Set(date.Month(), date.Day(), date.Year());
        bool ok = !date.IsInvalid() && again.DayNumber() == n && again.Weekday() == date.Weekday();

        int32_t m = previous.Month(), d = previous.Day(), y = previous.Year();
        if (y == 1582 && m == 10 && d == 4) {
            d = 15;
        } else if (d < previous.DaysInMonth()) {
            ++d;
        } else if (m < 12) {
            ++m;
            d = 1;
        } else {
            m = d = 1;
            y = y == -1 ? 1 : y + 1;
        }
        ok = ok && date.Month() == m && date.Day() == d && date.Year() == y;
        ok = ok && date.Weekday() == previous.Weekday() % 7 + 1;
        if (!ok) {
            ADD_FAILURE() << "day " << n << " gives " << date.Month() << "/" << date.Day() << "/" << date.Year()
                          << " after " << previous.Month() << "/" << previous.Day() << "/" << previous.Year();
            ++failures;
        }
        previous = date;
    }
}

TEST(Date, AddDaysCrossesTheCalendarChangeAndTheMissingYearZero)
{
    Date date;
    date.Set(10, 4, 1582);
    date.AddDays(1);
    EXPECT_EQ(date.Month(), 10);
    EXPECT_EQ(date.Day(), 15);
    date.AddDays(-1);
    EXPECT_EQ(date.Day(), 4);

    date.Set(12, 31, -1);
    date.AddDays(1);
    EXPECT_EQ(date.Month(), 1);
    EXPECT_EQ(date.Day(), 1);
    EXPECT_EQ(date.Year(), 1);
    date.AddDays(-1);
    EXPECT_EQ(date.Year(), -1);

    date.Set(2, 28, 2026);
    date.AddDays(365 + 1);
    EXPECT_EQ(date.Month(), 3);
    EXPECT_EQ(date.Day(), 1);
    EXPECT_EQ(date.Year(), 2027);
}

struct ValidityCase {
    const char* name;
    int32_t month, day, year;
    bool invalid;
};

const ValidityCase kValidity[] = {
    { "Feb29Of1900", 2, 29, 1900, true },
    { "Feb29Of2000", 2, 29, 2000, false },
    { "Feb29Of1500Julian", 2, 29, 1500, false },
    { "Feb29Of2026", 2, 29, 2026, true },
    { "Feb29Of2100", 2, 29, 2100, true },
    { "April31", 4, 31, 2026, true },
    { "Day0", 1, 0, 2026, true },
    { "Month0", 0, 1, 2026, true },
    { "Month13", 13, 1, 2026, true },
    { "NegativeDay", 5, -1, 2026, true },
    { "Dec31", 12, 31, 2026, false },
};

class DateValidity : public testing::TestWithParam<ValidityCase> {};

TEST_P(DateValidity, ChecksMonthAndDayRange)
{
    Date date;
    date.Set(GetParam().month, GetParam().day, GetParam().year);
    EXPECT_EQ(date.IsInvalid(), GetParam().invalid);
}

INSTANTIATE_TEST_SUITE_P(Table, DateValidity, testing::ValuesIn(kValidity),
                         [](const testing::TestParamInfo<ValidityCase>& info) { return info.param.name; });

TEST(Date, LeapYearsFollowTheJulianRuleBefore1582)
{
    EXPECT_TRUE(IsLeapYear(1500));
    EXPECT_TRUE(IsLeapYear(1200));
    EXPECT_FALSE(IsLeapYear(1582));
    EXPECT_TRUE(IsLeapYear(1600));
    EXPECT_FALSE(IsLeapYear(1700));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(2026));
}

TEST(Date, DaysInMonthAndNames)
{
    Date date;
    date.Set(2, 1, 2024);
    EXPECT_EQ(date.DaysInMonth(), 29);
    EXPECT_STREQ(date.MonthName(), "February");
    EXPECT_STREQ(date.WeekdayName(), "Thursday");
    date.Set(2, 1, 2026);
    EXPECT_EQ(date.DaysInMonth(), 28);
    date.Clear();
    EXPECT_EQ(date.DaysInMonth(), 0);
    EXPECT_STREQ(date.MonthName(), "");
    EXPECT_STREQ(date.WeekdayName(), "");
    EXPECT_STREQ(Date::MonthNameOf(12), "December");
    EXPECT_STREQ(Date::MonthNameOf(13), "");
    EXPECT_STREQ(Date::WeekdayNameOf(1), "Sunday");
    EXPECT_STREQ(Date::WeekdayNameOf(0), "");
    EXPECT_STREQ(Date::WeekdayNameOf(8), "");
}

TEST(Date, SettingDayNumberZeroClearsTheDate)
{
    Date date;
    date.Set(12, 7, 2026);
    date.SetDayNumber(0);
    EXPECT_EQ(date.Month(), 0);
    EXPECT_EQ(date.Day(), 0);
    EXPECT_EQ(date.Year(), 0);
    EXPECT_EQ(date.Weekday(), 0);
    EXPECT_TRUE(date.IsInvalid());
}

TEST(Date, SetWithMonthZeroKeepsTheDayNumber)
{
    Date date;
    date.Set(12, 7, 2026);
    date.Set(0, 5, 2026);
    EXPECT_EQ(date.DayNumber(), 2461381);
    EXPECT_TRUE(date.IsInvalid());
}

TEST(Date, CompareOrdersInvalidDatesFirst)
{
    Date invalid;
    Date otherInvalid;
    otherInvalid.Set(2, 30, 2026);
    Date early;
    early.Set(12, 6, 2026);
    Date late;
    late.Set(12, 7, 2026);
    EXPECT_EQ(invalid.Compare(otherInvalid), 0);
    EXPECT_EQ(invalid.Compare(early), -1);
    EXPECT_EQ(early.Compare(invalid), 1);
    EXPECT_EQ(early.Compare(late), -1);
    EXPECT_EQ(late.Compare(early), 1);
    EXPECT_EQ(late.Compare(late), 0);
}

struct WindowCase {
    const char* name;
    int32_t currentYear;
    int32_t year;
    int32_t expected;
};

const WindowCase kWindow[] = {
    { "ThirtyIsNearFuture", 2026, 30, 2030 },
    { "EightyIsPast", 2026, 80, 1980 },
    { "SeventySixIsFuture", 2026, 76, 2076 },
    { "SeventySevenIsPast", 2026, 77, 1977 },
    { "SameYear", 2026, 26, 2026 },
    { "Zero", 2026, 0, 2000 },
    { "HundredIsWindowed", 2026, 100, 2000 },
    { "AboveHundredKept", 2026, 101, 101 },
    { "LargeKept", 2026, 1999, 1999 },
    { "NegativeYearKept", 2026, -1, -1 },
    { "LargeNegativeYearKept", 2026, -13846, -13846 },
    { "TieGoesToTheLaterCentury", 2050, 0, 2100 },
    { "TieAtMidCentury", 2050, 100, 2100 },
};

class DateYearWindow : public testing::TestWithParam<WindowCase> {};

TEST_P(DateYearWindow, PicksTheNearestCentury)
{
    ScopedFixedClock clock(60, GetParam().currentYear);
    EXPECT_EQ(Date::ApplyYearWindow(GetParam().year), GetParam().expected);
    Date date;
    date.SetWithYearWindow(3, 4, GetParam().year);
    EXPECT_EQ(date.Year(), GetParam().expected);
    EXPECT_EQ(date.Month(), 3);
    EXPECT_EQ(date.Day(), 4);
}

INSTANTIATE_TEST_SUITE_P(Table, DateYearWindow, testing::ValuesIn(kWindow),
                         [](const testing::TestParamInfo<WindowCase>& info) { return info.param.name; });

TEST(Date, TodayAndCurrentYearComeFromTheClock)
{
    ScopedFixedClock clock;
    Date today;
    today.SetToday();
    EXPECT_EQ(today.Month(), 12);
    EXPECT_EQ(today.Day(), 7);
    EXPECT_EQ(today.Year(), 2026);
    EXPECT_EQ(today.DayNumber(), 2461381);
    EXPECT_EQ(CurrentYear(), 2026);
}

struct FormatCase {
    const char* name;
    int32_t month, day, year;
    const char* pattern;
    const char* expected;
};

const FormatCase kFormats[] = {
    { "DefaultForNull", 12, 7, 2026, nullptr, "12/7/26" },
    { "DefaultForEmpty", 12, 7, 2026, "", "12/7/26" },
    { "Padded", 3, 5, 2026, "dd.mm.yy", "05.03.2026" },
    { "TwoDigitYearPadded", 3, 5, 2004, "y", "04" },
    { "LongNames", 12, 7, 2026, "WW, MM D, yy", "Monday, December 7th, 2026" },
    { "ShortNames", 12, 7, 2026, "W M d", "Mon Dec 7" },
    { "OrdinalWords", 12, 21, 2026, "DD", "Twenty First" },
    { "WeekdayNumbers", 12, 7, 2026, "w ww", "2 02" },
    { "YearWordsShortOh", 1, 1, 2007, "Y", "Oh Seven" },
    { "YearWordsShort", 1, 1, 1999, "Y", "Ninety Nine" },
    { "YearWordsLong", 1, 1, 1999, "YY", "Nineteen Ninety Nine" },
    { "YearWordsLong2004", 1, 1, 2004, "YY", "Two Thousand Four" },
    { "OtherBytesCopied", 12, 7, 2026, "[d] x!", "[7] x!" },
    { "TimeLettersAreText", 12, 7, 2026, "h:ii ap", "h:ii ap" },
    { "TripleLetterIsLongThenShort", 12, 7, 2026, "ddd", "077" },
    { "InvalidFormatsFields", 0, 0, 0, "m/d/yy", "0/0/0000" },
};

class DateFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(DateFormat, FollowsThePattern)
{
    const FormatCase& c = GetParam();
    Date date;
    if (c.month)
        date.Set(c.month, c.day, c.year);
    EXPECT_STREQ(date.Format(c.pattern).Text(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, DateFormat, testing::ValuesIn(kFormats),
                         [](const testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

struct ParseCase {
    const char* name;
    const char* text;
    bool dayFirst;
    int32_t month, day, year; // month 0: the parse fails
    const char* rest;         // what follows the date
};

const ParseCase kParses[] = {
    { "WeekdayMonthOrdinal", "Monday, December 7th, 2026", false, 12, 7, 2026, "" },
    { "ShortMonth", "Dec 7 2026", false, 12, 7, 2026, "" },
    { "DayMonthNameYear", "7-Dec-2026", false, 12, 7, 2026, "" },
    { "DayMonthNameSpaces", "7 december 2026 rest", false, 12, 7, 2026, " rest" },
    { "Slashes", "12/7/26", false, 12, 7, 2026, "" },
    { "Iso", "2026-12-07", false, 12, 7, 2026, "" },
    { "IsoWithDayFirst", "2026-12-07", true, 12, 7, 2026, "" },
    { "Dots", "12.7.2026", false, 12, 7, 2026, "" },
    { "DayFirst", "7/12/26", true, 12, 7, 2026, "" },
    { "Ordinal2nd", "December 2nd, 2026", false, 12, 2, 2026, "" },
    { "LeadingSpaceAndShortWeekday", "  mon,  DEC 7, 2026", false, 12, 7, 2026, "" },
    { "MonthYearThenTime", "June 2004 10:30", false, 6, 1, 2004, "10:30" },
    { "MonthYearOnly", "June 2004", false, 6, 1, 2004, "" },
    { "MonthAndYearNumbers", "12/2004", false, 12, 1, 2004, "" },
    { "DateThenTime", "12/7/2026 10:00", false, 12, 7, 2026, " 10:00" },
    { "TwoDigitPast", "1/2/80", false, 1, 2, 1980, "" },
    { "OutOfRangeFieldsStillParse", "13/45/2026", false, 13, 45, 2026, "" },
    { "Empty", "", false, 0, 0, 0, nullptr },
    { "Blank", " \t\r\n", false, 0, 0, 0, nullptr },
    { "UnknownMonth", "Foo 7 2026", false, 0, 0, 0, nullptr },
    { "WeekdayAlone", "Monday", false, 0, 0, 0, nullptr },
    { "MonthWithoutDay", "Dec x", false, 0, 0, 0, nullptr },
    { "PartialMonthName", "Dece 7 2026", false, 0, 0, 0, nullptr },
    { "FirstNumberZero", "0/5/2026", false, 0, 0, 0, nullptr },
    { "SecondNumberZero", "12/0/2026", false, 0, 0, 0, nullptr },
    { "NoSeparator", "12 7 2026", false, 0, 0, 0, nullptr },
    { "NumberThenUnknownWord", "7 Foo 2026", false, 0, 0, 0, nullptr },
    { "TimeIsNoDate", "10:30", false, 0, 0, 0, nullptr },
    { "Punctuation", "/7/2026", false, 0, 0, 0, nullptr },
};

class DateParse : public testing::TestWithParam<ParseCase> {};

TEST_P(DateParse, ReadsTheDateAndPointsAfterIt)
{
    ScopedFixedClock clock;
    const ParseCase& c = GetParam();
    Date date;
    date.Set(1, 1, 1999); // a failed parse must not leave this behind
    const char* end = date.Parse(c.text, c.dayFirst);
    EXPECT_EQ(date.Month(), c.month);
    EXPECT_EQ(date.Day(), c.day);
    if (c.rest) {
        ASSERT_NE(end, nullptr);
        EXPECT_STREQ(end, c.rest);
        EXPECT_EQ(date.Year(), c.year);
        Date expected;
        expected.Set(c.month, c.day, c.year);
        EXPECT_EQ(date.DayNumber(), expected.DayNumber());
    } else {
        EXPECT_EQ(end, nullptr);
        // A failed parse leaves no date, only the windowed year 0.
        EXPECT_EQ(date.DayNumber(), 0);
        EXPECT_EQ(date.Year(), 2000);
        EXPECT_TRUE(date.IsInvalid());
    }
}

INSTANTIATE_TEST_SUITE_P(Table, DateParse, testing::ValuesIn(kParses),
                         [](const testing::TestParamInfo<ParseCase>& info) { return info.param.name; });

TEST(Date, ParseOfNullFails)
{
    Date date;
    EXPECT_EQ(date.Parse(nullptr, false), nullptr);
    EXPECT_TRUE(date.IsInvalid());
}

}
