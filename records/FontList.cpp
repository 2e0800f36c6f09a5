#include "records/FontList.h"
#include "records/QuotedItem.h"

namespace {
void SkipBlanks(const String& list, int32_t& position)
{
    while (position < list.Length() && list.CharAt(position) == ' ')
        ++position;
}
}

void AppendFont(String& list, const String& faceName, const String& fileName)
{
    list += '"';
    list += faceName;
    list += "\" \"";
    list += fileName;
    list += "\" ";
}

bool NextFont(const String& list, int32_t& position, String& faceName, String& fileName)
{
    fileName.Clear();
    SkipBlanks(list, position);
    if (!ReadQuotedItem(list, position, faceName) || faceName.IsEmpty())
        return false;
    SkipBlanks(list, position);
    ReadQuotedItem(list, position, fileName);
    return true;
}
