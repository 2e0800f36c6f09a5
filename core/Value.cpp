#include "core/Value.h"
#include "core/ByteSink.h"
#include "core/ByteSource.h"
#include "core/LittleEndian.h"
#include "core/NumberWords.h"
#include <cstring>

// Truncation toward zero that is defined for every double: NaN gives 0 and values
// beyond the 64-bit range give its nearest end.
static int64_t TruncateToInt64(double value)
{
    if (value != value)
        return 0;
    if (value >= 9223372036854775808.0)
        return INT64_MAX;
    if (value <= -9223372036854775808.0)
        return INT64_MIN;
    return static_cast<int64_t>(value);
}

// The same for float: beyond float's range the result is an infinity, as a cast of such
// a double would give on the machines this runs on, but without undefined behaviour.
static float NarrowToFloat(double value)
{
    constexpr double kFloatMax = 3.4028234663852886e38;
    if (value > kFloatMax)
        return __builtin_huge_valf();
    if (value < -kFloatMax)
        return -__builtin_huge_valf();
    return static_cast<float>(value);
}

static double PowerOfTen(int32_t exponent)
{
    double value = 1.0;
    while (exponent-- > 0)
        value *= 10.0;
    return value;
}

// Optional sign, digits, optionally "." and more digits; no exponent ("1e5" reads as 1).
// The digits are gathered into one integer and scaled once, so that short decimal texts
// come out as the nearest double ("-2.25", "0.1").
static double ParseDecimal(const char* p)
{
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    uint64_t mantissa = 0;
    int32_t exponent = 0;
    // Digits beyond 18 significant ones cannot change a double much; drop them.
    constexpr uint64_t kMantissaLimit = 100000000000000000ull;
    for (; IsDigit(*p); ++p) {
        if (mantissa < kMantissaLimit)
            mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
        else if (exponent < 400)
            ++exponent;
    }
    if (*p == '.') {
        for (++p; IsDigit(*p); ++p) {
            if (mantissa < kMantissaLimit && exponent > -400) {
                mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
                --exponent;
            }
        }
    }
    double value = static_cast<double>(mantissa);
    // Powers of ten up to 1e22 are exact doubles, so one division or multiplication by
    // such a power rounds once.
    while (exponent < 0) {
        int32_t step = exponent < -22 ? 22 : -exponent;
        value /= PowerOfTen(step);
        exponent += step;
    }
    while (exponent > 0) {
        int32_t step = exponent > 22 ? 22 : exponent;
        value *= PowerOfTen(step);
        exponent -= step;
    }
    return negative ? -value : value;
}

void Value::SetEmpty()
{
    m_type = kEmpty;
    m_storage = kStoreNone;
    m_integer = 0;
    m_real = 0.0;
    m_text.Clear();
    m_dateTime.Clear();
}

void Value::SetInteger(int32_t type, int64_t value)
{
    SetEmpty();
    m_type = type;
    m_storage = kStoreInteger;
    m_integer = value;
}

void Value::SetBool(bool value)
{
    SetInteger(kBool, value ? 1 : 0);
}

void Value::SetFloat(float value)
{
    SetEmpty();
    m_type = kFloat;
    m_storage = kStoreReal;
    m_real = value;
}

void Value::SetDouble(double value)
{
    SetEmpty();
    m_type = kDouble;
    m_storage = kStoreReal;
    m_real = value;
}

void Value::SetText(const String& text)
{
    // `text` may be this value's own cached text form.
    String copy(text);
    SetEmpty();
    m_type = kText;
    m_storage = kStoreText;
    m_text = static_cast<String&&>(copy);
}

void Value::SetText(const void* bytes, int32_t count)
{
    SetText(String(bytes, count));
}

void Value::SetDate(const Date& date)
{
    SetEmpty();
    m_type = kDate;
    m_storage = kStoreDateTime;
    m_dateTime.SetDate(date);
}

void Value::SetDate(int32_t month, int32_t day, int32_t year)
{
    Date date;
    date.SetWithYearWindow(month, day, year);
    SetDate(date);
}

void Value::SetDateTime(const DateTime& dateTime)
{
    SetEmpty();
    m_type = kDateTime;
    m_storage = kStoreDateTime;
    m_dateTime = dateTime;
}

void Value::SetDateTime(int32_t month, int32_t day, int32_t year, int32_t hour, int32_t minute, int32_t second)
{
    DateTime dateTime;
    dateTime.Set(month, day, year, hour, minute, second);
    SetDateTime(dateTime);
}

