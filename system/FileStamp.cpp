#include "system/FileStamp.h"
#include "core/DateTime.h"

static int Order(int32_t a, int32_t b)
{
    return a < b ? -1 : a > b ? 1 : 0;
}

int FileStamp::Compare(const FileStamp& other) const
{
    if (HasDate() != other.HasDate())
        return HasDate() ? -1 : 1;
    if (HasDate()) {
        if (int order = Order(year, other.year))
            return order;
        if (int order = Order(month, other.month))
            return order;
        if (int order = Order(day, other.day))
            return order;
    }
    if (HasTime() != other.HasTime())
        return HasTime() ? -1 : 1;
    if (HasTime()) {
        if (int order = Order(hour, other.hour))
            return order;
        if (int order = Order(minute, other.minute))
            return order;
        return Order(second, other.second);
    }
    return 0;
}

void FileStamp::ToDateTime(DateTime& value) const
{
    value.Set(month, day, year, hour, minute, second);
}
