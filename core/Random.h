#pragma once
#include <cstdint>

// The program's pseudo-random numbers: the classic linear congruential generator with a
// process-wide seed that starts at 1 and is never taken from the clock, so every run
// draws the same sequence (the first two Random15 values are 41 and 18467).

// 0 ... 32767.
int32_t Random15();

// 0 ... 0x7FFFFFFF, built from two 16-bit halves, high half first.
int32_t Random32();

// 0 ... n - 1; 0 when n < 2; for n = 0x7FFFFFFF simply Random32().
int32_t RandomBelow(int32_t n);
