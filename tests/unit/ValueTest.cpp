#include "FixedClock.h"
#include "core/MemoryReader.h"
#include "core/MemoryWriter.h"
#include "core/Value.h"
#include <cmath>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

Value MakeText(const char* text)
{
    Value value;
    value.SetText(String(text));
    return value;
}

Value MakeDouble(double real)
{
    Value value;
    value.SetDouble(real);
    return value;
}

std::string Bytes(const String& s)
{
    return std::string(s.Text(), static_cast<size_t>(s.Length()));
}

std::string Encode(const Value& value)
{
    MemoryWriter writer;
    EXPECT_TRUE(value.Write(writer));
    writer.Finish();
    return Bytes(writer.Contents());
}

TEST(Value, StartsEmpty)
{
    Value value;
    EXPECT_EQ(value.Type(), Value::kEmpty);
    EXPECT_EQ(value.Storage(), Value::kStoreNone);
    EXPECT_TRUE(value.IsEmptyOrZero());
    EXPECT_FALSE(value.ToBool());
    EXPECT_EQ(value.ToInt64(), 0);
    EXPECT_STREQ(value.Text().Text(), "");
}

struct SetterCase {
    const char* name;
    std::function<void(Value&)> set;
    int32_t type;
    int32_t storage;
    int64_t asInt64;
    const char* text;
};

const SetterCase kSetters[] = {
    { "BoolTrue", [](Value& v) { v.SetBool(true); }, Value::kBool, Value::kStoreInteger, 1, "1" },
    { "Int8SignExtends", [](Value& v) { v.SetInt8(-2); }, Value::kInt8, Value::kStoreInteger, -2, "-2" },
    { "UInt8ZeroExtends", [](Value& v) { v.SetUInt8(0xFE); }, Value::kUInt8, Value::kStoreInteger, 254, "254" },
    { "Int16SignExtends", [](Value& v) { v.SetInt16(-300); }, Value::kInt16, Value::kStoreInteger, -300, "-300" },
    { "UInt16ZeroExtends", [](Value& v) { v.SetUInt16(0xFFFF); }, Value::kUInt16, Value::kStoreInteger, 65535,
      "65535" },
    { "Int32SignExtends", [](Value& v) { v.SetInt32(-5); }, Value::kInt32, Value::kStoreInteger, -5, "-5" },
    { "UInt32ZeroExtends", [](Value& v) { v.SetUInt32(0xFFFFFFFFu); }, Value::kUInt32, Value::kStoreInteger,
      4294967295LL, "4294967295" },
    { "Int64", [](Value& v) { v.SetInt64(-9000000000LL); }, Value::kInt64, Value::kStoreInteger, -9000000000LL,
      "-9000000000" },
    { "UInt64ShowsAsSigned", [](Value& v) { v.SetUInt64(~0ull); }, Value::kUInt64, Value::kStoreInteger, -1,
      "-1" },
    { "Dword", [](Value& v) { v.SetDword(0x80000000u); }, Value::kDword, Value::kStoreInteger, 2147483648LL,
      "2147483648" },
    { "FloatWidens", [](Value& v) { v.SetFloat(1.5f); }, Value::kFloat, Value::kStoreReal, 1, "1.5" },
    { "Double", [](Value& v) { v.SetDouble(-2.75); }, Value::kDouble, Value::kStoreReal, -2, "-2.75" },
    { "TextFromBytes", [](Value& v) { v.SetText("12xyz", 3); }, Value::kText, Value::kStoreText, 12, "12x" },
    { "DateClearsTime", [](Value& v) { v.SetDate(12, 7, 26); }, Value::kDate, Value::kStoreDateTime, 2461381,
      "12/7/2026" },
    { "DateTime", [](Value& v) { v.SetDateTime(12, 7, 2026, 15, 5, 9); }, Value::kDateTime,
      Value::kStoreDateTime, 2461381, "12/7/2026 15:05:09" },
    { "TimeClearsDate", [](Value& v) { v.SetTime(9, 5, 3); }, Value::kTime, Value::kStoreDateTime, 0,
      "09:05:03" },
    { "EmptyAfterValue", [](Value& v) { v.SetInt32(7); v.SetEmpty(); }, Value::kEmpty, Value::kStoreNone, 0, "" },
};

