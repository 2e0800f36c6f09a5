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

// Sets whether a failing request goes to the out-of-memory handler; returns the
// previous setting so that the caller can restore it.
bool SetOutOfMemoryMode(bool on);
