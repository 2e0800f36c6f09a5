// Cutting pieces out of a String and tokenising it into a list of strings.
#include "core/String.h"
#include "core/Vector.h"
#include "core/Fatal.h"
#include <cstring>

namespace {

// Reads a quoted section that opens at `position` (which holds the quote byte): a
// doubled quote byte inside stands for one. Appends the bytes between the quotes to
// `out` and answers the position after the closing quote, or the length when the
// section is not closed.
int32_t ReadQuoted(const char* text, int32_t length, int32_t position, char quote, String& out)
{
    int32_t runStart = position + 1;
    int32_t i = runStart;
    while (i < length) {
        if (text[i] != quote) {
            ++i;
            continue;
        }
        if (i + 1 < length && text[i + 1] == quote) {
            // Keep the first of the pair; the run resumes after the second.
            out.Append(text + runStart, i + 1 - runStart);
            i += 2;
            runStart = i;
            continue;
        }
        out.Append(text + runStart, i - runStart);
        return i + 1;
    }
    out.Append(text + runStart, length - runStart);
    return length;
}

// The length of the line break at `i` (CR, LF, CR LF or LF CR), 0 when there is none.
int32_t LineBreakLength(const char* text, int32_t length, int32_t i)
{
    if (!IsLineBreak(text[i]))
        return 0;
    if (i + 1 < length && IsLineBreak(text[i + 1]) && text[i + 1] != text[i])
        return 2;
    return 1;
}

}

bool String::CopyRange(String& destination, int32_t count, int32_t start) const
{
    if (start < 0)
        start = 0;
    if (count > m_length - start)
        count = m_length - start;
    if (count <= 0) {
        destination.Clear();
        return false;
    }
    if (&destination == this) {
        String piece(m_buffer + start, count);
        destination = static_cast<String&&>(piece);
    } else {
        destination.Assign(m_buffer + start, count);
    }
    return true;
}

String String::Mid(int32_t start, int32_t count) const
{
    String piece;
    CopyRange(piece, count, start);
    return piece;
}

String String::Cut(int32_t start, int32_t count)
{
    String piece = Mid(start, count);
    if (!piece.IsEmpty())
        Delete(start < 0 ? 0 : start, piece.Length());
    return piece;
}

String String::CutFrom(const char* text, int32_t options)
{
    int32_t position = Find(text, kToEnd, 0, options);
    return position >= 0 ? Cut(position, kToEnd) : String();
}

String String::TakeUntil(char c)
{
    int32_t position = FindChar(c);
    if (position < 0) {
        String all(static_cast<String&&>(*this));
        return all;
    }
    String piece = Mid(0, position);
    Delete(0, position + 1);
    return piece;
}

bool String::TakeLineInto(String& line, bool withBreak)
{
    int32_t end = 0;
    while (end < m_length && m_buffer[end] && !IsLineBreak(m_buffer[end]))
        ++end;
    if (end >= m_length) {
        line = static_cast<String&&>(*this);
        return false;
    }
    int32_t breakLength = m_buffer[end] ? LineBreakLength(m_buffer, m_length, end) : 1;
    line.Assign(m_buffer, withBreak ? end + breakLength : end);
    Delete(0, end + breakLength);
    return true;
}

String String::TakeLine()
{
    String line;
    TakeLineInto(line, false);
    return line;
}

String String::TakeLineWithBreak()
{
    String line;
    TakeLineInto(line, true);
    return line;
}

String String::TakeQuoted(char quote, int32_t position)
{
    String piece;
    if (position < 0 || position >= m_length || m_buffer[position] != quote)
        return piece;
    int32_t end = ReadQuoted(m_buffer, m_length, position, quote, piece);
    Delete(position, end - position);
    return piece;
}

