#include "system/RenameSection.h"

static constexpr const char* kSectionName = "[rename]";

void AddRenameLine(String& text, const String& key, const String& value)
{
    String line = key + "=" + value;
    int32_t section = text.Find(kSectionName, String::kToEnd, 0, String::kIgnoreCase);
    if (section < 0) {
        if (text.IsEmpty() || !IsLineBreak(text.Last()))
            text += "\r\n";
        text += kSectionName;
        text += "\r\n";
        text += line;
        return;
    }
    text.Insert(section + SafeLength(kSectionName), "\r\n" + line);
}
