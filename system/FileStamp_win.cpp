// The conversions between FileStamp and Windows file times; the rest of FileStamp is
// plain code that the host builds too.
#include "system/FileStamp.h"
#include <windows.h>

bool FileStamp::SetFromFileTime(const FILETIME* time)
{
    FILETIME local;
    SYSTEMTIME fields;
    if (!time || !FileTimeToLocalFileTime(time, &local) || !FileTimeToSystemTime(&local, &fields))
        return false;
    year = fields.wYear;
    month = fields.wMonth;
    day = fields.wDay;
    hour = fields.wHour;
    minute = fields.wMinute;
    second = fields.wSecond;
    return true;
}

bool FileStamp::ToFileTime(FILETIME& time) const
{
    // A stamp without a date or a time names no moment.
    if (!HasDate() || !HasTime())
        return false;
    SYSTEMTIME fields = {};
    fields.wYear = static_cast<WORD>(year);
    fields.wMonth = static_cast<WORD>(month);
    fields.wDay = static_cast<WORD>(day);
    fields.wHour = static_cast<WORD>(hour);
    fields.wMinute = static_cast<WORD>(minute);
    fields.wSecond = static_cast<WORD>(second);
    FILETIME local;
    return SystemTimeToFileTime(&fields, &local) && LocalFileTimeToFileTime(&local, &time);
}
