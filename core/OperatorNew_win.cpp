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

// A call of a pure virtual function is a broken invariant like any other. Defining the
// hook here also keeps the C++ library's verbose terminate handler (and with it a
// demangler and the unwinder) out of the stub.
#include "core/Fatal.h"
extern "C" void __cxa_pure_virtual()
{
    FatalStop("Internal Fatal Error\r\nModule: core\r\nPure virtual function called");
}
