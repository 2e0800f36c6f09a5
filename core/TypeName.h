#pragma once
#include "core/String.h"

// The name of a type as a person reads it ("String", "int", "Array<String>"), for the
// containers' fatal messages. The program has no run-time type information, so the name is
// taken from the compiler's own spelling of a template's signature, which GCC writes as
// "... [with T = Array<String>]" and clang as "... [T = Array<String>]". The name is cut
// out of that text at compile time, so that the image carries only the names and not
// each signature around them.

namespace TypeNameDetail {

// Finds the name in `signature`: its start is returned, its length goes to `length`.
// The name runs to the end of the bracket, or to ";" when more parameters follow;
// brackets inside the name itself ("Array<List<int> >") are nested. A signature
// without "T = " yields "?".
constexpr const char* FindName(const char* signature, int32_t& length)
{
    const char* start = nullptr;
    for (const char* p = signature; *p; ++p) {
        if (p[0] == 'T' && p[1] == ' ' && p[2] == '=' && p[3] == ' ') {
            start = p + 4;
            break;
        }
    }
    if (!start) {
        length = 1;
        return "?";
    }
    int32_t depth = 0;
    const char* end = start;
    for (; *end; ++end) {
        char c = *end;
        if (c == '<' || c == '(' || c == '[')
            ++depth;
        else if (c == '>' || c == ')' || (c == ']' && depth > 0))
            --depth;
        else if (depth == 0 && (c == ']' || c == ';'))
            break;
    }
    length = static_cast<int32_t>(end - start);
    return start;
}

template <typename T>
struct Name {
    static constexpr const char* Signature() { return __PRETTY_FUNCTION__; }
    static constexpr int32_t Length()
    {
        int32_t length = 0;
        FindName(Signature(), length);
        return length;
    }
    struct Text {
        char c[Length() + 1];
    };
    static constexpr Text Make()
    {
        Text text{};
        int32_t length = 0;
        const char* start = FindName(Signature(), length);
        for (int32_t i = 0; i < length; ++i)
            text.c[i] = start[i];
        return text;
    }
    static constexpr Text kText = Make();
};

}

// The name of T as a zero-terminated text with static lifetime.
template <typename T>
constexpr const char* TypeNameText()
{
    return TypeNameDetail::Name<T>::kText.c;
}

template <typename T>
String TypeNameOf()
{
    return String(TypeNameText<T>());
}
