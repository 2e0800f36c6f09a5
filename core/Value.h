#pragma once
#include "core/DateTime.h"
#include "core/String.h"
#include <cstdint>

class ByteSource;
class ByteSink;

// One typed value - nothing, a truth value, an integer of a given width and signedness,
// a floating-point number, a text, a date, a time or both - that converts to any other
// of these types. Registry values are read into and written from it, and the installer
// converts between numbers and texts through it.
//
// The type code says what the value is; the storage says which member holds it. Every
// setter sets both, so they always agree: integers of every width and truth values live
// sign- or zero-extended in the 64-bit integer, both floating-point types in the double,
// texts in the text, and dates and times in the DateTime (a date has its time cleared, a
// time its date). The text member also caches the text form of the other storages.
//
// Tagged binary form, as written by Write and read by Read (one tag byte, then the
// payload; numbers little-endian):
//   tag 0        nothing                         type 0
//   tag 1/2/3    length in 1/2/4 bytes, bytes    type 12 (by length: < 256, < 65,536, more)
//   tag 5/6      nothing                         type 1, false/true
//   tag 7 ... 14 1, 1, 2, 2, 4, 4, 8, 8 bytes    types 2 ... 9
//   tag 15/16    float / double bits             types 10, 11
//   tag 17       year (2), month, day            type 13
//   tag 18       hour, minute, second            type 15
//   tag 19       year (2), month, day, hour, minute, second   type 14
//   tag 20       4 bytes                         type 16
// Tag 4 and tags above 20 are not valid.
class Value {
public:
    // Type codes; these numbers are what the tagged form and the registry code rely on.
    static constexpr int32_t kEmpty = 0;
    static constexpr int32_t kBool = 1;
    static constexpr int32_t kInt8 = 2;
    static constexpr int32_t kUInt8 = 3;
    static constexpr int32_t kInt16 = 4;
    static constexpr int32_t kUInt16 = 5;
    static constexpr int32_t kInt32 = 6;
    static constexpr int32_t kUInt32 = 7;
    static constexpr int32_t kInt64 = 8;
    static constexpr int32_t kUInt64 = 9;
    static constexpr int32_t kFloat = 10;
    static constexpr int32_t kDouble = 11;
    static constexpr int32_t kText = 12;
    static constexpr int32_t kDate = 13;
    static constexpr int32_t kDateTime = 14;
    static constexpr int32_t kTime = 15;
    static constexpr int32_t kDword = 16; // unsigned 32-bit with a tag of its own

    // Storage codes.
    static constexpr int32_t kStoreNone = 0;
    static constexpr int32_t kStoreInteger = 1;
    static constexpr int32_t kStoreReal = 2;
    static constexpr int32_t kStoreText = 3;
    static constexpr int32_t kStoreDateTime = 4;

    Value() = default;

    int32_t Type() const { return m_type; }
    int32_t Storage() const { return m_storage; }

    void SetEmpty();
    void SetBool(bool value);
    void SetInt8(int8_t value) { SetInteger(kInt8, value); }
    void SetUInt8(uint8_t value) { SetInteger(kUInt8, value); }
    void SetInt16(int16_t value) { SetInteger(kInt16, value); }
    void SetUInt16(uint16_t value) { SetInteger(kUInt16, value); }
    void SetInt32(int32_t value) { SetInteger(kInt32, value); }
    void SetUInt32(uint32_t value) { SetInteger(kUInt32, value); }
    void SetInt64(int64_t value) { SetInteger(kInt64, value); }
    void SetUInt64(uint64_t value) { SetInteger(kUInt64, static_cast<int64_t>(value)); }
    void SetDword(uint32_t value) { SetInteger(kDword, value); }
    void SetFloat(float value);
    void SetDouble(double value);
    void SetText(const String& text);
    void SetText(const void* bytes, int32_t count);
    void SetDate(const Date& date);
    // Through the two-digit year window: SetDate(12, 7, 26) is 7 December 2026 in 2026.
    void SetDate(int32_t month, int32_t day, int32_t year);
    void SetDateTime(const DateTime& dateTime);
    void SetDateTime(int32_t month, int32_t day, int32_t year, int32_t hour, int32_t minute, int32_t second);
    void SetTime(int32_t hour, int32_t minute, int32_t second);

    // Conversions; the stored value is unchanged. The integer results keep the low bits
    // of an integer and truncate a floating-point value toward zero; a text is read as a
    // number and a date as its day number (see Value.cpp for the exact rules).
    bool ToBool() const;
    int8_t ToInt8() const;
    uint8_t ToUInt8() const { return static_cast<uint8_t>(ToNarrowInteger()); }
    int16_t ToInt16() const { return static_cast<int16_t>(ToNarrowInteger()); }
    uint16_t ToUInt16() const { return static_cast<uint16_t>(ToNarrowInteger()); }
    int32_t ToInt32() const;
    uint32_t ToUInt32() const { return static_cast<uint32_t>(ToInt32()); }
    int64_t ToInt64() const;
    uint64_t ToUInt64() const { return static_cast<uint64_t>(ToInt64()); }
    float ToFloat() const;
    double ToDouble() const;
    String ToText() const;
    Date ToDate() const;
    DateTime ToDateTime() const;
    // The time of day alone; its date part is cleared.
    DateTime ToTime() const;

    // Converts the value and stores it under the new type code. Answers true when the
    // value now has that type: false for a code outside 0 ... 16, and for 9 (unsigned
    // 64-bit), which this conversion has never produced and leaves the value as it is.
    bool ConvertTo(int32_t type);

    // The text form, kept in the text member (converted there when the storage is not text).
    const String& Text();

    // Integer 0, real 0.0, an empty text, a date or time whose needed part is invalid,
    // or the empty type.
    bool IsEmptyOrZero() const;

    // The tagged binary form (see above). Write answers false when the sink refuses a
    // byte. Read answers false for an invalid tag or a short read and then leaves the
    // value as it was.
    bool Write(ByteSink& sink) const;
    bool Read(ByteSource& source);

private:
    void SetInteger(int32_t type, int64_t value);
    // The 8- and 16-bit rule: low bits of an integer, a text through ParseInt.
    int32_t ToNarrowInteger() const;

    int32_t m_type = kEmpty;
    int32_t m_storage = kStoreNone;
    int64_t m_integer = 0;
    double m_real = 0.0;
    String m_text;
    DateTime m_dateTime;
};