void Value::SetTime(int32_t hour, int32_t minute, int32_t second)
{
    SetEmpty();
    m_type = kTime;
    m_storage = kStoreDateTime;
    m_dateTime.SetTime(hour, minute, second);
}

// ---- Conversions ----

bool Value::ToBool() const
{
    switch (m_storage) {
    case kStoreInteger:
        return m_integer != 0;
    case kStoreReal:
        return m_real != 0.0;
    case kStoreText:
        return String::IsTrue(m_text);
    case kStoreDateTime:
        if (m_type == kDate)
            return m_dateTime.IsValid();
        if (m_type == kTime)
            return !m_dateTime.IsTimeInvalid();
        return m_dateTime.IsValid() && !m_dateTime.IsTimeInvalid();
    default:
        return false;
    }
}

int8_t Value::ToInt8() const
{
    // A text gives its first byte: a one-character text is a character code here.
    if (m_storage == kStoreText)
        return static_cast<int8_t>(m_text.First());
    return static_cast<int8_t>(ToNarrowInteger());
}

int32_t Value::ToNarrowInteger() const
{
    switch (m_storage) {
    case kStoreInteger:
        return static_cast<int32_t>(m_integer);
    case kStoreReal:
        return static_cast<int32_t>(TruncateToInt64(m_real));
    case kStoreText:
        return String::ParseInt(m_text.Text());
    default:
        return 0;
    }
}

int32_t Value::ToInt32() const
{
    if (m_storage == kStoreDateTime)
        return m_dateTime.DayNumber();
    return ToNarrowInteger();
}

int64_t Value::ToInt64() const
{
    switch (m_storage) {
    case kStoreInteger:
        return m_integer;
    case kStoreReal:
        return TruncateToInt64(m_real);
    case kStoreText:
        return String::ToInt64(m_text.Text());
    case kStoreDateTime:
        return m_dateTime.DayNumber();
    default:
        return 0;
    }
}

float Value::ToFloat() const
{
    switch (m_storage) {
    case kStoreInteger:
        return static_cast<float>(m_integer);
    case kStoreReal:
        return NarrowToFloat(m_real);
    case kStoreText:
        return static_cast<float>(String::ParseInt(m_text.Text()));
    default:
        return 0.0f;
    }
}

double Value::ToDouble() const
{
    switch (m_storage) {
    case kStoreInteger:
        return static_cast<double>(m_integer);
    case kStoreReal:
        return m_real;
    case kStoreText:
        return ParseDecimal(m_text.Text());
    default:
        return 0.0;
    }
}

String Value::ToText() const
{
    switch (m_storage) {
    case kStoreInteger:
        return String(m_integer);
    case kStoreReal:
        return NumberText(m_real, -1);
    case kStoreText:
        return m_text;
    case kStoreDateTime: {
        bool dateValid = m_type != kTime && m_dateTime.IsValid();
        bool timeValid = m_type != kDate && !m_dateTime.IsTimeInvalid();
        if (dateValid && timeValid)
            return m_dateTime.FormatFigures("m/d/yy HH:ii:ss");
        if (dateValid)
            return m_dateTime.FormatFigures("m/d/yy");
        if (timeValid)
            return m_dateTime.FormatFigures("HH:ii:ss");
        return String();
    }
    default:
        return String();
    }
}

Date Value::ToDate() const
{
    Date date;
    switch (m_storage) {
    case kStoreInteger:
        // Only the 32- and 64-bit codes carry day numbers.
        if (m_type == kInt32 || m_type == kUInt32 || m_type == kInt64)
            date.SetDayNumber(static_cast<int32_t>(m_integer));
        break;
    case kStoreText:
        date.Parse(m_text.Text(), false);
        break;
    case kStoreDateTime:
        date = m_dateTime;
        break;
    default:
        break;
    }
    return date;
}

DateTime Value::ToDateTime() const
{
    DateTime dateTime;
    if (m_storage == kStoreText)
        dateTime.Parse(m_text.Text());
    else if (m_storage == kStoreDateTime)
        dateTime = m_dateTime;
    return dateTime;
}

DateTime Value::ToTime() const
{
    DateTime time;
    if (m_storage == kStoreText || m_storage == kStoreDateTime) {
        DateTime full = ToDateTime();
        time.SetTime(full.Hour(), full.Minute(), full.Second());
    }
    return time;
}