class ValueSetter : public testing::TestWithParam<SetterCase> {};

TEST_P(ValueSetter, SetsTypeStorageAndValue)
{
    ScopedFixedClock clock;
    const SetterCase& c = GetParam();
    Value value;
    c.set(value);
    EXPECT_EQ(value.Type(), c.type);
    EXPECT_EQ(value.Storage(), c.storage);
    EXPECT_EQ(value.ToInt64(), c.asInt64);
    EXPECT_STREQ(value.ToText().Text(), c.text);
    EXPECT_STREQ(value.Text().Text(), c.text);
    EXPECT_EQ(value.Type(), c.type); // the text form is only a cache
}

INSTANTIATE_TEST_SUITE_P(Table, ValueSetter, testing::ValuesIn(kSetters),
                         [](const testing::TestParamInfo<SetterCase>& info) { return info.param.name; });

TEST(Value, TextWithLettersConvertsByItsLeadingDigits)
{
    Value value = MakeText("42abc");
    EXPECT_EQ(value.ToInt32(), 42);
    EXPECT_EQ(value.ToUInt32(), 42u);
    EXPECT_EQ(value.ToInt16(), 42);
    EXPECT_EQ(value.ToUInt8(), 42);
    EXPECT_EQ(value.ToInt64(), 42);
    EXPECT_TRUE(value.ToBool());
    EXPECT_EQ(value.ToInt8(), 52); // the code of "4"
    EXPECT_EQ(value.ToFloat(), 42.0f);
    EXPECT_EQ(value.ToDouble(), 42.0);
}

TEST(Value, TextToNumbersEdges)
{
    EXPECT_EQ(MakeText("").ToInt8(), 0);
    EXPECT_EQ(MakeText("-7").ToInt32(), -7);
    EXPECT_EQ(MakeText("  5").ToInt32(), 0); // no options: space is no number
    EXPECT_EQ(MakeText("70000").ToUInt16(), 70000 & 0xFFFF);
    EXPECT_EQ(MakeText("12345678901").ToInt64(), 12345678901LL);
    EXPECT_EQ(MakeText("2.9").ToFloat(), 2.0f); // whole numbers only
    EXPECT_FALSE(MakeText(" No ").ToBool());
    EXPECT_FALSE(MakeText("0").ToBool());
    EXPECT_TRUE(MakeText("nonsense").ToBool());
}

struct DecimalCase {
    const char* name;
    const char* text;
    double expected;
};

const DecimalCase kDecimals[] = {
    { "Negative", "-2.25", -2.25 },
    { "NoExponent", "1e5", 1.0 },
    { "Tenth", "0.1", 0.1 },
    { "LeadingPoint", ".5", 0.5 },
    { "PlusSign", "+3.", 3.0 },
    { "ManyDigits", "3.14159265358979323846", 3.14159265358979323846 },
    { "LongInteger", "123456789012345678901234", 123456789012345678901234.0 },
    { "NotANumber", "abc", 0.0 },
    { "StopsAtSecondPoint", "1.2.3", 1.2 },
    { "TinyFraction", "0.000000000000000000000000000012", 1.2e-29 },
};

class ValueDecimal : public testing::TestWithParam<DecimalCase> {};

