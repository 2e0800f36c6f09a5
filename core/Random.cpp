#include "core/Random.h"

static uint32_t s_seed = 1;

int32_t Random15()
{
    s_seed = s_seed * 214013u + 2531011u;
    return static_cast<int32_t>((s_seed >> 16) & 0x7FFF);
}

// Each half is the low 16 bits of the sum of two draws.
static uint32_t RandomHalf()
{
    int32_t first = Random15();
    int32_t second = Random15();
    return static_cast<uint32_t>(first + second) & 0xFFFF;
}

int32_t Random32()
{
    uint32_t high = RandomHalf();
    uint32_t low = RandomHalf();
    return static_cast<int32_t>(((high << 16) | low) & 0x7FFFFFFF);
}

int32_t RandomBelow(int32_t n)
{
    if (n < 2)
        return 0;
    if (n == 0x7FFFFFFF)
        return Random32();
    return Random32() % n;
}
