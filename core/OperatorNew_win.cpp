// The stub is built without exceptions: the C++ allocation operators go straight to the
// program's allocator, whose failure is the out-of-memory handler, not std::bad_alloc.
// This also keeps the library's exception machinery out of the stub.
#include "core/Memory.h"
#include <cstddef>

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { Free(block); }
void operator delete[](void* block) noexcept { Free(block); }
void operator delete(void* block, size_t) noexcept { Free(block); }
void operator delete[](void* block, size_t) noexcept { Free(block); }
