// Searching, replacing and removing inside a String.
//
// Replace rebuilds the string in one pass when the replacement has another length than
// the text it replaces: it first records where the matches start, then moves every
// segment once, so that replacing many matches costs time linear in the length of the
// string rather than one tail move per match.
#include "core/String.h"
#include "core/Fatal.h"
#include "core/Vector.h"
#include <cstring>

namespace {

bool SameByte(char a, char b, bool ignoreCase)
{
    return a == b || (ignoreCase && ToLowerChar(a) == ToLowerChar(b));
}

bool InSet(const char* set, int32_t setLength, char c, bool ignoreCase)
{
    for (int32_t i = 0; i < setLength; ++i) {
        if (SameByte(set[i], c, ignoreCase))
            return true;
    }
    return false;
}

// A zero-terminated set never contains the zero byte.
bool InTextSet(const char* set, char c, bool ignoreCase)
{
    if (!c)
        return false;
    for (; *set; ++set) {
        if (SameByte(*set, c, ignoreCase))
            return true;
    }
    return false;
}

bool PatternMatches(const char* text, const char* pattern, int32_t length, int32_t options)
{
    bool ignoreCase = options & String::kIgnoreCase;
    bool wildcards = options & String::kWildcards;
    for (int32_t i = 0; i < length; ++i) {
        if (wildcards && pattern[i] == '?')
            continue;
        if (!SameByte(text[i], pattern[i], ignoreCase))
            return false;
    }
    return true;
}

// The position of the next double quote from `from` in `step` direction, or one past
// the end of the range (-1 or length) when there is none.
int32_t MatchingQuote(const char* text, int32_t length, int32_t from, int32_t step)
{
    int32_t i = from;
    while (i >= 0 && i < length && text[i] != '"')
        i += step;
    return i;
}

}

int32_t String::Find(const char* pattern, int32_t patternLength, int32_t start, int32_t options) const
{
    if (!pattern || !m_buffer || m_length <= 0)
        return -1;
    if (patternLength == kToEnd)
        patternLength = SafeLength(pattern);
    if (patternLength <= 0)
        return -1;
    bool anyOf = options & kAnyOfSet;
    int32_t matchLength = anyOf ? 1 : patternLength;
    int32_t last = m_length - matchLength;
    if (last < 0)
        return -1;
    bool backward = options & kBackward;
    bool skipQuoted = options & kSkipQuoted;
    int32_t step = backward ? -1 : 1;
    int32_t candidate;
    if (backward) {
        // Searching backward for quotes must begin at the true end of the range: a
        // closing quote may lie behind the last place where a match could start.
        candidate = start - 1;
        if (candidate > (skipQuoted ? m_length - 1 : last))
            candidate = skipQuoted ? m_length - 1 : last;
    } else {
        candidate = start < 0 ? 0 : start;
    }
    // A plain forward search jumps straight to the next copy of the pattern's first byte.
    bool jump = !backward && !skipQuoted && !anyOf && !(options & kIgnoreCase) &&
                !((options & kWildcards) && pattern[0] == '?');
    while (candidate >= 0 && (backward || candidate <= last)) {
        if (jump) {
            const void* next = memchr(m_buffer + candidate, pattern[0], static_cast<size_t>(last - candidate + 1));
            if (!next)
                return -1;
            candidate = static_cast<int32_t>(static_cast<const char*>(next) - m_buffer);
        }
        if (skipQuoted && m_buffer[candidate] == '"') {
            candidate = MatchingQuote(m_buffer, m_length, candidate + step, step) + step;
            continue;
        }
        if (candidate <= last) {
            const char* at = m_buffer + candidate;
            bool matched = anyOf ? InSet(pattern, patternLength, *at, options & kIgnoreCase)
                                 : PatternMatches(at, pattern, patternLength, options);
            // A quoted section never takes part in a match, not even through "?".
            if (matched && skipQuoted && memchr(at, '"', static_cast<size_t>(matchLength)))
                matched = false;
            if (matched && (options & kWholeWord)) {
                if (candidate > 0 && IsWordChar(m_buffer[candidate - 1]))
                    matched = false;
                else if (candidate + matchLength < m_length && IsWordChar(m_buffer[candidate + matchLength]))
                    matched = false;
            }
            if (matched)
                return (options & kEndOfMatch) ? candidate + matchLength : candidate;
        }
        candidate += step;
    }
    return -1;
}

