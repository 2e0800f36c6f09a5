#include "core/WideDivision.h"
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>

// The stub's 64-bit division helpers against the host's own division.

namespace {

void ExpectUnsigned(uint64_t dividend, uint64_t divisor)
{
    uint64_t remainder = 12345;
    EXPECT_EQ(DivideWideUnsigned(dividend, divisor, &remainder), dividend / divisor) << dividend << " / " << divisor;
    EXPECT_EQ(remainder, dividend % divisor) << dividend << " % " << divisor;
}

void ExpectSigned(int64_t dividend, int64_t divisor)
{
    int64_t remainder = 12345;
    EXPECT_EQ(DivideWideSigned(dividend, divisor, &remainder), dividend / divisor) << dividend << " / " << divisor;
    EXPECT_EQ(remainder, dividend % divisor) << dividend << " % " << divisor;
}

constexpr uint64_t kMaxUnsigned = std::numeric_limits<uint64_t>::max();
constexpr int64_t kMinSigned = std::numeric_limits<int64_t>::min();
constexpr int64_t kMaxSigned = std::numeric_limits<int64_t>::max();

TEST(WideDivision, Edges)
{
    const uint64_t unsignedCases[][2] = {
        { 0, 1 }, { 1, 1 }, { 7, 9 }, { kMaxUnsigned, 1 }, { kMaxUnsigned, kMaxUnsigned },
        { kMaxUnsigned - 1, kMaxUnsigned }, { kMaxUnsigned, 2 }, { 1ull << 32, 10 },
        { 10'000'000'000ull, 1'000'000'000ull }, { 0x123456789ABCDEFull, 0xFFFFFFFFull },
        // Divisors above 2^63.
        { kMaxUnsigned, (1ull << 63) + 1 }, { 1ull << 63, 1ull << 63 }, { kMaxUnsigned, 1ull << 63 },
        { (1ull << 63) - 1, 1ull << 63 },
    };
    for (const auto& c : unsignedCases)
        ExpectUnsigned(c[0], c[1]);

    const int64_t signedCases[][2] = {
        { 0, -1 }, { 7, 2 }, { -7, 2 }, { 7, -2 }, { -7, -2 }, { kMaxSigned, -1 }, { kMinSigned, 1 },
        { kMinSigned, 2 }, { kMinSigned, kMinSigned }, { kMaxSigned, kMinSigned }, { kMinSigned, kMaxSigned },
        { -1'099'511'627'776, 1024 }, { -10'000'000'001, 1'000'000'000 },
    };
    for (const auto& c : signedCases)
        ExpectSigned(c[0], c[1]);

    // The one overflow answers as libgcc does (C++ leaves it undefined).
    int64_t remainder = 1;
    EXPECT_EQ(DivideWideSigned(kMinSigned, -1, &remainder), kMinSigned);
    EXPECT_EQ(remainder, 0);
    // The remainder is optional.
    EXPECT_EQ(DivideWideUnsigned(100, 7, nullptr), 14u);
    EXPECT_EQ(DivideWideSigned(-100, 7, nullptr), -14);
}

TEST(WideDivision, NumbersOfEveryWidth)
{
    // Dividends and divisors of 1 to 64 significant bits, in every pairing, signed both ways.
    uint64_t state = 0x9E3779B97F4A7C15ull;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    for (int dividendBits = 1; dividendBits <= 64; ++dividendBits) {
        for (int divisorBits = 1; divisorBits <= 64; ++divisorBits) {
            uint64_t dividend = next() >> (64 - dividendBits);
            uint64_t divisor = next() >> (64 - divisorBits);
            if (divisor == 0)
                divisor = 1;
            ExpectUnsigned(dividend, divisor);
            int64_t a = static_cast<int64_t>(dividend);
            int64_t b = static_cast<int64_t>(divisor);
            if (b == -1 && a == kMinSigned)
                continue;
            ExpectSigned(a, b);
            if (a != kMinSigned)
                ExpectSigned(-a, b);
        }
    }
}

}