String String::TakeWord()
{
    TrimLeft();
    String word;
    int32_t i = 0;
    while (i < m_length && !IsSpace(m_buffer[i])) {
        if (m_buffer[i] == '"') {
            // A quoted part keeps its quotes and may hold white space.
            String part;
            i = ReadQuoted(m_buffer, m_length, i, '"', part);
            part.Quote();
            word.Append(part);
        } else {
            int32_t runStart = i;
            while (i < m_length && !IsSpace(m_buffer[i]) && m_buffer[i] != '"')
                ++i;
            word.Append(m_buffer + runStart, i - runStart);
        }
    }
    // The white-space byte that ends the word goes with it.
    Delete(0, i < m_length ? i + 1 : i);
    return word;
}

int32_t String::Split(Vector<String>& list, const char* separators, int32_t options) const
{
    if (m_length <= 0)
        return 0;
    if (!separators)
        separators = "";
    int32_t appended = 0;
    int32_t tokenStart = 0;
    for (;;) {
        int32_t i = tokenStart;
        int32_t breakLength = 0;
        bool quoted = false;
        for (; i < m_length; ++i) {
            char c = m_buffer[i];
            if ((options & kSplitQuoted) && c == '"') {
                quoted = !quoted;
                continue;
            }
            if (quoted)
                continue;
            if (c && strchr(separators, c)) {
                if ((options & kSplitDoubledSeparator) && i + 1 < m_length && m_buffer[i + 1] == c) {
                    ++i;
                    continue;
                }
                breakLength = 1;
                break;
            }
            if (!c && (options & kSplitAtZero)) {
                breakLength = 1;
                break;
            }
            if ((options & kSplitAtLineBreak) && IsLineBreak(c)) {
                breakLength = LineBreakLength(m_buffer, m_length, i);
                break;
            }
        }
        int32_t tokenEnd = (options & kSplitKeepSeparator) ? i + breakLength : i;
        String token(m_buffer + tokenStart, tokenEnd - tokenStart);
        if (options & kSplitTrim)
            token.Trim();
        if ((options & kSplitUnquote) && token.Unwrap('"')) {
            if (options & kSplitUndoubleQuotes)
                token.Replace("\"\"", "\"");
            if (options & kSplitTrim)
                token.Trim();
        }
        if (!token.IsEmpty() || (options & kSplitKeepEmpty)) {
            list.Append(static_cast<String&&>(token));
            ++appended;
        }
        if (breakLength == 0)
            break;
        tokenStart = i + breakLength;
        if (tokenStart >= m_length) {
            // The text ended in a separator.
            if (options & kSplitKeepEmpty) {
                list.AppendNew();
                ++appended;
            }
            break;
        }
    }
    return appended;
}

int32_t String::SplitLines(Vector<String>& list) const
{
    return Split(list, "", kSplitKeepEmpty | kSplitAtZero | kSplitAtLineBreak);
}

int32_t String::NormalizeLineBreaks()
{
    // Count first, so that a text already in CR LF form is left as it is.
    int32_t changed = 0;
    int64_t newLength = m_length;
    for (int32_t i = 0; i < m_length;) {
        int32_t breakLength = LineBreakLength(m_buffer, m_length, i);
        if (breakLength == 0) {
            ++i;
            continue;
        }
        if (!(breakLength == 2 && m_buffer[i] == '\r'))
            ++changed;
        newLength += 2 - breakLength;
        i += breakLength;
    }
    if (changed == 0)
        return 0;
    if (newLength > 0x7fffffff - 64)
        OutOfMemoryHandler(0x80000000u); // beyond what a 32-bit length can count
    String result;
    result.SetLength(static_cast<int32_t>(newLength));
    int32_t to = 0;
    for (int32_t i = 0; i < m_length;) {
        int32_t breakLength = LineBreakLength(m_buffer, m_length, i);
        if (breakLength == 0) {
            result.m_buffer[to++] = m_buffer[i++];
            continue;
        }
        result.m_buffer[to++] = '\r';
        result.m_buffer[to++] = '\n';
        i += breakLength;
    }
    *this = static_cast<String&&>(result);
    return changed;
}

bool String::EnsureLineBreak()
{
    if (IsLineBreak(Last()))
        return false;
    Append("\r\n", 2);
    return true;
}