bool Value::ConvertTo(int32_t type)
{
    if (type == m_type)
        return true;
    switch (type) {
    case kEmpty:
        SetEmpty();
        return true;
    case kBool:
        SetBool(ToBool());
        return true;
    case kInt8:
        SetInt8(ToInt8());
        return true;
    case kUInt8:
        SetUInt8(ToUInt8());
        return true;
    case kInt16:
        SetInt16(ToInt16());
        return true;
    case kUInt16:
        SetUInt16(ToUInt16());
        return true;
    case kInt32:
        SetInt32(ToInt32());
        return true;
    case kUInt32:
        SetUInt32(ToUInt32());
        return true;
    case kInt64:
        SetInt64(ToInt64());
        return true;
    case kFloat:
        SetFloat(ToFloat());
        return true;
    case kDouble:
        SetDouble(ToDouble());
        return true;
    case kText:
        SetText(ToText());
        return true;
    case kDate:
        SetDate(ToDate());
        return true;
    case kDateTime:
        SetDateTime(ToDateTime());
        return true;
    case kTime: {
        DateTime time = ToTime();
        SetTime(time.Hour(), time.Minute(), time.Second());
        return true;
    }
    case kDword:
        SetDword(ToUInt32());
        return true;
    default:
        return false; // kUInt64 and codes that do not exist
    }
}

const String& Value::Text()
{
    if (m_storage != kStoreText)
        m_text = ToText();
    return m_text;
}

bool Value::IsEmptyOrZero() const
{
    switch (m_storage) {
    case kStoreInteger:
        return m_integer == 0;
    case kStoreReal:
        return m_real == 0.0;
    case kStoreText:
        return m_text.IsEmpty();
    case kStoreDateTime:
        return !ToBool();
    default:
        return true;
    }
}

// ---- Tagged binary form ----

namespace {

enum Tag : uint8_t {
    kTagEmpty = 0,
    kTagText8 = 1,
    kTagText16 = 2,
    kTagText32 = 3,
    kTagFalse = 5,
    kTagTrue = 6,
    kTagInt8 = 7,
    kTagUInt8 = 8,
    kTagInt16 = 9,
    kTagUInt16 = 10,
    kTagInt32 = 11,
    kTagUInt32 = 12,
    kTagInt64 = 13,
    kTagUInt64 = 14,
    kTagFloat = 15,
    kTagDouble = 16,
    kTagDate = 17,
    kTagTime = 18,
    kTagDateTime = 19,
    kTagDword = 20,
};

// Little-endian integers in a small byte array; a tagged value is at most 9 bytes
// before its text.
struct Packet {
    uint8_t bytes[16];
    int32_t length = 0;

    void Put(uint64_t value, int32_t size)
    {
        StoreLittleEndian(bytes + length, value, size);
        length += size;
    }
};


}

bool Value::Write(ByteSink& sink) const
{
    Packet packet;
    switch (m_type) {
    case kBool:
        packet.Put(ToBool() ? kTagTrue : kTagFalse, 1);
        break;
    case kInt8:
    case kUInt8:
        packet.Put(m_type == kInt8 ? kTagInt8 : kTagUInt8, 1);
        packet.Put(static_cast<uint64_t>(m_integer), 1);
        break;
    case kInt16:
    case kUInt16:
        packet.Put(m_type == kInt16 ? kTagInt16 : kTagUInt16, 1);
        packet.Put(static_cast<uint64_t>(m_integer), 2);
        break;
    case kInt32:
    case kUInt32:
    case kDword:
        packet.Put(m_type == kInt32 ? kTagInt32 : (m_type == kUInt32 ? kTagUInt32 : kTagDword), 1);
        packet.Put(static_cast<uint64_t>(m_integer), 4);
        break;
    case kInt64:
    case kUInt64:
        packet.Put(m_type == kInt64 ? kTagInt64 : kTagUInt64, 1);
        packet.Put(static_cast<uint64_t>(m_integer), 8);
        break;
    case kFloat: {
        float real = ToFloat();
        uint32_t bits;
        memcpy(&bits, &real, sizeof(bits));
        packet.Put(kTagFloat, 1);
        packet.Put(bits, 4);
        break;
    }
    case kDouble: {
        uint64_t bits;
        memcpy(&bits, &m_real, sizeof(bits));
        packet.Put(kTagDouble, 1);
        packet.Put(bits, 8);
        break;
    }
    case kText: {
        int32_t length = m_text.Length();
        int32_t lengthSize = length < 256 ? 1 : (length < 65536 ? 2 : 4);
        packet.Put(lengthSize == 1 ? kTagText8 : (lengthSize == 2 ? kTagText16 : kTagText32), 1);
        packet.Put(static_cast<uint32_t>(length), lengthSize);
        return sink.Write(packet.bytes, packet.length) && (length == 0 || sink.Write(m_text.Text(), length));
    }
    case kDate:
    case kDateTime:
        packet.Put(m_type == kDate ? kTagDate : kTagDateTime, 1);
        packet.Put(static_cast<uint16_t>(m_dateTime.Year()), 2);
        packet.Put(static_cast<uint8_t>(m_dateTime.Month()), 1);
        packet.Put(static_cast<uint8_t>(m_dateTime.Day()), 1);
        if (m_type == kDateTime) {
            packet.Put(static_cast<uint8_t>(m_dateTime.Hour()), 1);
            packet.Put(static_cast<uint8_t>(m_dateTime.Minute()), 1);
            packet.Put(static_cast<uint8_t>(m_dateTime.Second()), 1);
        }
        break;
    case kTime:
        packet.Put(kTagTime, 1);
        packet.Put(static_cast<uint8_t>(m_dateTime.Hour()), 1);
        packet.Put(static_cast<uint8_t>(m_dateTime.Minute()), 1);
        packet.Put(static_cast<uint8_t>(m_dateTime.Second()), 1);
        break;
    default:
        packet.Put(kTagEmpty, 1);
        break;
    }
    return sink.Write(packet.bytes, packet.length);
}

