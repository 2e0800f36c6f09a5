#include "core/String.h"
#include "core/Fatal.h"
#include "core/LittleEndian.h"
#include "core/Memory.h"
#include "core/Platform.h"
#include <cstring>

static char s_emptyText[1] = { 0 };

// Strings are made, read and appended to in hundreds of places; link-time optimisation
// would copy these small bodies into every one, where a call is shorter.
#define QUOX_CALLED __attribute__((noinline))

static constexpr int32_t kSpare = 33;      // a reallocation keeps n + 33 bytes
static constexpr int32_t kMaxSlack = 512;  // more slack than this is given back

String::String(int64_t number)
{
    char digits[24];
    char* end = digits + sizeof(digits);
    char* p = end;
    // Work on the magnitude as unsigned so that the smallest value has one too.
    uint64_t magnitude = number < 0 ? 0 - static_cast<uint64_t>(number) : static_cast<uint64_t>(number);
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (number < 0)
        *--p = '-';
    Assign(p, static_cast<int32_t>(end - p));
}

// Not even analysed across calls: GCC otherwise copies the three stores into each caller.
__attribute__((noipa)) String::String() {}
QUOX_CALLED String::String(const char* text) { Assign(text); }
QUOX_CALLED String::String(const String& other) { Assign(other); }
QUOX_CALLED String::String(const void* bytes, int32_t count) { Assign(bytes, count); }
QUOX_CALLED String::String(char c) { Assign(&c, 1); }

QUOX_CALLED String::String(String&& other) : m_buffer(other.m_buffer), m_length(other.m_length), m_capacity(other.m_capacity)
{
    other.m_buffer = nullptr;
    other.m_length = other.m_capacity = 0;
}

QUOX_CALLED String& String::operator=(const String& other)
{
    Assign(other);
    return *this;
}

QUOX_CALLED String& String::operator=(const char* text)
{
    Assign(text);
    return *this;
}

QUOX_CALLED void String::Assign(const String& other) { Assign(other.Text(), other.Length()); }
QUOX_CALLED bool String::Insert(int32_t position, const String& other) { return Splice(position, 0, other.Text(), other.Length()); }
QUOX_CALLED bool String::Append(const void* bytes, int32_t count) { return Splice(m_length, 0, bytes, count); }
QUOX_CALLED bool String::Append(const String& other) { return Splice(m_length, 0, other.Text(), other.Length()); }
QUOX_CALLED bool String::Append(char c) { return Splice(m_length, 0, &c, 1); }
QUOX_CALLED bool String::Delete(int32_t position, int32_t count) { return Splice(position, count, nullptr, 0); }
QUOX_CALLED bool String::Truncate(int32_t position) { return Delete(position, kToEnd); }

QUOX_CALLED String& String::operator+=(const String& other)
{
    Append(other);
    return *this;
}

QUOX_CALLED String& String::operator+=(const char* text)
{
    Append(text);
    return *this;
}

QUOX_CALLED String& String::operator+=(char c)
{
    Append(c);
    return *this;
}

String::~String()
{
    Free(m_buffer);
}

String& String::operator=(String&& other)
{
    if (this != &other) {
        Free(m_buffer);
        m_buffer = other.m_buffer;
        m_length = other.m_length;
        m_capacity = other.m_capacity;
        other.m_buffer = nullptr;
        other.m_length = other.m_capacity = 0;
    }
    return *this;
}

void String::Clear()
{
    Free(m_buffer);
    m_buffer = nullptr;
    m_length = 0;
    m_capacity = 0;
}

QUOX_CALLED const char* String::Text() const
{
    return m_buffer ? m_buffer : s_emptyText;
}

