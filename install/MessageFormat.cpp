#include "install/MessageFormat.h"

String FillPlaceholders(const String& format, const char* const* values, int count)
{
    String text;
    int next = 0;
    for (int32_t i = 0; i < format.Length(); ++i) {
        char c = format.CharAt(i);
        char kind = format.CharAt(i + 1);
        if (c == '%' && kind == '%') {
            ++i;
        } else if (c == '%' && (kind == 's' || kind == 'd' || kind == 'c' || kind == 'u')) {
            ++i;
            if (next < count)
                text += values[next++];
            continue;
        }
        text += c;
    }
    return text;
}