int32_t String::FindChar(char c, int32_t start, int32_t options) const
{
    return Find(&c, 1, start, options & (kIgnoreCase | kSkipQuoted));
}

int32_t String::FindCharReverse(char c, int32_t start, int32_t options) const
{
    // Find's backward start is the position after the first candidate.
    int32_t from = start >= m_length ? m_length : start + 1;
    if (from <= 0)
        return -1;
    return Find(&c, 1, from, (options & (kIgnoreCase | kSkipQuoted)) | kBackward);
}

int32_t String::FindFirstOf(const char* set, int32_t start) const
{
    if (!set || !*set || start >= m_length)
        return -1;
    for (int32_t i = start < 0 ? 0 : start; i < m_length; ++i) {
        if (InTextSet(set, m_buffer[i], false))
            return i;
    }
    return -1;
}

int32_t String::FindFirstNotOf(const char* set, int32_t start) const
{
    if (!set)
        return -1;
    for (int32_t i = start < 0 ? 0 : start; i < m_length; ++i) {
        if (!InTextSet(set, m_buffer[i], false))
            return i;
    }
    return -1;
}

int32_t String::FindNumberStart(int32_t start) const
{
    for (int32_t i = start < 0 ? 0 : start; i < m_length; ++i) {
        char c = m_buffer[i];
        if (IsDigit(c) || c == '+' || c == '-' || c == '.')
            return i;
    }
    return -1;
}

int32_t String::FindLineEnd(int32_t start, int32_t options) const
{
    int32_t notFound = (options & kLengthIfNoEnd) ? m_length : -1;
    if (start < 0 || start >= m_length)
        return notFound;
    for (int32_t i = start; i < m_length; ++i) {
        char c = m_buffer[i];
        if ((options & kSkipQuoted) && c == '"') {
            i = MatchingQuote(m_buffer, m_length, i + 1, 1);
            if (i >= m_length)
                return notFound;
            continue;
        }
        if (IsLineBreak(c)) {
            if (options & kBreakPosition)
                return i;
            char next = i + 1 < m_length ? m_buffer[i + 1] : 0;
            bool pair = IsLineBreak(next) && next != c;
            return i + (pair ? 2 : 1);
        }
    }
    return notFound;
}

namespace {

// Writes the replacement for one match to `out`. With wildcards every "?" of the
// replacement takes the byte that the next unused "?" of the pattern matched; without
// a further "?" in the pattern, or for a matched zero byte, the "?" stays.
void FillReplacement(char* out, const char* replacement, int32_t replacementLength, const char* find,
                     int32_t findLength, const char* matched, bool wildcards)
{
    if (!wildcards) {
        if (replacementLength > 0)
            memcpy(out, replacement, static_cast<size_t>(replacementLength));
        return;
    }
    int32_t k = 0;
    for (int32_t i = 0; i < replacementLength; ++i) {
        char c = replacement[i];
        if (c == '?') {
            while (k < findLength && find[k] != '?')
                ++k;
            if (k < findLength) {
                char byte = matched[k++];
                if (byte)
                    c = byte;
            }
        }
        out[i] = c;
    }
}

}