bool String::Resize(int32_t n, bool mayFail)
{
    if (n < 1) {
        Clear();
        return true;
    }
    if (n == m_length)
        return true;
    if (n >= m_capacity || n < m_capacity - kMaxSlack) {
        size_t size = static_cast<size_t>(static_cast<uint32_t>(n)) + kSpare;
        bool previousMode = mayFail ? SetOutOfMemoryMode(false) : true;
        char* block = static_cast<char*>(Reallocate(m_buffer, size));
        if (mayFail)
            SetOutOfMemoryMode(previousMode);
        if (!block)
            return false;
        m_buffer = block;
        m_capacity = static_cast<int32_t>(n + static_cast<int64_t>(kSpare) > 0x7fffffff ? 0x7fffffff : n + kSpare);
    }
    m_length = n;
    m_buffer[n] = 0;
    return true;
}

void String::SetLength(int32_t n)
{
    Resize(n, false);
}

bool String::TrySetLength(int32_t n)
{
    return Resize(n, true);
}

bool String::EnsureLength(int32_t n)
{
    if (n < m_capacity) {
        if (n > m_length) {
            m_length = n;
            m_buffer[n] = 0;
        }
        return false;
    }
    SetLength(n);
    return true;
}

char* String::Extend(int32_t count)
{
    int32_t oldLength = m_length;
    if (count > 0)
        SetLength(m_length + count);
    return m_buffer ? m_buffer + oldLength : s_emptyText;
}

char* String::TryExtend(int32_t count)
{
    int32_t oldLength = m_length;
    if (count < 0 || static_cast<int64_t>(m_length) + count > 0x7fffffff || !TrySetLength(m_length + count))
        return nullptr;
    return m_buffer ? m_buffer + oldLength : s_emptyText;
}

void String::RecountLength()
{
    m_length = m_buffer ? static_cast<int32_t>(strlen(m_buffer)) : 0;
}

void String::Adopt(void* block, int32_t n)
{
    Clear();
    if (!block || n < 1) {
        Free(block);
        return;
    }
    m_buffer = static_cast<char*>(Reallocate(block, static_cast<size_t>(n) + 1));
    m_capacity = n + 1;
    m_length = n;
    m_buffer[n] = 0;
}

char* String::Detach()
{
    char* block = m_buffer;
    m_buffer = nullptr;
    m_length = m_capacity = 0;
    return block;
}

char& String::At(int32_t index)
{
    if (index < 0 || index >= m_length)
        InternalFatal("Core", 8062);
    return m_buffer[index];
}

char String::CharAt(int32_t index) const
{
    return index >= 0 && index < m_length ? m_buffer[index] : 0;
}

char String::PopFirst()
{
    char c = First();
    if (m_length > 0)
        Delete(0, 1);
    return c;
}

int32_t String::GetInt32At(int32_t offset) const
{
    if (offset < 0 || offset > m_length - 4)
        return -1;
    return static_cast<int32_t>(LoadLittleEndian32(reinterpret_cast<const uint8_t*>(m_buffer) + offset));
}

uint16_t String::GetUInt16At(int32_t offset) const
{
    if (offset < 0 || offset > m_length - 2)
        return 0xFFFF;
    return LoadLittleEndian16(reinterpret_cast<const uint8_t*>(m_buffer) + offset);
}

bool String::SetInt16At(int32_t offset, int16_t value)
{
    if (offset < 0 || offset > m_length - 2)
        return false;
    StoreLittleEndian16(reinterpret_cast<uint8_t*>(m_buffer) + offset, static_cast<uint16_t>(value));
    return true;
}

bool String::SetInt32At(int32_t offset, int32_t value)
{
    if (offset < 0 || offset > m_length - 4)
        return false;
    StoreLittleEndian32(reinterpret_cast<uint8_t*>(m_buffer) + offset, static_cast<uint32_t>(value));
    return true;
}

