// Reading numbers and version texts out of free text. Conversions accumulate in
// unsigned 32 or 64 bits and wrap around on overflow, so that the result does not
// depend on which C library the program was linked with.
#include "core/String.h"

namespace {

// The digits at `p` after an optional sign, with commas between them ignored when asked.
int64_t ReadSignedDigits(const char* p, const char* end, bool skipCommas)
{
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    uint64_t value = 0;
    for (; p < end; ++p) {
        if (IsDigit(*p))
            value = value * 10 + static_cast<uint64_t>(*p - '0');
        else if (!(skipCommas && *p == ','))
            break;
    }
    return static_cast<int64_t>(negative ? 0 - value : value);
}

void SkipSpace(const char*& p)
{
    while (IsSpace(*p))
        ++p;
}

// Reads a version text as a stream of numbers plus the last letter seen, so that two
// texts can be compared element by element without building lists.
class VersionReader {
public:
    explicit VersionReader(const char* text) : m_p(text ? text : "") {}

    // The next number, or false at the end of the text.
    bool Next(int32_t& number)
    {
        while (*m_p) {
            char c = *m_p;
            if (IsDigit(c)) {
                uint32_t value = 0;
                while (IsDigit(*m_p))
                    value = value * 10 + static_cast<uint32_t>(*m_p++ - '0');
                // The byte that ends the run goes with the number; a letter there still
                // counts as the suffix ("2.0b").
                if (*m_p) {
                    if (IsLetter(*m_p))
                        m_suffix = *m_p;
                    ++m_p;
                }
                ++m_count;
                number = static_cast<int32_t>(value);
                return true;
            }
            ++m_p;
            if (IsLetter(c)) {
                m_suffix = c;
            } else if (c == '.' && m_count == 0) {
                // ".5" reads as 0.5.
                ++m_count;
                number = 0;
                return true;
            }
        }
        return false;
    }

    char Suffix() const { return m_suffix; }

private:
    const char* m_p;
    int32_t m_count = 0;
    char m_suffix = 0;
};

}

int32_t String::ToIntIgnoringCommas() const
{
    int32_t start = FindNumberStart(0);
    if (start < 0)
        return 0;
    return static_cast<int32_t>(ReadSignedDigits(m_buffer + start, m_buffer + m_length, true));
}

int64_t String::ToInt64IgnoringCommas() const
{
    int32_t start = FindNumberStart(0);
    if (start < 0)
        return 0;
    return ReadSignedDigits(m_buffer + start, m_buffer + m_length, true);
}

int32_t String::ParseIntAt(int32_t* position) const
{
    int32_t local = 0;
    int32_t& at = position ? *position : local;
    if (at < 0 || at >= m_length)
        return kNoNumber;
    const char* p = m_buffer + at;
    const char* end = m_buffer + m_length;
    int32_t value = static_cast<int32_t>(ReadSignedDigits(p, end, false));
    if (*p == '+' || *p == '-')
        ++p;
    while (p < end && IsDigit(*p))
        ++p;
    at = static_cast<int32_t>(p - m_buffer);
    return value;
}

int32_t String::ParseInt(const char** cursor, int32_t options)
{
    if (!cursor || !*cursor)
        return 0;
    const char* p = *cursor;
    if (options & kParseSkipLeadingSpace)
        SkipSpace(p);
    bool negative = false;
    if (!(options & kParseNoSign) && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    if (!IsDigit(*p)) {
        *cursor = p;
        return (options & kParseMissingIsNoNumber) ? kNoNumber : 0;
    }
    uint32_t value = 0;
    while (IsDigit(*p))
        value = value * 10 + static_cast<uint32_t>(*p++ - '0');
    if (options & kParseSkipTrailingSpace)
        SkipSpace(p);
    if ((options & kParseSkipComma) && *p == ',') {
        ++p;
        if (options & kParseSkipTrailingSpace)
            SkipSpace(p);
    }
    *cursor = p;
    return static_cast<int32_t>(negative ? 0 - value : value);
}

int String::CompareVersionText(const char* a, const char* b)
{
    VersionReader left(a);
    VersionReader right(b);
    for (;;) {
        int32_t x = 0;
        int32_t y = 0;
        bool hasLeft = left.Next(x);
        bool hasRight = right.Next(y);
        if (hasLeft && hasRight) {
            if (x != y) {
                // The difference of two 32-bit numbers may not fit; keep at least its sign.
                int64_t difference = static_cast<int64_t>(x) - y;
                return difference > 0x7fffffff ? 0x7fffffff : difference < -0x7fffffff ? -0x7fffffff
                                                                                       : static_cast<int>(difference);
            }
            continue;
        }
        if (hasRight)
            return -1;
        if (hasLeft)
            return 1;
        // Both lists are exhausted, so both texts were read to the end.
        return static_cast<unsigned char>(left.Suffix()) - static_cast<unsigned char>(right.Suffix());
    }
}
