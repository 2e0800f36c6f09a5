#include "records/QuotedItem.h"

bool ReadQuotedItem(const String& text, int32_t& position, String& item)
{
    item.Clear();
    if (position < 0 || position >= text.Length() || text.CharAt(position) != '"')
        return false;
    int32_t close = text.FindChar('"', position + 1);
    int32_t end = close < 0 ? text.Length() : close;
    item = text.Mid(position + 1, end - position - 1);
    position = close < 0 ? end : close + 1;
    return true;
}
