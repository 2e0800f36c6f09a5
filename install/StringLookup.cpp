#include "install/StringLookup.h"
#include "install/InstallerState.h"
#include "system/SystemPaths.h"

static StringSource s_source = nullptr;

void SetStringSource(StringSource source)
{
    s_source = source;
}

static void ReplaceAllNoCase(String& text, const char* pattern, const String& replacement)
{
    int32_t patternLength = SafeLength(pattern);
    for (int32_t i = 0; i + patternLength <= text.Length();) {
        String window(text.Text() + i, patternLength);
        if (window.Compare(pattern, false) == 0) {
            text.Splice(i, patternLength, replacement.Text(), replacement.Length());
            i += replacement.Length();
        } else {
            ++i;
        }
    }
}

void ReplaceProductAndOs(String& text)
{
    ReplaceAllNoCase(text, "<product>", DisplayName);
    ReplaceAllNoCase(text, "<os>", WindowsDirectory());
}

String LookupString(int number)
{
    if (!s_source)
        return String();
    String text = s_source(number, CurrentLanguage);
    ReplaceProductAndOs(text);
    return text;
}
