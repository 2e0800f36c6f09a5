#include "core/NumberWords.h"
#include "core/Platform.h"
#include <cstdarg>
#include <cmath>

namespace {

const char* const kUnits[20] = { "Zero",    "One",     "Two",       "Three",    "Four",
                                 "Five",    "Six",     "Seven",     "Eight",    "Nine",
                                 "Ten",     "Eleven",  "Twelve",    "Thirteen", "Fourteen",
                                 "Fifteen", "Sixteen", "Seventeen", "Eighteen", "Nineteen" };
const char* const kTens[8] = { "Twenty", "Thirty", "Forty", "Fifty", "Sixty", "Seventy", "Eighty", "Ninety" };
const char* const kEighths[7] = { "One Eighth",   "One Fourth",    "Three Eighths", "One Half",
                                  "Five Eighths", "Three Fourths", "Seven Eighths" };
const char* const kOrdinalUnits[9] = { "First", "Second", "Third",   "Fourth", "Fifth",
                                       "Sixth", "Seventh", "Eighth", "Ninth" };
const char* const kOrdinalTens[9] = { "Tenth",     "Twentieth",  "Thirtieth", "Fortieth", "Fiftieth",
                                      "Sixtieth", "Seventieth", "Eightieth", "Ninetieth" };

bool IsFinite(double value)
{
    // NaN fails the comparison with itself; infinities lie beyond the largest double.
    return value == value && value <= 1.7976931348623157e308 && value >= -1.7976931348623157e308;
}

double Truncate(double value)
{
    // Every double at or above 2^52 is already whole.
    if (value >= 4503599627370496.0 || value <= -4503599627370496.0)
        return value;
    return static_cast<double>(static_cast<int64_t>(value));
}

// Formats into a 512-byte scratch buffer, as the number texts always have.
String FormatSmall(const char* format, ...)
{
    char scratch[512];
    va_list arguments;
    va_start(arguments, format);
    PlatformFormatList(scratch, sizeof(scratch), format, arguments);
    va_end(arguments);
    return String(scratch);
}

void AppendFraction(String& out, double fraction, int style)
{
    if (style == kWordsCheque) {
        if (fraction == 0) {
            out.Append(" and No/100");
        } else {
            out.Append(" and ");
            out.AppendFormat("%.0f/100", fraction * 100);
        }
    } else if (style == kWordsEighths) {
        if (fraction == 0)
            return;
        for (int k = 1; k <= 7; ++k) {
            double difference = fraction - k / 8.0;
            if (difference < 0.00001 && difference > -0.00001) {
                out.Append(" and ");
                out.Append(kEighths[k - 1]);
                return;
            }
        }
        if (fraction > 0.00001) {
            out.Append(" and ");
            out.AppendFormat("%.0f/1000", fraction * 1000);
        }
    } else if (style == kWordsDecimal) {
        out.Append(" Point");
        String digits = FormatSmall("%.3f", fraction);
        int32_t point = digits.FindChar('.');
        if (point < 0)
            return;
        // Speak digits until only zeros remain, but at least one.
        int32_t end = digits.Length();
        while (end > point + 2 && digits.CharAt(end - 1) == '0')
            --end;
        for (int32_t i = point + 1; i < end; ++i) {
            char c = digits.CharAt(i);
            if (!IsDigit(c))
                break;
            out.Append(' ');
            out.Append(kUnits[c - '0']);
        }
    }
}

void AppendWords(String& out, double value, int style);

// One scale step: the whole number of `scale` units in words, then the scale word. The
// answer says whether the rest has a whole part (else the fraction follows at once).
bool AppendScale(String& out, double& value, double scale, const char* word)
{
    double count = Truncate(value / scale);
    double rest = value - count * scale;
    // The division may round up to the next whole count, and beyond 2^53 the
    // subtraction is inexact and may leave a rest as large as the value itself, which
    // would be spelled out again and again. The remainder of the division is exact.
    if (rest < 0 || rest >= scale) {
        rest = fmod(value, scale);
        count = Truncate((value - rest) / scale);
    }
    AppendWords(out, count, kWordsPlain);
    out.Append(word);
    value = rest;
    if (Truncate(value) == 0)
        return false;
    out.Append(' ');
    return true;
}

void AppendWords(String& out, double value, int style)
{
    if (style == kWordsYear) {
        if (value > 100 && value < 10000) {
            int32_t year = static_cast<int32_t>(value);
            if (year % 1000 > 9) {
                AppendWords(out, year / 100, kWordsPlain);
                out.Append(' ');
                if (year % 100 == 0) {
                    // "Nineteen Hundred" rather than "Nineteen Oh Zero".
                    out.Append("Hundred");
                    return;
                }
                if (year % 100 < 10)
                    out.Append("Oh ");
                AppendWords(out, year % 100, kWordsPlain);
                return;
            }
        }
        style = kWordsPlain;
    }
    if (value < 0) {
        out.Append("Negative ");
        value = -value;
    }
    bool whole = true;
    if (value >= 1000000)
        whole = AppendScale(out, value, 1000000, " Million");
    if (whole && value >= 1000)
        whole = AppendScale(out, value, 1000, " Thousand");
    if (whole && value >= 100)
        whole = AppendScale(out, value, 100, " Hundred");
    if (whole) {
        int32_t rest = static_cast<int32_t>(value < 100 ? value : 99);
        if (rest >= 20) {
            out.Append(kTens[rest / 10 - 2]);
            if (rest % 10) {
                out.Append(' ');
                out.Append(kUnits[rest % 10]);
            }
        } else {
            out.Append(kUnits[rest]);
        }
    }
    if (style != kWordsPlain)
        AppendFraction(out, value - Truncate(value), style);
}

}

