#include "core/IntegerStepper.h"
#include "core/Fatal.h"

void IntegerStepper::Start(int32_t total, int32_t steps)
{
    if (steps == 0)
        InternalFatal("Core", 13391);
    int64_t wide = total;
    m_steps = steps;
    if (m_steps < 0) {
        wide = -wide;
        m_steps = -m_steps;
    }
    m_negative = wide < 0;
    m_quotient = wide / m_steps;
    m_remainder = wide % m_steps;
    if (m_remainder < 0)
        m_remainder = -m_remainder;
    m_accumulator = 0;
}

int32_t IntegerStepper::Next()
{
    m_accumulator += m_remainder;
    if (m_accumulator < m_steps)
        return static_cast<int32_t>(m_quotient);
    m_accumulator -= m_steps;
    return static_cast<int32_t>(m_quotient + (m_negative ? -1 : 1));
}