void String::Assign(const void* bytes, int32_t count)
{
    if (!bytes || count < 1) {
        Clear();
        return;
    }
    const char* source = static_cast<const char*>(bytes);
    if (count == kToEnd)
        count = SafeLength(source);
    if (count < 1) {
        Clear();
        return;
    }
    // A source inside our own block would be freed under our feet by a reallocation.
    if (m_buffer && source >= m_buffer && source < m_buffer + m_capacity) {
        if (source == m_buffer && count == m_length)
            return;
        char* block = static_cast<char*>(Allocate(static_cast<size_t>(count) + kSpare));
        memcpy(block, source, static_cast<size_t>(count));
        Free(m_buffer);
        m_buffer = block;
        m_length = count;
        m_capacity = count + kSpare;
        m_buffer[count] = 0;
        return;
    }
    Splice(0, kToEnd, source, count);
}

void String::Assign(const char* text)
{
    Assign(text, SafeLength(text));
}

void String::AssignMax(const char* text, int32_t maximum)
{
    if (!text) {
        Clear();
        return;
    }
    int32_t n = 0;
    while (n < maximum && text[n])
        ++n;
    Assign(text, n);
}

bool String::AssignBytes(const void* bytes, int32_t count)
{
    if (count > 0 && bytes) {
        // Same own-buffer concern as Assign: copy out first if the source is ours.
        if (m_buffer && static_cast<const char*>(bytes) >= m_buffer &&
            static_cast<const char*>(bytes) < m_buffer + m_capacity) {
            String copy(bytes, count);
            *this = static_cast<String&&>(copy);
            return true;
        }
        if (!TrySetLength(count))
            return false;
        memcpy(m_buffer, bytes, static_cast<size_t>(count));
        return true;
    }
    Clear();
    return true;
}

// Checks the arguments of Splice and limits the delete count; false means "refuse".
static bool SpliceBounds(int32_t length, int32_t position, int32_t& deleteCount, int32_t count)
{
    if (position < 0 || position > length)
        return false;
    if (deleteCount > 0) {
        if (count < 0)
            return false;
        if (deleteCount > length - position)
            deleteCount = length - position;
    } else {
        if (count < 1)
            return false;
        deleteCount = 0;
    }
    return true;
}

bool String::Splice(int32_t position, int32_t deleteCount, const void* bytes, int32_t count)
{
    if (!bytes)
        count = 0;
    if (!SpliceBounds(m_length, position, deleteCount, count))
        return false;
    if (static_cast<int64_t>(m_length) - deleteCount + count > 0x7fffffff - kSpare)
        OutOfMemoryHandler(0x80000000u); // beyond what a 32-bit length can count
    // The source may lie inside our own block, which the resize below may move or
    // overwrite; copy it out first in that case.
    String ownCopy;
    const char* source = static_cast<const char*>(bytes);
    if (count > 0 && m_buffer && source >= m_buffer && source < m_buffer + m_capacity) {
        ownCopy.Assign(source, count);
        source = ownCopy.Text();
    }
    if (position + deleteCount >= m_length) {
        SetLength(position + count);
    } else if (count < deleteCount) {
        int32_t tail = m_length - position - deleteCount + 1;
        memmove(m_buffer + position + count, m_buffer + position + deleteCount, static_cast<size_t>(tail));
        SetLength(m_length + count - deleteCount);
    } else if (count > deleteCount) {
        int32_t oldLength = m_length;
        int32_t tail = oldLength - position - deleteCount + 1;
        SetLength(oldLength + count - deleteCount);
        memmove(m_buffer + position + count, m_buffer + position + deleteCount, static_cast<size_t>(tail));
    }
    if (count > 0)
        memcpy(m_buffer + position, source, static_cast<size_t>(count));
    return true;
}

bool String::InsertChars(char c, int32_t position, int32_t count)
{
    if (count < 1 || position < 0 || position > m_length)
        return false;
    int32_t oldLength = m_length;
    SetLength(oldLength + count);
    memmove(m_buffer + position + count, m_buffer + position, static_cast<size_t>(oldLength - position + 1));
    memset(m_buffer + position, c, static_cast<size_t>(count));
    return true;
}

bool String::Insert(int32_t position, const char* text)
{
    return Splice(position, 0, text, SafeLength(text));
}

int32_t String::Append(const char* text)
{
    int32_t n = SafeLength(text);
    return Splice(m_length, 0, text, n) ? n : 0;
}

