#include "system/VersionText.h"
#include <utility>

String TranslationText(uint16_t language, uint16_t codePage)
{
    String text;
    text.Format("%04x%04x", language, codePage);
    return text;
}

void NormalizeVersionText(String& text, bool padded)
{
    text.ReplaceChar(',', '.');
    text.RemoveChars(String::kWhiteSpace);
    if (!padded || text.IsEmpty())
        return;
    text.ToUpper();
    String result;
    int32_t start = 0;
    for (;;) {
        int32_t dot = text.FindChar('.', start);
        int32_t end = dot < 0 ? text.Length() : dot;
        if (end - start < kVersionPartWidth)
            result.InsertChars('0', result.Length(), kVersionPartWidth - (end - start));
        result.Append(text.Text() + start, end - start);
        if (dot < 0)
            break;
        result += '.';
        start = dot + 1;
    }
    text = std::move(result);
}
