#pragma once
#include <cstdint>

// 64-bit division for the stub's runtime (core/StubRuntime_win.cpp), which answers the
// compiler's calls for 64-bit `/` and `%` on 32-bit x86 with these instead of libgcc's
// helpers: those are fast, and some 2 KB; this is a few dozen instructions, and the
// stub divides 64-bit numbers a handful of times per run. Plain C++, so that the host's
// unit tests check it against the host's own division.

// Restoring division, one quotient bit per step. `remainder` may be null. A divisor of 0
// stops the program, as the processor's division does.
inline uint64_t DivideWideUnsigned(uint64_t dividend, uint64_t divisor, uint64_t* remainder)
{
    if (divisor == 0)
        __builtin_trap();
    uint64_t rest = 0;
    // After k steps the rest is the remainder of the dividend's top k bits, so below 2^k:
    // doubling it never passes 64 bits.
    for (int step = 0; step < 64; ++step) {
        rest = (rest << 1) | (dividend >> 63);
        dividend <<= 1;
        if (rest >= divisor) {
            rest -= divisor;
            dividend |= 1;
        }
    }
    if (remainder)
        *remainder = rest;
    return dividend;
}

// C++'s signed division: the quotient rounded toward zero, the remainder with the sign
// of the dividend. The one overflow, INT64_MIN / -1, answers INT64_MIN with remainder 0,
// as libgcc's helper does.
inline int64_t DivideWideSigned(int64_t dividend, int64_t divisor, int64_t* remainder)
{
    uint64_t magnitude = dividend < 0 ? 0 - static_cast<uint64_t>(dividend) : static_cast<uint64_t>(dividend);
    uint64_t by = divisor < 0 ? 0 - static_cast<uint64_t>(divisor) : static_cast<uint64_t>(divisor);
    uint64_t rest = 0;
    uint64_t quotient = DivideWideUnsigned(magnitude, by, &rest);
    if ((dividend < 0) != (divisor < 0))
        quotient = 0 - quotient;
    if (dividend < 0)
        rest = 0 - rest;
    if (remainder)
        *remainder = static_cast<int64_t>(rest);
    return static_cast<int64_t>(quotient);
}
