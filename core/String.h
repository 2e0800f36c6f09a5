#pragma once
#include <cstdarg>
#include <cstdint>

template <typename T>
class Vector;

int32_t SafeLength(const char* text);

// The one text and byte-buffer type of the program: a counted, owned, always
// NUL-terminated run of single-byte characters that may also hold zero bytes.
//
// Invariants: a released string has no buffer, length 0 and capacity 0; otherwise the
// byte at index `length` is 0 and capacity >= length + 1. Every size change goes through
// SetLength/TrySetLength, which keep 32 spare bytes after each reallocation and give
// memory back only when the slack exceeds 512 bytes. Case folding is ASCII only.
//
// Positions and lengths are signed 32-bit; kToEnd as a count means "to the end" (or,
// for a text argument, the length of the zero-terminated text); a position not found is
// -1. Bad arguments are answered with false, -1 or 0 and leave the string unchanged;
// only At() with a bad index is fatal.
class String {
public:
    static constexpr int32_t kToEnd = 0x7fffffff;

    // The constructors and the small editing forms below are out of line: strings are made
    // and appended to in hundreds of places, and a call is shorter than each inlined body.
    String();
    String(const char* text);
    String(const String& other);
    String(String&& other);
    String(const void* bytes, int32_t count);
    explicit String(char c);
    explicit String(int64_t number);
    ~String();

    String& operator=(const String& other);
    String& operator=(String&& other);
    String& operator=(const char* text);

    // Storage and access.
    void Clear();
    const char* Text() const;
    char* Buffer() { return m_buffer; } // null when released; for outside calls that fill it
    int32_t Length() const { return m_length; }
    int32_t Capacity() const { return m_capacity; }
    bool IsEmpty() const { return m_length <= 0; }
    void SetLength(int32_t n);
    bool TrySetLength(int32_t n);
    bool EnsureLength(int32_t n);
    char* Extend(int32_t count);
    char* TryExtend(int32_t count);
    void Shrink(int32_t count) { SetLength(m_length - count); }
    void RecountLength();
    void Adopt(void* block, int32_t n);
    char* Detach();
    char& At(int32_t index);
    char CharAt(int32_t index) const;
    char First() const { return CharAt(0); }
    char Last() const { return CharAt(m_length - 1); }
    char PopFirst();
    int32_t GetInt32At(int32_t offset) const;
    uint16_t GetUInt16At(int32_t offset) const;
    bool SetInt16At(int32_t offset, int16_t value);
    bool SetInt32At(int32_t offset, int32_t value);

    // Assignment.
    void Assign(const void* bytes, int32_t count);
    void Assign(const char* text);
    void Assign(const String& other);
    void AssignMax(const char* text, int32_t maximum);
    bool AssignBytes(const void* bytes, int32_t count);

    // Editing; every edit is a Splice.
    bool Splice(int32_t position, int32_t deleteCount, const void* bytes, int32_t count);
    bool Insert(int32_t position, const void* bytes, int32_t count) { return Splice(position, 0, bytes, count); }
    bool Insert(int32_t position, const char* text);
    bool Insert(int32_t position, const String& other);
    bool InsertChars(char c, int32_t position, int32_t count);
    bool Append(const void* bytes, int32_t count);
    int32_t Append(const char* text);
    bool Append(const String& other);
    bool Append(char c);
    int32_t Prepend(const char* text);
    bool PrependCharOnce(char c);
    void Quote();
    bool Delete(int32_t position, int32_t count);
    bool Truncate(int32_t position);

    String& operator+=(const String& other);
    String& operator+=(const char* text);
    String& operator+=(char c);

    // Comparison and prefix/suffix tests.
    bool operator==(const String& other) const;
    bool operator!=(const String& other) const { return !(*this == other); }
    int Compare(const char* text, bool caseSensitive = true, int32_t maximum = kToEnd) const;
    int Compare(const String& other, bool caseSensitive = true, int32_t maximum = kToEnd) const;
    bool StartsWith(const char* text, int32_t count = kToEnd) const;
    bool RemovePrefix(const char* text, int32_t count = kToEnd);
    bool RemoveSuffix(const char* text, int32_t count = kToEnd);
    bool RemoveFirstIf(char c);
    bool RemoveLastIf(char c);
    bool RemoveFirstIfIn(const char* set);
    bool RemoveOptionPrefix() { return RemoveFirstIfIn("/-"); }
    int32_t RemoveFirst(int32_t count);
    int32_t RemoveLast(int32_t count);
    int32_t RemoveBothEnds(int32_t count);
    bool Unwrap(char c);

