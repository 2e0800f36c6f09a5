#pragma once
#include "core/String.h"
#include <cstdint>

// Numbers as text: decimal text for floating-point values, English words (plain,
// cheque style, eighths, years, decimal digits), ordinals in digits and in words, and
// human-readable byte sizes, plus the rounding helpers that go with them. The "%.Nf"
// formatting goes through String::Format, so on Windows it is the system C library's.

// Styles of NumberWords.
constexpr int kWordsPlain = 0;    // "One Hundred Five"
constexpr int kWordsCheque = 1;   // "Twelve and 34/100", "Twelve and No/100"
constexpr int kWordsEighths = 2;  // "Three and Three Fourths", "Three and 300/1000"
constexpr int kWordsYear = 3;     // "Nineteen Eighty Four", "Nineteen Oh Five", "Two Thousand Four"
constexpr int kWordsDecimal = -1; // "Zero Point One Two Five"

// precision >= 0: "%.*f"; precision < 0: "%.6f" with trailing zeros (and a bare point)
// removed, so 2.5 gives "2.5" and 3 gives "3".
String NumberText(double value, int precision);

// The value in English words; an empty text for a value that is not a finite number.
String NumberWords(double value, int style);

// "1st", "2nd", "3rd", "4th" ... "11th", "12th", "13th" ... "21st", "111th"; 0 and
// negative numbers take "th".
String OrdinalSuffix(int32_t n);

// "First", "Twelfth", "Twenty First", "One Hundred Twelfth", "Negative Second".
String OrdinalWords(int32_t n);

// "%d bytes" below 1,024 (and for negative sizes), then "%.2f KB", "MB", "GB", "TB" with
// units of 1,024.
String SizeText(int64_t size);

// Halves away from zero; values beyond the 64-bit range are limited to it.
int64_t RoundToInt64(double value);

// The smallest multiple of unit that is not below value; unit < 2 gives value itself.
int64_t RoundUpToMultiple(int64_t value, int64_t unit);