String NumberText(double value, int precision)
{
    if (precision >= 0)
        return FormatSmall("%.*f", precision, value);
    String text = FormatSmall("%.6f", value);
    if (text.FindChar('.') >= 0) {
        text.TrimRightChar('0');
        text.RemoveLastIf('.');
    }
    return text;
}

String NumberWords(double value, int style)
{
    String out;
    if (IsFinite(value))
        AppendWords(out, value, style);
    return out;
}

String OrdinalSuffix(int32_t n)
{
    const char* suffix = "th";
    int32_t lastTwo = n % 100;
    // 4 to 20, and the teens of every hundred (111th, 112th, 113th), take "th".
    if (!(n >= 4 && n <= 20) && !(lastTwo >= 11 && lastTwo <= 13)) {
        switch (n % 10) {
        case 1: suffix = "st"; break;
        case 2: suffix = "nd"; break;
        case 3: suffix = "rd"; break;
        default: break;
        }
    }
    String text;
    text.Format("%d%s", static_cast<int>(n), suffix);
    return text;
}

String OrdinalWords(int32_t number)
{
    String out;
    int64_t n = number;
    if (n < 0) {
        out.Append("Negative ");
        n = -n;
    }
    int64_t lastTwo = n % 100;
    int64_t unit = n % 10;
    if (lastTwo == 0 || (lastTwo >= 10 && lastTwo <= 19)) {
        if (lastTwo == 12) {
            if (n > 12) {
                out.Append(NumberWords(static_cast<double>(n - 12), kWordsPlain));
                out.Append(' ');
            }
            out.Append("Twelfth");
        } else {
            out.Append(NumberWords(static_cast<double>(n), kWordsPlain));
            out.Append("th");
        }
    } else if (unit != 0) {
        if (n - unit != 0) {
            out.Append(NumberWords(static_cast<double>(n - unit), kWordsPlain));
            out.Append(' ');
        }
        out.Append(kOrdinalUnits[unit - 1]);
    } else {
        if (n - lastTwo != 0) {
            out.Append(NumberWords(static_cast<double>(n - lastTwo), kWordsPlain));
            out.Append(' ');
        }
        out.Append(kOrdinalTens[lastTwo / 10 - 1]);
    }
    return out;
}

String SizeText(int64_t size)
{
    static const struct {
        int64_t unit;
        const char* format;
    } kUnitsDescending[] = {
        { 1099511627776LL, "%.2f TB" },
        { 1073741824LL, "%.2f GB" },
        { 1048576LL, "%.2f MB" },
        { 1024LL, "%.2f KB" },
    };
    for (const auto& step : kUnitsDescending) {
        if (size >= step.unit)
            return FormatSmall(step.format, static_cast<double>(size) / static_cast<double>(step.unit));
    }
    // Digits of the 64-bit value itself: "%d" would cut a large negative size.
    String text(size);
    text.Append(" bytes");
    return text;
}

int64_t RoundToInt64(double value)
{
    if (!(value == value))
        return 0;
    double rounded = value >= 0 ? value + 0.5 : value - 0.5;
    if (rounded >= 9223372036854775807.0)
        return INT64_MAX;
    if (rounded <= -9223372036854775808.0)
        return INT64_MIN;
    return static_cast<int64_t>(rounded);
}

int64_t RoundUpToMultiple(int64_t value, int64_t unit)
{
    if (unit < 2)
        return value;
    int64_t remainder = value % unit;
    if (remainder == 0)
        return value;
    // A negative value rounds up toward zero.
    return remainder > 0 ? value + unit - remainder : value - remainder;
}