int32_t String::Replace(const void* findBytes, int32_t findLength, const void* replacementBytes,
                        int32_t replacementLength, int32_t options, int32_t start, int32_t maximum, int32_t skip)
{
    bool wantPosition = options & kReturnPosition;
    int32_t nothing = wantPosition ? -1 : 0;
    const char* find = static_cast<const char*>(findBytes);
    if (find && findLength == kToEnd)
        findLength = SafeLength(find);
    if (maximum <= 0 || !find || findLength <= 0)
        return nothing;
    const char* replacement = static_cast<const char*>(replacementBytes);
    if (!replacement || replacementLength < 0)
        replacementLength = 0;
    if (replacementLength == kToEnd)
        replacementLength = SafeLength(replacement);

    // The texts may lie in our own block, which the edits below move or overwrite.
    String findCopy;
    String replacementCopy;
    auto inOwnBlock = [this](const char* p) { return m_buffer && p >= m_buffer && p < m_buffer + m_capacity; };
    if (inOwnBlock(find)) {
        findCopy.Assign(find, findLength);
        find = findCopy.Text();
    }
    if (replacementLength > 0 && inOwnBlock(replacement)) {
        replacementCopy.Assign(replacement, replacementLength);
        replacement = replacementCopy.Text();
    }

    int32_t findOptions = options & (kIgnoreCase | kWholeWord | kWildcards | kSkipQuoted);
    bool wildcards = options & kWildcards;
    // One replacement is built here first when it depends on the matched bytes, because
    // writing it may overwrite those bytes.
    String scratch;
    if (wildcards && replacementLength > 0)
        scratch.SetLength(replacementLength);

    int32_t met = 0;
    int32_t skipped = 0;
    int32_t position = Find(find, findLength, start, findOptions);
    for (; position >= 0 && skipped < skip; position = Find(find, findLength, position + findLength, findOptions)) {
        ++skipped;
        ++met;
    }

    if (findLength == replacementLength) {
        int32_t replaced = 0;
        int32_t first = -1;
        for (; position >= 0 && replaced < maximum;
             position = Find(find, findLength, position + findLength, findOptions)) {
            if (wildcards) {
                FillReplacement(scratch.Buffer(), replacement, replacementLength, find, findLength,
                                m_buffer + position, true);
                memcpy(m_buffer + position, scratch.Text(), static_cast<size_t>(replacementLength));
            } else {
                memcpy(m_buffer + position, replacement, static_cast<size_t>(replacementLength));
            }
            ++replaced;
            ++met;
            if (wantPosition) {
                first = position;
                break;
            }
        }
        if (replaced == 0)
            return skipped > 0 ? skipped : nothing;
        return wantPosition ? first : met;
    }

    Vector<int32_t> matches;
    int32_t limit = wantPosition ? 1 : maximum;
    for (; position >= 0 && matches.Count() < limit;
         position = Find(find, findLength, position + findLength, findOptions))
        matches.Append(position);
    int32_t count = matches.Count();
    if (count == 0)
        return skipped > 0 ? skipped : nothing;

    int32_t oldLength = m_length;
    int64_t newLength = static_cast<int64_t>(oldLength) + static_cast<int64_t>(count) * (replacementLength - findLength);
    if (newLength > 0x7fffffff - 64)
        OutOfMemoryHandler(0x80000000u); // beyond what a 32-bit length can count
    const char* fill = wildcards ? scratch.Text() : replacement;
    if (replacementLength < findLength) {
        // Forward: each replacement is written, then the segment after it moves down.
        int32_t to = matches[0];
        for (int32_t i = 0; i < count; ++i) {
            int32_t match = matches[i];
            if (wildcards && replacementLength > 0)
                FillReplacement(scratch.Buffer(), replacement, replacementLength, find, findLength, m_buffer + match,
                                true);
            if (replacementLength > 0)
                memcpy(m_buffer + to, fill, static_cast<size_t>(replacementLength));
            to += replacementLength;
            int32_t from = match + findLength;
            int32_t end = i + 1 < count ? matches[i + 1] : oldLength;
            memmove(m_buffer + to, m_buffer + from, static_cast<size_t>(end - from));
            to += end - from;
        }
        SetLength(static_cast<int32_t>(newLength));
    } else {
        // Backward: grow first, then move each segment up and write the replacement in
        // front of it, from the last match to the first.
        SetLength(static_cast<int32_t>(newLength));
        int32_t growth = replacementLength - findLength;
        for (int32_t i = count - 1; i >= 0; --i) {
            int32_t match = matches[i];
            int32_t from = match + findLength;
            int32_t end = i + 1 < count ? matches[i + 1] : oldLength;
            memmove(m_buffer + from + (i + 1) * growth, m_buffer + from, static_cast<size_t>(end - from));
            if (wildcards)
                FillReplacement(scratch.Buffer(), replacement, replacementLength, find, findLength, m_buffer + match,
                                true);
            memcpy(m_buffer + match + i * growth, fill, static_cast<size_t>(replacementLength));
        }
    }
    return wantPosition ? matches[0] : met + count;
}