    // Trimming and case.
    int32_t TrimLeft(const char* set);
    int32_t TrimRight(const char* set);
    int32_t TrimLeft() { return TrimLeft(kWhiteSpace); }
    int32_t TrimRight() { return TrimRight(kWhiteSpace); }
    int32_t Trim();
    int32_t TrimRightChar(char c);
    void TrimUnquote();
    void ToUpper();

    // Numbers and formatting.
    int32_t Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    int32_t AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
    int32_t AppendFormatList(const char* format, va_list arguments);
    static int64_t ToInt64(const char* text);
    static bool IsTrue(String value);

    // Search, replacement and tokenising (StringSearch.cpp, StringSplit.cpp,
    // StringNumbers.cpp). Options are bit sets; each group below lists the bits of the
    // operations named in its comment.

    // Find and Replace (Replace searches forward for match starts whatever the bits say).
    static constexpr int32_t kIgnoreCase = 0x0001;     // ASCII letters match either case
    static constexpr int32_t kWholeWord = 0x0002;      // no word character on either side
    static constexpr int32_t kWildcards = 0x0004;      // "?" matches any one byte (and fills "?" in a replacement)
    static constexpr int32_t kReturnPosition = 0x0008; // Replace answers the first replaced position
    static constexpr int32_t kSkipQuoted = 0x0010;     // "..." sections never take part in a match
    static constexpr int32_t kBackward = 0x0020;       // search from start - 1 toward the front
    static constexpr int32_t kEndOfMatch = 0x2000;     // answer the position just after the match
    static constexpr int32_t kAnyOfSet = 0x4000;       // the pattern is a set; a match is one byte of it

    // FindLineEnd (kSkipQuoted applies as well).
    static constexpr int32_t kBreakPosition = 0x40;    // answer the position of the break byte itself
    static constexpr int32_t kLengthIfNoEnd = 0x80;    // not found answers the length instead of -1

    // RemoveChars (kIgnoreCase and kBackward apply as well).
    static constexpr int32_t kRemoveOnce = 0x08;       // stop after the first removal
    static constexpr int32_t kStopAtKept = 0x40;       // stop at the first byte that is kept
    static constexpr int32_t kRemoveOthers = 0x80;     // remove the bytes that are not in the set

    // Split.
    static constexpr int32_t kSplitKeepEmpty = 0x001;      // keep empty tokens, also a final one
    static constexpr int32_t kSplitAtZero = 0x002;         // a zero byte separates
    static constexpr int32_t kSplitAtLineBreak = 0x004;    // CR, LF, CR LF and LF CR end a token
    static constexpr int32_t kSplitTrim = 0x008;           // trim white space off each token
    static constexpr int32_t kSplitQuoted = 0x010;         // nothing splits inside "..."
    static constexpr int32_t kSplitKeepSeparator = 0x020;  // a token keeps the separator that ended it
    static constexpr int32_t kSplitUnquote = 0x100;        // strip one pair of surrounding quotes
    static constexpr int32_t kSplitUndoubleQuotes = 0x200; // with kSplitUnquote: "" inside becomes "
    static constexpr int32_t kSplitDoubledSeparator = 0x400; // a doubled separator byte stays in the token

    // ParseInt.
    static constexpr int32_t kParseSkipLeadingSpace = 0x01;
    static constexpr int32_t kParseSkipTrailingSpace = 0x02;
    static constexpr int32_t kParseNoSign = 0x04;
    static constexpr int32_t kParseMissingIsNoNumber = 0x08; // no digits answer kNoNumber instead of 0
    static constexpr int32_t kParseSkipComma = 0x10;         // then skip one "," (and space after it with 0x02)
    static constexpr int32_t kNoNumber = static_cast<int32_t>(0x80000000u);

