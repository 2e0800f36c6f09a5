#pragma once
#include <cstddef>
#include <cstdint>

// The program's allocator: the C heap, with one addition. While the out-of-memory mode
// is on (the default), a request that cannot be met never returns: it goes to the
// out-of-memory handler, which reports the requested size and ends the program. The
// few callers that can live with a failure (large binary buffers) switch the mode off
// around one request and get null instead.

void* Allocate(size_t size);
void* Reallocate(void* block, size_t size);
void Free(void* block);

// A large block for bulk data (encoder tables, decoded file data), not cleared: null when
// it cannot be had, whatever the out-of-memory mode; the system is told it will be filled
// whole (PlatformAdviseLargeBlock).
void* TryAllocateLarge(uint64_t size);

// Frees a block as std::unique_ptr's deleter.
struct FreeBlock {
    void operator()(void* block) const { Free(block); }
};

// Sets whether a failing request goes to the out-of-memory handler; returns the
// previous setting so that the caller can restore it.
bool SetOutOfMemoryMode(bool on);
