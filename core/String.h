#pragma once
#include <cstdarg>
#include <cstdint>

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

    String() = default;
    String(const char* text) { Assign(text); }
    String(const String& other) { Assign(other); }
    String(String&& other) : m_buffer(other.m_buffer), m_length(other.m_length), m_capacity(other.m_capacity)
    {
        other.m_buffer = nullptr;
        other.m_length = other.m_capacity = 0;
    }
    String(const void* bytes, int32_t count) { Assign(bytes, count); }
    explicit String(char c) { Assign(&c, 1); }
    explicit String(int64_t number);
    ~String();

    String& operator=(const String& other) { Assign(other); return *this; }
    String& operator=(String&& other);
    String& operator=(const char* text) { Assign(text); return *this; }

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
    void Assign(const String& other) { Assign(other.Text(), other.Length()); }
    void AssignMax(const char* text, int32_t maximum);
    bool AssignBytes(const void* bytes, int32_t count);

    // Editing; every edit is a Splice.
    bool Splice(int32_t position, int32_t deleteCount, const void* bytes, int32_t count);
    bool Insert(int32_t position, const void* bytes, int32_t count) { return Splice(position, 0, bytes, count); }
    bool Insert(int32_t position, const char* text);
    bool Insert(int32_t position, const String& other) { return Splice(position, 0, other.Text(), other.Length()); }
    bool InsertChars(char c, int32_t position, int32_t count);
    bool Append(const void* bytes, int32_t count) { return Splice(m_length, 0, bytes, count); }
    int32_t Append(const char* text);
    bool Append(const String& other) { return Splice(m_length, 0, other.Text(), other.Length()); }
    bool Append(char c) { return Splice(m_length, 0, &c, 1); }
    int32_t Prepend(const char* text);
    bool PrependCharOnce(char c);
    void Quote();
    bool Delete(int32_t position, int32_t count) { return Splice(position, count, nullptr, 0); }
    bool Truncate(int32_t position) { return Delete(position, kToEnd); }

    String& operator+=(const String& other) { Append(other); return *this; }
    String& operator+=(const char* text) { Append(text); return *this; }
    String& operator+=(char c) { Append(c); return *this; }

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

    static constexpr const char* kWhiteSpace = " \r\n\t";
    // The formatted text and its terminator must fit in this many bytes.
    static constexpr int32_t kFormatScratchSize = 65536;

private:
    bool Resize(int32_t n, bool mayFail);

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
bool TruncateAtChar(char* text, char c);
bool ContainsAnyOf(const char* bytes, const char* set);