TEST_P(ValueDecimal, ParsesSignDigitsAndPoint)
{
    EXPECT_DOUBLE_EQ(MakeText(GetParam().text).ToDouble(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, ValueDecimal, testing::ValuesIn(kDecimals),
                         [](const testing::TestParamInfo<DecimalCase>& info) { return info.param.name; });

TEST(Value, ShortDecimalTextsGiveTheNearestDouble)
{
    const char* texts[] = { "0.1", "0.2", "0.3", "1.1", "2.675", "123.456", "-0.7", "99.99" };
    for (const char* text : texts)
        EXPECT_EQ(MakeText(text).ToDouble(), strtod(text, nullptr)) << text;
}

TEST(Value, RealsTruncateTowardZero)
{
    EXPECT_EQ(MakeDouble(2.75).ToInt32(), 2);
    EXPECT_EQ(MakeDouble(-2.75).ToInt32(), -2);
    EXPECT_EQ(MakeDouble(-2.75).ToInt8(), -2);
    EXPECT_EQ(MakeDouble(300.5).ToUInt8(), 300 & 0xFF);
    EXPECT_EQ(MakeDouble(1e30).ToInt64(), INT64_MAX);
    EXPECT_EQ(MakeDouble(-1e30).ToInt64(), INT64_MIN);
    EXPECT_EQ(MakeDouble(NAN).ToInt64(), 0);
    EXPECT_TRUE(std::isinf(MakeDouble(1e300).ToFloat()));
    EXPECT_STREQ(MakeDouble(2.75).ToText().Text(), "2.75");
    EXPECT_STREQ(MakeDouble(-2.75).ToText().Text(), "-2.75");
    EXPECT_STREQ(MakeDouble(3.0).ToText().Text(), "3");
    EXPECT_STREQ(MakeDouble(0.1234567).ToText().Text(), "0.123457");
    EXPECT_TRUE(MakeDouble(0.5).ToBool());
    EXPECT_FALSE(MakeDouble(0.0).ToBool());
}

TEST(Value, IntegersKeepTheirLowBits)
{
    Value value;
    value.SetInt64(0x123456789ALL);
    EXPECT_EQ(value.ToInt32(), 0x3456789A);
    EXPECT_EQ(value.ToUInt16(), 0x789A);
    EXPECT_EQ(value.ToInt8(), static_cast<int8_t>(0x9A));
    EXPECT_EQ(value.ToDouble(), static_cast<double>(0x123456789ALL));
    value.SetInt32(-1);
    EXPECT_EQ(value.ToUInt32(), 0xFFFFFFFFu);
    EXPECT_EQ(value.ToUInt64(), ~0ull);
}

TEST(Value, DatesConvertToDayNumbersAndBack)
{
    ScopedFixedClock clock;
    Value value;
    value.SetDate(12, 7, 2026);
    EXPECT_EQ(value.ToInt32(), 2461381);
    EXPECT_EQ(value.ToInt64(), 2461381);
    EXPECT_EQ(value.ToInt16(), 0);
    EXPECT_EQ(value.ToInt8(), 0);
    EXPECT_EQ(value.ToDouble(), 0.0);
    EXPECT_EQ(value.ToFloat(), 0.0f);

    // Only the 32- and 64-bit codes carry day numbers.
    const int32_t dayNumberTypes[] = { Value::kInt32, Value::kUInt32, Value::kInt64 };
    for (int32_t type : dayNumberTypes) {
        Value number;
        number.SetInt32(2461381);
        ASSERT_TRUE(number.ConvertTo(type));
        Date date = number.ToDate();
        EXPECT_EQ(date.Month(), 12) << type;
        EXPECT_EQ(date.Day(), 7) << type;
        EXPECT_EQ(date.Year(), 2026) << type;
    }
    const int32_t otherTypes[] = { Value::kInt16, Value::kDword, Value::kBool };
    for (int32_t type : otherTypes) {
        Value number;
        number.SetInt64(2461381);
        ASSERT_TRUE(number.ConvertTo(type));
        EXPECT_TRUE(number.ToDate().IsInvalid()) << type;
    }
    Value unsigned64;
    unsigned64.SetUInt64(2461381);
    EXPECT_TRUE(unsigned64.ToDate().IsInvalid());
    EXPECT_TRUE(MakeDouble(2461381).ToDate().IsInvalid());
    EXPECT_TRUE(MakeDouble(2461381).ToDateTime().IsInvalid());
    EXPECT_TRUE(MakeDouble(1).ToTime().IsTimeInvalid());
}

struct DatePartsCase {
    const char* name;
    int32_t type;
    bool dateValid;
    bool timeValid;
    const char* text;
    bool truth;
};

// A date-and-time value shows the parts its type needs and that are valid.
const DatePartsCase kDateParts[] = {
    { "DateValid", Value::kDate, true, false, "12/7/2026", true },
    { "DateInvalid", Value::kDate, false, false, "", false },
    { "DateTimeBoth", Value::kDateTime, true, true, "12/7/2026 15:05:09", true },
    { "DateTimeClearedTime", Value::kDateTime, true, false, "12/7/2026", false },
    { "DateTimeInvalidDate", Value::kDateTime, false, true, "15:05:09", false },
    { "DateTimeNeither", Value::kDateTime, false, false, "", false },
    { "TimeValid", Value::kTime, false, true, "15:05:09", true },
    { "TimeInvalid", Value::kTime, false, false, "", false },
};

class ValueDateParts : public testing::TestWithParam<DatePartsCase> {};

TEST_P(ValueDateParts, TextTruthAndEmptiness)
{
    const DatePartsCase& c = GetParam();
    Value value;
    if (c.type == Value::kDate) {
        value.SetDate(c.dateValid ? 12 : 2, c.dateValid ? 7 : 30, 2026);
    } else if (c.type == Value::kTime) {
        value.SetTime(c.timeValid ? 15 : 24, 5, 9);
    } else {
        DateTime dateTime;
        dateTime.Set(c.dateValid ? 12 : 0, 7, 2026, c.timeValid ? 15 : -1, c.timeValid ? 5 : -1, 9);
        value.SetDateTime(dateTime);
    }
    ASSERT_EQ(value.Type(), c.type);
    EXPECT_STREQ(value.ToText().Text(), c.text);
    EXPECT_EQ(value.ToBool(), c.truth);
    EXPECT_EQ(value.IsEmptyOrZero(), !c.truth);
}

INSTANTIATE_TEST_SUITE_P(Table, ValueDateParts, testing::ValuesIn(kDateParts),
                         [](const testing::TestParamInfo<DatePartsCase>& info) { return info.param.name; });

TEST(Value, EmptyOrZero)
{
    Value value;
    EXPECT_TRUE(value.IsEmptyOrZero());
    value.SetInt32(0);
    EXPECT_TRUE(value.IsEmptyOrZero());
    value.SetInt32(-1);
    EXPECT_FALSE(value.IsEmptyOrZero());
    value.SetDouble(0.0);
    EXPECT_TRUE(value.IsEmptyOrZero());
    value.SetDouble(1e-300);
    EXPECT_FALSE(value.IsEmptyOrZero());
    value.SetText(String(""));
    EXPECT_TRUE(value.IsEmptyOrZero());
    value.SetText(String("0"));
    EXPECT_FALSE(value.IsEmptyOrZero()); // a text is empty only when it has no bytes
}

TEST(Value, TextConvertsToDatesThroughTheYearWindow)
{
    ScopedFixedClock clock;
    Value value = MakeText("12/7/26");
    ASSERT_TRUE(value.ConvertTo(Value::kDate));
    EXPECT_EQ(value.Type(), Value::kDate);
    EXPECT_EQ(value.Storage(), Value::kStoreDateTime);
    Date date = value.ToDate();
    EXPECT_EQ(date.Month(), 12);
    EXPECT_EQ(date.Day(), 7);
    EXPECT_EQ(date.Year(), 2026);
    EXPECT_TRUE(value.ToTime().IsTimeInvalid());
    EXPECT_STREQ(value.Text().Text(), "12/7/2026");

    Value full = MakeText("12/7/2026 10:00 -0500");
    ASSERT_TRUE(full.ConvertTo(Value::kDateTime));
    EXPECT_STREQ(full.Text().Text(), "12/7/2026 16:00:00");

    Value time = MakeText("3:05pm");
    ASSERT_TRUE(time.ConvertTo(Value::kTime));
    EXPECT_STREQ(time.Text().Text(), "15:05:00");
    EXPECT_TRUE(time.ToDate().IsInvalid());

    EXPECT_TRUE(MakeText("nonsense").ToDate().IsInvalid());
}

TEST(Value, ConvertToStoresUnderTheNewCode)
{
    ScopedFixedClock clock;
    Value value = MakeText("300");
    ASSERT_TRUE(value.ConvertTo(Value::kUInt8));
    EXPECT_EQ(value.Type(), Value::kUInt8);
    EXPECT_EQ(value.Storage(), Value::kStoreInteger);
    EXPECT_EQ(value.ToInt64(), 44); // 300 & 0xFF
    ASSERT_TRUE(value.ConvertTo(Value::kText));
    EXPECT_EQ(value.Storage(), Value::kStoreText);
    EXPECT_STREQ(value.Text().Text(), "44");
    ASSERT_TRUE(value.ConvertTo(Value::kDouble));
    EXPECT_EQ(value.ToDouble(), 44.0);
    ASSERT_TRUE(value.ConvertTo(Value::kBool));
    EXPECT_EQ(value.ToInt64(), 1);
    ASSERT_TRUE(value.ConvertTo(Value::kDword));
    EXPECT_EQ(value.Type(), Value::kDword);
    EXPECT_EQ(value.ToInt64(), 1);
    ASSERT_TRUE(value.ConvertTo(Value::kEmpty));
    EXPECT_EQ(value.Storage(), Value::kStoreNone);

    Value dateTime;
    dateTime.SetDateTime(12, 7, 2026, 15, 5, 9);
    ASSERT_TRUE(dateTime.ConvertTo(Value::kTime));
    EXPECT_STREQ(dateTime.Text().Text(), "15:05:09");
    EXPECT_TRUE(dateTime.ToDate().IsInvalid());
    ASSERT_TRUE(dateTime.ConvertTo(Value::kInt32));
    EXPECT_EQ(dateTime.ToInt64(), 0);
}

TEST(Value, ConvertToTheSameTypeKeepsTheValue)
{
    Value value = MakeText("  padded ");
    ASSERT_TRUE(value.ConvertTo(Value::kText));
    EXPECT_STREQ(value.Text().Text(), "  padded ");
}

TEST(Value, ConvertToUnsigned64OrAnUnknownCodeChangesNothing)
{
    const int32_t codes[] = { Value::kUInt64, -1, 17, 255 };
    for (int32_t code : codes) {
        Value value = MakeText("42");
        EXPECT_FALSE(value.ConvertTo(code)) << code;
        EXPECT_EQ(value.Type(), Value::kText) << code;
        EXPECT_STREQ(value.Text().Text(), "42") << code;
    }
}

TEST(Value, SetTextFromItsOwnCachedText)
{
    Value value;
    value.SetInt32(1234);
    value.SetText(value.Text());
    EXPECT_EQ(value.Type(), Value::kText);
    EXPECT_STREQ(value.Text().Text(), "1234");
}

// ---- Tagged binary form ----

struct TaggedCase {
    const char* name;
    std::function<void(Value&)> set;
    std::string bytes;
};

const TaggedCase kTagged[] = {
    { "Empty", [](Value& v) { v.SetEmpty(); }, std::string("\x00", 1) },
    { "False", [](Value& v) { v.SetBool(false); }, "\x05" },
    { "True", [](Value& v) { v.SetBool(true); }, "\x06" },
    { "Int8", [](Value& v) { v.SetInt8(-2); }, "\x07\xFE" },
    { "UInt8", [](Value& v) { v.SetUInt8(200); }, "\x08\xC8" },
    { "Int16", [](Value& v) { v.SetInt16(-2); }, "\x09\xFE\xFF" },
    { "UInt16", [](Value& v) { v.SetUInt16(0x1234); }, "\x0A\x34\x12" },
    { "Int32", [](Value& v) { v.SetInt32(-2); }, "\x0B\xFE\xFF\xFF\xFF" },
    { "UInt32", [](Value& v) { v.SetUInt32(0x12345678); }, "\x0C\x78\x56\x34\x12" },
    { "Int64", [](Value& v) { v.SetInt64(-2); }, "\x0D\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF" },
    { "UInt64", [](Value& v) { v.SetUInt64(0x0102030405060708ull); }, "\x0E\x08\x07\x06\x05\x04\x03\x02\x01" },
    { "Float", [](Value& v) { v.SetFloat(1.5f); }, std::string("\x0F\x00\x00\xC0\x3F", 5) },
    { "Double", [](Value& v) { v.SetDouble(-2.5); }, std::string("\x10\x00\x00\x00\x00\x00\x00\x04\xC0", 9) },
    { "EmptyText", [](Value& v) { v.SetText(String("")); }, std::string("\x01\x00", 2) },
    { "ShortText", [](Value& v) { v.SetText(String("abc")); }, std::string("\x01\x03" "abc", 5) },
    { "TextWithZeroByte", [](Value& v) { v.SetText("a\0b", 3); }, std::string("\x01\x03" "a\0b", 5) },
    { "Date", [](Value& v) { v.SetDate(12, 7, 2026); }, "\x11\xEA\x07\x0C\x07" },
    { "Time", [](Value& v) { v.SetTime(15, 5, 9); }, "\x12\x0F\x05\x09" },
    { "DateTime", [](Value& v) { v.SetDateTime(12, 7, 2026, 15, 5, 9); }, "\x13\xEA\x07\x0C\x07\x0F\x05\x09" },
    { "DateTimeClearedTime",
      [](Value& v) {
          DateTime d;
          d.Set(12, 7, 2026, -1, -1, -1);
          v.SetDateTime(d);
      },
      "\x13\xEA\x07\x0C\x07\xFF\xFF\xFF" },
    { "Dword", [](Value& v) { v.SetDword(0xCAFEBABE); }, "\x14\xBE\xBA\xFE\xCA" },
};

class ValueTagged : public testing::TestWithParam<TaggedCase> {};

TEST_P(ValueTagged, WritesTheTagAndReadsItBack)
{
    ScopedFixedClock clock;
    Value value;
    GetParam().set(value);
    std::string bytes = Encode(value);
    EXPECT_EQ(bytes, GetParam().bytes);

    MemoryReader reader(bytes.data(), static_cast<int32_t>(bytes.size()));
    Value back;
    back.SetText(String("previous"));
    ASSERT_TRUE(back.Read(reader));
    EXPECT_EQ(reader.Position(), static_cast<int32_t>(bytes.size()));
    EXPECT_EQ(back.Type(), value.Type());
    EXPECT_EQ(back.Storage(), value.Storage());
    EXPECT_EQ(Bytes(back.ToText()), Bytes(value.ToText()));
    EXPECT_EQ(back.ToInt64(), value.ToInt64());
    EXPECT_EQ(back.ToDouble(), value.ToDouble());
    EXPECT_EQ(Encode(back), bytes);
}

// Every proper prefix of a valid encoding is a short read: it fails and the value keeps
// what it held.
TEST_P(ValueTagged, ShortReadFailsAndKeepsTheValue)
{
    ScopedFixedClock clock;
    Value value;
    GetParam().set(value);
    std::string bytes = Encode(value);
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        MemoryReader reader(bytes.data(), static_cast<int32_t>(cut));
        Value back;
        back.SetText(String("previous"));
        EXPECT_FALSE(back.Read(reader)) << cut;
        EXPECT_EQ(back.Type(), Value::kText) << cut;
        EXPECT_STREQ(back.Text().Text(), "previous") << cut;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ValueTagged, testing::ValuesIn(kTagged),
                         [](const testing::TestParamInfo<TaggedCase>& info) { return info.param.name; });

struct TextTagCase {
    const char* name;
    int32_t length;
    uint8_t tag;
    int32_t headerSize;
};

const TextTagCase kTextTags[] = {
    { "Length255", 255, 1, 2 },
    { "Length256", 256, 2, 3 },
    { "Length65535", 65535, 2, 3 },
    { "Length65536", 65536, 3, 5 },
    { "Length200000", 200000, 3, 5 },
};

class ValueTextTag : public testing::TestWithParam<TextTagCase> {};

TEST_P(ValueTextTag, LengthPicksTheTag)
{
    const TextTagCase& c = GetParam();
    String text;
    text.SetLength(c.length);
    for (int32_t i = 0; i < c.length; ++i)
        text.Buffer()[i] = static_cast<char>(i * 7);
    Value value;
    value.SetText(text);
    std::string bytes = Encode(value);
    ASSERT_EQ(bytes.size(), static_cast<size_t>(c.headerSize + c.length));
    EXPECT_EQ(static_cast<uint8_t>(bytes[0]), c.tag);
    uint32_t length = 0;
    for (int32_t i = c.headerSize - 1; i >= 1; --i)
        length = length << 8 | static_cast<uint8_t>(bytes[i]);
    EXPECT_EQ(length, static_cast<uint32_t>(c.length));

    MemoryReader reader(bytes.data(), static_cast<int32_t>(bytes.size()));
    Value back;
    ASSERT_TRUE(back.Read(reader));
    EXPECT_TRUE(back.ToText() == text);
}

INSTANTIATE_TEST_SUITE_P(Table, ValueTextTag, testing::ValuesIn(kTextTags),
                         [](const testing::TestParamInfo<TextTagCase>& info) { return info.param.name; });

struct BadReadCase {
    const char* name;
    std::string bytes;
};

const BadReadCase kBadReads[] = {
    { "NothingToRead", "" },
    { "Tag4", "\x04" },
    { "Tag21", "\x15" },
    { "Tag255", "\xFF" },
    { "NegativeLength", "\x03\x00\x00\x00\x80" },
    { "HugeLengthShortSource", "\x03\xFF\xFF\xFF\x7F" "abc" },
    { "Text16Short", "\x02\x00\x01" "abc" },
};

class ValueBadRead : public testing::TestWithParam<BadReadCase> {};

TEST_P(ValueBadRead, FailsAndKeepsTheValue)
{
    const std::string& bytes = GetParam().bytes;
    MemoryReader reader(bytes.data(), static_cast<int32_t>(bytes.size()));
    Value value;
    value.SetInt32(77);
    EXPECT_FALSE(value.Read(reader));
    EXPECT_EQ(value.Type(), Value::kInt32);
    EXPECT_EQ(value.ToInt64(), 77);
}

INSTANTIATE_TEST_SUITE_P(Table, ValueBadRead, testing::ValuesIn(kBadReads),
                         [](const testing::TestParamInfo<BadReadCase>& info) { return info.param.name; });

TEST(Value, ReadDatesGoThroughTheYearWindow)
{
    ScopedFixedClock clock;
    const std::string date("\x11\x1A\x00\x0C\x07", 5); // year 26
    MemoryReader reader(date.data(), static_cast<int32_t>(date.size()));
    Value value;
    ASSERT_TRUE(value.Read(reader));
    EXPECT_EQ(value.ToDate().Year(), 2026);

    const std::string bc("\x11\xFF\xFF\x0C\x1F", 5); // 31 December of year -1
    MemoryReader third(bc.data(), static_cast<int32_t>(bc.size()));
    ASSERT_TRUE(value.Read(third));
    EXPECT_EQ(value.ToDate().Year(), -1);
    EXPECT_EQ(value.ToDate().DayNumber(), 1721422);

    const std::string dateTime("\x13\x50\x00\x01\x02\x03\x04\x05", 8); // year 80
    MemoryReader second(dateTime.data(), static_cast<int32_t>(dateTime.size()));
    ASSERT_TRUE(value.Read(second));
    EXPECT_STREQ(value.Text().Text(), "1/2/1980 03:04:05");
}

TEST(Value, ReadsASequenceOfValues)
{
    MemoryWriter writer;
    Value a;
    a.SetText(String("name"));
    Value b;
    b.SetUInt16(513);
    ASSERT_TRUE(a.Write(writer));
    ASSERT_TRUE(b.Write(writer));
    writer.Finish();
    MemoryReader reader(writer.Contents());
    Value first;
    Value second;
    ASSERT_TRUE(first.Read(reader));
    ASSERT_TRUE(second.Read(reader));
    EXPECT_STREQ(first.Text().Text(), "name");
    EXPECT_EQ(second.ToInt64(), 513);
    Value third;
    EXPECT_FALSE(third.Read(reader));
}

// A sink that takes a fixed number of bytes and refuses the rest.
class LimitedSink : public ByteSink {
public:
    explicit LimitedSink(int32_t room) : m_room(room) {}
    bool Write(const void*, int32_t count) override
    {
        if (count > m_room)
            return false;
        m_room -= count;
        return true;
    }

private:
    int32_t m_room;
};

TEST(Value, WriteAnswersTheSinksRefusal)
{
    Value text;
    text.SetText(String("hello"));
    LimitedSink noRoom(0);
    EXPECT_FALSE(text.Write(noRoom));
    LimitedSink headerOnly(2);
    EXPECT_FALSE(text.Write(headerOnly));
    LimitedSink enough(7);
    EXPECT_TRUE(text.Write(enough));
    Value number;
    number.SetInt64(1);
    LimitedSink short8(8);
    EXPECT_FALSE(number.Write(short8));
}

}
