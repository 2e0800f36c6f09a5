#include "core/Sequence.h"

void IndexFatalNamed(const char* typeName, int32_t index, int32_t count)
{
    FatalMessage("Vector<%s>[%d]\nmax_index = %d", typeName, index, count - 1);
}

static int CompareIgnoringCase(const String& a, const String& b)
{
    const unsigned char* x = reinterpret_cast<const unsigned char*>(a.Text());
    const unsigned char* y = reinterpret_cast<const unsigned char*>(b.Text());
    int32_t n = a.Length() < b.Length() ? a.Length() : b.Length();
    for (int32_t i = 0; i < n; ++i) {
        unsigned char p = static_cast<unsigned char>(ToLowerChar(static_cast<char>(x[i])));
        unsigned char q = static_cast<unsigned char>(ToLowerChar(static_cast<char>(y[i])));
        if (p != q)
            return p < q ? -1 : 1;
    }
    return a.Length() < b.Length() ? -1 : a.Length() > b.Length() ? 1 : 0;
}

int CompareStringsAscending(const void* a, const void* b)
{
    return CompareIgnoringCase(*static_cast<const String*>(a), *static_cast<const String*>(b));
}

int CompareStringsDescending(const void* a, const void* b)
{
    return CompareIgnoringCase(*static_cast<const String*>(b), *static_cast<const String*>(a));
}

int CompareStringPointersAscending(const void* a, const void* b)
{
    return CompareIgnoringCase(**static_cast<const String* const*>(a), **static_cast<const String* const*>(b));
}

int CompareStringPointersDescending(const void* a, const void* b)
{
    return CompareIgnoringCase(**static_cast<const String* const*>(b), **static_cast<const String* const*>(a));
}

void* ReallocateSlots(void* block, int64_t count, size_t slotSize)
{
    uint64_t bytes = static_cast<uint64_t>(count) * slotSize;
    if (count < 0 || bytes > 0x7fffffffu) {
        OutOfMemoryHandler(static_cast<uint32_t>(bytes));
        return nullptr;
    }
    return Reallocate(block, static_cast<size_t>(bytes));
}
