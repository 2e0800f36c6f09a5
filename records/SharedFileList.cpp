#include "records/SharedFileList.h"
#include "records/QuotedItem.h"

namespace {
constexpr int32_t kFlagPermanent = 0x20;
}

char SharedFileMarker(int32_t destination, int32_t flags)
{
    bool permanent = (flags & kFlagPermanent) != 0;
    switch (destination) {
    case 1:
        return permanent ? kSharedMarkerKeep : kSharedMarkerNone;
    case 6:
        return kSharedMarkerKeep;
    case 7:
        return permanent ? kSharedMarkerKeep : kSharedMarkerCom;
    case 8:
        return permanent ? kSharedMarkerKeep : kSharedMarkerTypeLib;
    default:
        return kSharedMarkerNone;
    }
}

void AppendSharedFile(String& list, const String& path, char marker)
{
    if (!list.IsEmpty())
        list += ';';
    list += '"';
    list += path;
    if (marker != kSharedMarkerNone)
        list += marker;
    list += '"';
}

char StripSharedMarker(String& entry)
{
    // The order of the installer that wrote the list: "^", then blank, then 0xA9.
    static const char kStripOrder[] = { kSharedMarkerCom, kSharedMarkerKeep, kSharedMarkerTypeLib };
    char marker = kSharedMarkerNone;
    for (char strip : kStripOrder) {
        if (entry.RemoveLastIf(strip))
            marker = strip;
    }
    return marker;
}

bool NextSharedFile(const String& list, int32_t& position, String& path, char& marker)
{
    marker = kSharedMarkerNone;
    if (!ReadQuotedItem(list, position, path))
        return false;
    if (list.CharAt(position) == ';')
        ++position;
    marker = StripSharedMarker(path);
    return !path.IsEmpty();
}
