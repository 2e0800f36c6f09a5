#include "core/DateTime.h"
#include "system/FileStamp.h"
#include <gtest/gtest.h>
#include <string>

namespace {

FileStamp Make(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute, int32_t second)
{
    FileStamp stamp;
    stamp.year = year;
    stamp.month = month;
    stamp.day = day;
    stamp.hour = hour;
    stamp.minute = minute;
    stamp.second = second;
    return stamp;
}

struct OrderCase {
    const char* name;
    FileStamp left;
    FileStamp right;
    int order; // left.Compare(right)
};

class FileStampOrder : public testing::TestWithParam<OrderCase> {};

TEST_P(FileStampOrder, ComparesBothWays)
{
    const OrderCase& c = GetParam();
    EXPECT_EQ(c.left.Compare(c.right), c.order);
    EXPECT_EQ(c.right.Compare(c.left), -c.order);
}

INSTANTIATE_TEST_SUITE_P(, FileStampOrder,
    testing::Values(
        OrderCase{ "Equal", Make(2001, 5, 6, 7, 8, 9), Make(2001, 5, 6, 7, 8, 9), 0 },
        OrderCase{ "YearFirst", Make(2000, 12, 31, 23, 59, 59), Make(2001, 1, 1, 0, 0, 0), -1 },
        OrderCase{ "MonthBeforeDay", Make(2001, 1, 31, 0, 0, 0), Make(2001, 2, 1, 0, 0, 0), -1 },
        OrderCase{ "DayBeforeTime", Make(2001, 2, 1, 23, 0, 0), Make(2001, 2, 2, 0, 0, 0), -1 },
        OrderCase{ "Seconds", Make(2001, 2, 2, 10, 0, 1), Make(2001, 2, 2, 10, 0, 0), 1 },
        // A stamp with a date sorts before one without; undated stamps go on to the time.
        OrderCase{ "DatedBeforeUndated", Make(2099, 1, 1, 0, 0, 0), Make(1990, 0, 1, 0, 0, 0), -1 },
        OrderCase{ "UndatedComparesTimes", Make(1990, 0, 5, 3, 0, 0), Make(2020, 0, 9, 2, 0, 0), 1 },
        OrderCase{ "TimedBeforeUntimed", Make(2001, 2, 2, 23, 59, 59), Make(2001, 2, 2, -1, 0, 0), -1 },
        OrderCase{ "UntimedEqualWhateverMinutes", Make(2001, 2, 2, -1, 5, 0), Make(2001, 2, 2, -1, 9, 9), 0 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileStampClear, KeepsOtherFieldsAndSortsLast)
{
    FileStamp stamp = Make(2001, 2, 3, 4, 5, 6);
    stamp.Clear();
    EXPECT_EQ(stamp.month, 0);
    EXPECT_EQ(stamp.hour, -1);
    EXPECT_EQ(stamp.year, 2001);
    EXPECT_EQ(stamp.day, 3);
    EXPECT_EQ(stamp.second, 6);
    EXPECT_EQ(Make(1601, 1, 1, 0, 0, 0).Compare(stamp), -1);
}

TEST(FileStampConversion, ToDateTime)
{
    DateTime value;
    Make(2024, 2, 29, 13, 14, 15).ToDateTime(value);
    EXPECT_EQ(value.Year(), 2024);
    EXPECT_EQ(value.Month(), 2);
    EXPECT_EQ(value.Day(), 29);
    EXPECT_EQ(value.Hour(), 13);
    EXPECT_EQ(value.Minute(), 14);
    EXPECT_EQ(value.Second(), 15);
}

} // namespace
