#include "core/Memory.h"
#include "core/Fatal.h"
#include "core/Platform.h"
#include <cstdlib>

static bool s_outOfMemoryMode = true;

bool SetOutOfMemoryMode(bool on)
{
    bool previous = s_outOfMemoryMode;
    s_outOfMemoryMode = on;
    return previous;
}

// Sizes beyond 32 bits cannot be met by the 32-bit program anyway; the handler reports
// the low 32 bits, as the allocator of a 32-bit process would have received them.
static void* Failed(size_t size)
{
    if (s_outOfMemoryMode)
        OutOfMemoryHandler(static_cast<uint32_t>(size));
    return nullptr;
}

void* Allocate(size_t size)
{
    void* block = malloc(size ? size : 1);
    return block ? block : Failed(size);
}

void* Reallocate(void* block, size_t size)
{
    void* grown = realloc(block, size ? size : 1);
    return grown ? grown : Failed(size);
}

void Free(void* block)
{
    free(block);
}

void* TryAllocateLarge(uint64_t size)
{
    if (size > SIZE_MAX)
        return nullptr;
    void* block = malloc(size ? static_cast<size_t>(size) : 1);
    if (block)
        PlatformAdviseLargeBlock(block, static_cast<size_t>(size));
    return block;
}
