#include "core/TypeName.h"

String TypeNameFromSignature(const char* signature)
{
    String text(signature);
    int32_t start = text.Find("T = ");
    if (start < 0)
        return String("?");
    start += 4;
    // The name runs to the end of the bracket, or to ";" when more parameters follow;
    // brackets inside the name itself ("Array<List<int> >") are nested.
    int32_t depth = 0;
    int32_t end = start;
    for (; end < text.Length(); ++end) {
        char c = text.CharAt(end);
        if (c == '<' || c == '(' || c == '[')
            ++depth;
        else if ((c == '>' || c == ')' || (c == ']' && depth > 0)))
            --depth;
        else if (depth == 0 && (c == ']' || c == ';'))
            break;
    }
    return text.Mid(start, end - start);
}
