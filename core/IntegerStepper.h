#pragma once
#include <cstdint>

// Spreads a total over a number of steps in whole numbers: each Next() answers the
// quotient, or the quotient plus one (minus one for a negative total) whenever the
// running remainder completes another step, so that over `steps` calls the answers add
// up exactly to the total. (10, 4) gives 2, 3, 2, 3. A divisor of 0 is fatal.
class IntegerStepper {
public:
    IntegerStepper(int32_t total, int32_t steps) { Start(total, steps); }

    void Start(int32_t total, int32_t steps);
    int32_t Next();

private:
    // Kept in 64 bits: the running remainder plus the remainder may pass 32 bits.
    bool m_negative = false;
    int64_t m_quotient = 0;
    int64_t m_remainder = 0;
    int64_t m_accumulator = 0;
    int64_t m_steps = 1;
};