    // Search.
    int32_t Find(const char* pattern, int32_t patternLength = kToEnd, int32_t start = 0, int32_t options = 0) const;
    int32_t Find(const String& pattern, int32_t start = 0, int32_t options = 0) const
    {
        return pattern.IsEmpty() ? -1 : Find(pattern.Text(), pattern.Length(), start, options);
    }
    int32_t FindChar(char c, int32_t start = 0, int32_t options = 0) const;
    int32_t FindCharReverse(char c, int32_t start = kToEnd, int32_t options = 0) const;
    int32_t FindFirstOf(const char* set, int32_t start = 0) const;
    int32_t FindFirstNotOf(const char* set, int32_t start = 0) const;
    int32_t FindNumberStart(int32_t start = 0) const;
    int32_t FindLineEnd(int32_t start, int32_t options = 0) const;

    // Replacement and removal.
    int32_t Replace(const void* find, int32_t findLength, const void* replacement, int32_t replacementLength,
                    int32_t options = 0, int32_t start = 0, int32_t maximum = kToEnd, int32_t skip = 0);
    int32_t Replace(const char* find, const char* replacement, int32_t options = 0, int32_t start = 0,
                    int32_t maximum = kToEnd, int32_t skip = 0)
    {
        return Replace(find, SafeLength(find), replacement, SafeLength(replacement), options, start, maximum, skip);
    }
    int32_t Replace(const char* find, const String& replacement, int32_t options = 0, int32_t start = 0,
                    int32_t maximum = kToEnd, int32_t skip = 0)
    {
        return Replace(find, SafeLength(find), replacement.Text(), replacement.Length(), options, start, maximum, skip);
    }
    int32_t Replace(const char* find, char replacement, int32_t options = 0, int32_t start = 0)
    {
        return Replace(find, SafeLength(find), &replacement, 1, options, start, kToEnd, 0);
    }
    int32_t ReplaceChar(char oldChar, char newChar, bool caseSensitive = true);
    int32_t RemoveText(const char* text, int32_t count = kToEnd, bool caseSensitive = true);
    int32_t RemoveChar(char c, int32_t start = 0, int32_t count = kToEnd);
    int32_t RemoveChars(const char* set, int32_t start = 0, int32_t options = 0);

    // Pieces and tokens; the Take and Cut operations remove what they return.
    bool CopyRange(String& destination, int32_t count, int32_t start) const;
    String Mid(int32_t start, int32_t count = kToEnd) const;
    String Cut(int32_t start, int32_t count = kToEnd);
    String CutFrom(const char* text, int32_t options = 0);
    String TakeUntil(char c);
    String TakeLine();
    String TakeLineWithBreak();
    String TakeQuoted(char quote = '"', int32_t position = 0);
    String TakeWord();
    int32_t Split(Vector<String>& list, const char* separators, int32_t options = 0) const;
    int32_t SplitLines(Vector<String>& list) const;
    int32_t NormalizeLineBreaks();
    bool EnsureLineBreak();

    // Number parsing.
    int32_t ToIntIgnoringCommas() const;
    int64_t ToInt64IgnoringCommas() const;
    int32_t ParseIntAt(int32_t* position = nullptr) const;
    static int32_t ParseInt(const char** cursor, int32_t options = 0);
    static int32_t ParseInt(const char* text, int32_t options = 0) { return ParseInt(&text, options); }
    static int CompareVersionText(const char* a, const char* b);

    static constexpr const char* kWhiteSpace = " \r\n\t";
    // The formatted text and its terminator must fit in this many bytes.
    static constexpr int32_t kFormatScratchSize = 65536;

private:
    bool Resize(int32_t n, bool mayFail);
    bool TakeLineInto(String& line, bool withBreak);

    char* m_buffer = nullptr;
    int32_t m_length = 0;
    int32_t m_capacity = 0;
};

String operator+(const String& left, char right);
String operator+(const String& left, const char* right);
String operator+(const String& left, const String& right);
String operator+(const char* left, const String& right);

// Character classes, ASCII only: the rest of the program relies on exactly these sets.
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
inline bool IsAlnum(char c) { return IsDigit(c) || IsLetter(c); }
inline bool IsWordChar(char c) { return IsAlnum(c) || c == '_'; }
inline bool IsSpace(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }
inline bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }
inline char ToUpperChar(char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; }
inline char ToLowerChar(char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; }

// Helpers on plain zero-terminated texts.
int32_t SafeLength(const char* text);
char LastCharOf(const char* text);
bool IsBlank(const char* text);
// The same test on a string's text, up to its first zero byte; one call where the
// text's address would be fetched by another at every place that asks.
bool IsBlank(const String& text);
bool TruncateAtChar(char* text, char c);
bool ContainsAnyOf(const char* bytes, const char* set);
