#include "install/StringLookup.h"
#include "install/InstallerState.h"
#include "system/SystemPaths.h"

static StringSource s_source = nullptr;

void SetStringSource(StringSource source)
{
    s_source = source;
}

void ReplaceProductAndOs(String& text)
{
    text.Replace("<product>", DisplayName, String::kIgnoreCase);
    text.Replace("<os>", WindowsDirectory(), String::kIgnoreCase);
}

String LookupString(int number)
{
    if (!s_source)
        return String();
    String text = s_source(number, CurrentLanguage);
    ReplaceProductAndOs(text);
    return text;
}