bool Value::Read(ByteSource& source)
{
    // Payload sizes by tag; -1 marks the tags that are not valid.
    static const int8_t kPayloadSizes[] = {
        0, 1, 2, 4, -1, 0, 0, 1, 1, 2, 2, 4, 4, 8, 8, 4, 8, 4, 3, 7, 4,
    };
    uint8_t tag;
    if (!source.Read(&tag, 1) || tag >= sizeof(kPayloadSizes) || kPayloadSizes[tag] < 0)
        return false;
    uint8_t payload[8];
    int32_t size = kPayloadSizes[tag];
    if (size > 0 && !source.Read(payload, size))
        return false;
    uint64_t number = LoadLittleEndian(payload, size);
    // Fields of dates and times are signed bytes, so that a cleared time (-1) survives.
    auto field = [&](int32_t index) { return static_cast<int32_t>(static_cast<int8_t>(payload[index])); };

    Value value;
    switch (tag) {
    case kTagEmpty:
        break;
    case kTagText8:
    case kTagText16:
    case kTagText32: {
        int32_t length = static_cast<int32_t>(number);
        if (length < 0)
            return false;
        // Read in pieces so that a length that the source cannot back fails at its end
        // instead of reserving the whole claimed size first.
        String text;
        constexpr int32_t kPiece = 65536;
        while (text.Length() < length) {
            int32_t piece = length - text.Length() < kPiece ? length - text.Length() : kPiece;
            char* at = text.TryExtend(piece);
            if (!at || !source.Read(at, piece))
                return false;
        }
        value.SetText(text);
        break;
    }
    case kTagFalse:
    case kTagTrue:
        value.SetBool(tag == kTagTrue);
        break;
    case kTagInt8:
        value.SetInt8(static_cast<int8_t>(number));
        break;
    case kTagUInt8:
        value.SetUInt8(static_cast<uint8_t>(number));
        break;
    case kTagInt16:
        value.SetInt16(static_cast<int16_t>(number));
        break;
    case kTagUInt16:
        value.SetUInt16(static_cast<uint16_t>(number));
        break;
    case kTagInt32:
        value.SetInt32(static_cast<int32_t>(number));
        break;
    case kTagUInt32:
        value.SetUInt32(static_cast<uint32_t>(number));
        break;
    case kTagInt64:
        value.SetInt64(static_cast<int64_t>(number));
        break;
    case kTagUInt64:
        value.SetUInt64(number);
        break;
    case kTagFloat: {
        uint32_t bits = static_cast<uint32_t>(number);
        float real;
        memcpy(&real, &bits, sizeof(real));
        value.SetFloat(real);
        break;
    }
    case kTagDouble: {
        double real;
        memcpy(&real, &number, sizeof(real));
        value.SetDouble(real);
        break;
    }
    case kTagDate:
        value.SetDate(field(2), field(3), static_cast<int16_t>(number));
        break;
    case kTagTime:
        value.SetTime(field(0), field(1), field(2));
        break;
    case kTagDateTime: {
        DateTime dateTime;
        dateTime.SetWithYearWindow(field(2), field(3), static_cast<int16_t>(number & 0xFFFF));
        dateTime.SetTime(field(4), field(5), field(6));
        value.SetDateTime(dateTime);
        break;
    }
    case kTagDword:
        value.SetDword(static_cast<uint32_t>(number));
        break;
    }
    *this = static_cast<Value&&>(value);
    return true;
}