int32_t String::Prepend(const char* text)
{
    int32_t n = SafeLength(text);
    return Splice(0, 0, text, n) ? n : 0;
}

bool String::PrependCharOnce(char c)
{
    if (m_length > 0 && m_buffer[0] == c)
        return false;
    return Splice(0, 0, &c, 1);
}

void String::Quote()
{
    Splice(0, 0, "\"", 1);
    Append('"');
}

bool String::operator==(const String& other) const
{
    return m_length == other.m_length && memcmp(Text(), other.Text(), static_cast<size_t>(m_length)) == 0;
}

static int CompareBytes(const char* a, const char* b, int32_t n, bool caseSensitive)
{
    for (int32_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(caseSensitive ? a[i] : ToLowerChar(a[i]));
        unsigned char y = static_cast<unsigned char>(caseSensitive ? b[i] : ToLowerChar(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

// n covers the shorter side's terminator, so "abc" sorts after its prefix "ab".
static int CompareCounted(const char* buffer, int32_t length, const char* other, int32_t otherLength,
                          bool caseSensitive, int32_t maximum)
{
    if (!buffer)
        return -1;
    int32_t n = (length < otherLength ? length : otherLength) + 1;
    if (n > maximum)
        n = maximum;
    if (n <= 0)
        return -1;
    return CompareBytes(buffer, other, n, caseSensitive);
}

int String::Compare(const char* text, bool caseSensitive, int32_t maximum) const
{
    if (!text || !*text)
        return m_length <= 0 ? 0 : 1;
    return CompareCounted(m_buffer, m_length, text, SafeLength(text), caseSensitive, maximum);
}

int String::Compare(const String& other, bool caseSensitive, int32_t maximum) const
{
    return CompareCounted(m_buffer, m_length, other.Text(), other.Length(), caseSensitive, maximum);
}

static int32_t PrefixCount(const char* text, int32_t count)
{
    int32_t length = SafeLength(text);
    return count < length ? count : length;
}

bool String::StartsWith(const char* text, int32_t count) const
{
    int32_t n = PrefixCount(text, count);
    return n > 0 && m_length >= n && memcmp(m_buffer, text, static_cast<size_t>(n)) == 0;
}

bool String::RemovePrefix(const char* text, int32_t count)
{
    int32_t n = PrefixCount(text, count);
    if (n <= 0 || m_length < n || CompareBytes(m_buffer, text, n, false) != 0)
        return false;
    RemoveFirst(n);
    return true;
}

bool String::RemoveSuffix(const char* text, int32_t count)
{
    if (!text || count < 1)
        return false;
    int32_t length = SafeLength(text);
    int32_t n = count < length ? count : length;
    if (n <= 0 || m_length < n || CompareBytes(m_buffer + m_length - n, text + length - n, n, false) != 0)
        return false;
    RemoveLast(n);
    return true;
}

bool String::RemoveFirstIf(char c)
{
    return m_length > 0 && m_buffer[0] == c && Delete(0, 1);
}

bool String::RemoveLastIf(char c)
{
    if (m_length <= 0 || m_buffer[m_length - 1] != c)
        return false;
    SetLength(m_length - 1);
    return true;
}

bool String::RemoveFirstIfIn(const char* set)
{
    return m_length > 0 && set && m_buffer[0] && strchr(set, m_buffer[0]) && Delete(0, 1);
}

int32_t String::RemoveFirst(int32_t count)
{
    if (count <= 0 || m_length <= 0)
        return 0;
    if (count > m_length)
        count = m_length;
    Delete(0, count);
    return count;
}

int32_t String::RemoveLast(int32_t count)
{
    if (count <= 0 || m_length <= 0)
        return 0;
    if (count > m_length)
        count = m_length;
    SetLength(m_length - count);
    return count;
}

int32_t String::RemoveBothEnds(int32_t count)
{
    int32_t removed = RemoveFirst(count);
    return removed + RemoveLast(count);
}

bool String::Unwrap(char c)
{
    // A single byte is both first and last; it takes two to wrap.
    if (m_length < 2 || m_buffer[0] != c || m_buffer[m_length - 1] != c)
        return false;
    RemoveFirst(1);
    RemoveLast(1);
    return true;
}

static bool InSet(const char* set, char c)
{
    return c && set && strchr(set, c);
}

int32_t String::TrimLeft(const char* set)
{
    int32_t n = 0;
    while (n < m_length && InSet(set, m_buffer[n]))
        ++n;
    return RemoveFirst(n);
}

int32_t String::TrimRight(const char* set)
{
    int32_t n = 0;
    while (n < m_length && InSet(set, m_buffer[m_length - 1 - n]))
        ++n;
    return RemoveLast(n);
}

int32_t String::Trim()
{
    int32_t removed = TrimLeft();
    return removed + TrimRight();
}

int32_t String::TrimRightChar(char c)
{
    int32_t n = 0;
    while (n < m_length && m_buffer[m_length - 1 - n] == c)
        ++n;
    return RemoveLast(n);
}

void String::TrimUnquote()
{
    Trim();
    Unwrap('"');
    Trim();
}

void String::ToUpper()
{
    for (int32_t i = 0; i < m_length; ++i)
        m_buffer[i] = ToUpperChar(m_buffer[i]);
}

int32_t String::Format(const char* format, ...)
{
    Clear();
    va_list arguments;
    va_start(arguments, format);
    int32_t n = AppendFormatList(format, arguments);
    va_end(arguments);
    return n;
}

int32_t String::AppendFormat(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    int32_t n = AppendFormatList(format, arguments);
    va_end(arguments);
    return n;
}

int32_t String::AppendFormatList(const char* format, va_list arguments)
{
    char scratch[kFormatScratchSize];
    PlatformFormatList(scratch, kFormatScratchSize, format ? format : "", arguments);
    return Append(scratch);
}

int64_t String::ToInt64(const char* text)
{
    if (!text)
        return 0;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    uint64_t value = 0;
    while (IsDigit(*text))
        value = value * 10 + static_cast<uint64_t>(*text++ - '0');
    return static_cast<int64_t>(negative ? 0 - value : value);
}

bool String::IsTrue(String value)
{
    value.Trim();
    if (value.IsEmpty() || value == String("0"))
        return false;
    static const char* const kFalseWords[] = { "n", "no", "f", "false" };
    for (const char* word : kFalseWords) {
        if (value.Length() == SafeLength(word) && value.Compare(word, false) == 0)
            return false;
    }
    return true;
}

String operator+(const String& left, char right)
{
    String result(left);
    result.Append(right);
    return result;
}

String operator+(const String& left, const char* right)
{
    String result(left);
    result.Append(right);
    return result;
}

String operator+(const String& left, const String& right)
{
    String result(left);
    result.Append(right);
    return result;
}

String operator+(const char* left, const String& right)
{
    String result(left);
    result.Append(right);
    return result;
}

int32_t SafeLength(const char* text)
{
    return text ? static_cast<int32_t>(strlen(text)) : 0;
}

char LastCharOf(const char* text)
{
    int32_t n = SafeLength(text);
    return n ? text[n - 1] : 0;
}

bool IsBlank(const char* text)
{
    if (text) {
        for (; *text; ++text) {
            if (!IsSpace(*text))
                return false;
        }
    }
    return true;
}

QUOX_CALLED bool IsBlank(const String& text)
{
    return IsBlank(text.Text());
}

bool TruncateAtChar(char* text, char c)
{
    char* found = text ? strchr(text, c) : nullptr;
    if (!found || !c)
        return false;
    *found = 0;
    return true;
}

bool ContainsAnyOf(const char* bytes, const char* set)
{
    if (!bytes || !set)
        return false;
    for (; *bytes; ++bytes) {
        if (strchr(set, *bytes))
            return true;
    }
    return false;
}