int32_t String::ReplaceChar(char oldChar, char newChar, bool caseSensitive)
{
    int32_t changed = 0;
    for (int32_t i = 0; i < m_length; ++i) {
        if (SameByte(m_buffer[i], oldChar, !caseSensitive)) {
            m_buffer[i] = newChar;
            ++changed;
        }
    }
    return changed;
}

int32_t String::RemoveText(const char* text, int32_t count, bool caseSensitive)
{
    int32_t length = SafeLength(text);
    if (length <= 0)
        return 0;
    int32_t removed = 0;
    int32_t position = 0;
    while (removed < count && (position = Find(text, length, position, caseSensitive ? 0 : kIgnoreCase)) >= 0) {
        Delete(position, length);
        ++removed;
    }
    return removed;
}

int32_t String::RemoveChar(char c, int32_t start, int32_t count)
{
    if (start < 0)
        start = 0;
    int32_t span = m_length - start;
    if (count < span)
        span = count;
    if (span <= 0)
        return 0;
    // Compact the scanned range in one pass.
    int32_t to = start;
    int32_t end = start + span;
    for (int32_t i = start; i < end; ++i) {
        if (m_buffer[i] != c)
            m_buffer[to++] = m_buffer[i];
    }
    int32_t removed = end - to;
    if (removed > 0) {
        memmove(m_buffer + to, m_buffer + end, static_cast<size_t>(m_length - end));
        SetLength(m_length - removed);
    }
    return removed;
}

int32_t String::RemoveChars(const char* set, int32_t start, int32_t options)
{
    if (!set || m_length <= 0)
        return 0;
    bool ignoreCase = options & kIgnoreCase;
    bool invert = options & kRemoveOthers;
    auto removes = [&](char c) { return InTextSet(set, c, ignoreCase) != invert; };

    // The range [low, high) that the scan covers before it stops.
    int32_t low;
    int32_t high;
    if (options & kBackward) {
        high = (start < m_length - 1 ? start : m_length - 1) + 1;
        if (high <= 0)
            return 0;
        low = 0;
        if (options & kStopAtKept) {
            low = high;
            while (low > 0 && removes(m_buffer[low - 1]))
                --low;
        }
    } else {
        low = start < 0 ? 0 : start;
        if (low >= m_length)
            return 0;
        high = m_length;
        if (options & kStopAtKept) {
            high = low;
            while (high < m_length && removes(m_buffer[high]))
                ++high;
        }
    }

    if (options & kRemoveOnce) {
        if (options & kBackward) {
            for (int32_t i = high - 1; i >= low; --i) {
                if (removes(m_buffer[i]))
                    return Delete(i, 1) ? 1 : 0;
            }
        } else {
            for (int32_t i = low; i < high; ++i) {
                if (removes(m_buffer[i]))
                    return Delete(i, 1) ? 1 : 0;
            }
        }
        return 0;
    }

    int32_t to = low;
    for (int32_t i = low; i < high; ++i) {
        if (!removes(m_buffer[i]))
            m_buffer[to++] = m_buffer[i];
    }
    int32_t removed = high - to;
    if (removed > 0) {
        memmove(m_buffer + to, m_buffer + high, static_cast<size_t>(m_length - high));
        SetLength(m_length - removed);
    }
    return removed;
}
