#include "records/UninstallMessages.h"

int32_t UninstallMessages::IndexOf(int32_t number)
{
    for (int32_t i = 0; i < kUninstallMessageCount; ++i) {
        if (kUninstallMessageNumbers[i] == number)
            return i;
    }
    return -1;
}

bool UninstallMessages::Set(int32_t number, const String& text)
{
    int32_t index = IndexOf(number);
    if (index < 0)
        return false;
    m_texts[index] = text;
    return true;
}

String UninstallMessages::Text(int32_t number) const
{
    int32_t index = IndexOf(number);
    return index < 0 ? String() : m_texts[index];
}

void UninstallMessages::Clear()
{
    for (String& text : m_texts)
        text.Clear();
}

String FillInMessage(const String& message, const String& argument)
{
    String text;
    bool filled = false;
    for (int32_t i = 0; i < message.Length(); ++i) {
        char c = message.CharAt(i);
        char next = message.CharAt(i + 1);
        if (c == '%' && next == 's' && !filled) {
            text += argument;
            filled = true;
            ++i;
        } else if (c == '%' && next == '%') {
            text += '%';
            ++i;
        } else {
            text += c;
        }
    }
    return text;
}
