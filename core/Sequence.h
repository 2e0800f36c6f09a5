#pragma once
#include "core/Fatal.h"
#include "core/Memory.h"
#include "core/Random.h"
#include "core/TypeName.h"
#include <cstdint>
#include <type_traits>
#include <utility>

// The common interface of the containers. Vector<T> (growable), Array<T> (exact size)
// and List<T> (doubly linked) implement it; code that only walks or fills a sequence
// takes a Sequence<T>&. Every container owns its elements: destroying it destroys
// them, copying it copies them.
//
// An operation that a container kind does not implement stops the program with an
// internal fatal error in module "core", one line per operation (kLine... below): the
// indexed kinds do not iterate backward, a list has no slots to swap, move or sort,
// and only sequences of String can be sorted.
//
// Bad arguments to the unchecked operations (indexes out of range, empty containers)
// are answered with false, null or a default element; At() with a bad index is fatal
// with "Vector<T>[index]\nmax_index = count - 1", naming the element type.

// Where an iteration stands: an index for the indexed kinds, a node for lists.
struct SequenceCursor {
    int32_t index = -1;
    void* node = nullptr;
};

namespace SequenceLine {
constexpr int kAt = 2345;
constexpr int kElementOrNull = 2346;
constexpr int kAppendNew = 2565;
constexpr int kInsertNew = 2590;
constexpr int kRemoveAt = 2608;
constexpr int kRemoveRange = 2609;
constexpr int kResize = 2610;
constexpr int kReserve = 2611;
constexpr int kSwap = 2613;
constexpr int kMove = 2614;
constexpr int kRotate = 5987;
constexpr int kSort = 5988;
constexpr int kFirst = 5989;
constexpr int kNext = 5990;
constexpr int kLast = 5991;
constexpr int kPrevious = 5992;
constexpr int kRandomElement = 5993;
constexpr int kClear = 5994;
}

// `typeName` is TypeNameText<T>() of the element type.
[[noreturn]] void IndexFatalNamed(const char* typeName, int32_t index, int32_t count);

template <typename T>
[[noreturn]] void IndexFatal(int32_t index, int32_t count)
{
    IndexFatalNamed(TypeNameText<T>(), index, count);
}

// Sorting orders texts ignoring ASCII case, as String::Compare(other, false) does, with
// a total order for every input (an empty text first, embedded zero bytes compared as
// bytes) so that qsort always gets a consistent comparison. The Pointer forms sort
// slots that hold String*.
int CompareStringsAscending(const void* a, const void* b);
int CompareStringsDescending(const void* a, const void* b);
int CompareStringPointersAscending(const void* a, const void* b);
int CompareStringPointersDescending(const void* a, const void* b);

// A block of `count` slots of `slotSize` bytes from the program's allocator; requests
// beyond what a 32-bit program could hold go to the out-of-memory handler instead of
// wrapping around.
void* ReallocateSlots(void* block, int64_t count, size_t slotSize);

template <typename T, typename Ref>
class SequenceIterator;

template <typename T>
class Sequence {
public:
    virtual ~Sequence() = default;

    virtual int32_t Count() const = 0;
    bool IsEmpty() const { return Count() == 0; }
    virtual void Clear() { Unsupported(SequenceLine::kClear); }

    // Checked access; a bad index is fatal.
    virtual T& At(int32_t) { Unsupported(SequenceLine::kAt); }
    const T& At(int32_t index) const { return const_cast<Sequence*>(this)->At(index); }
    T& operator[](int32_t index) { return At(index); }
    const T& operator[](int32_t index) const { return At(index); }

    // Null for an index out of range.
    virtual T* ElementOrNull(int32_t) { Unsupported(SequenceLine::kElementOrNull); }
    const T* ElementOrNull(int32_t index) const { return const_cast<Sequence*>(this)->ElementOrNull(index); }

    virtual T* AppendNew() { Unsupported(SequenceLine::kAppendNew); }
    // The value is copied before the container grows, so it may be one of the elements.
    T* Append(const T& value)
    {
        T copy(value);
        T* element = AppendNew();
        *element = std::move(copy);
        return element;
    }
    T* Append(T&& value)
    {
        T* element = AppendNew();
        *element = std::move(value);
        return element;
    }

    // The index is clamped to 0 ... count; later elements move up.
    virtual T* InsertNew(int32_t) { Unsupported(SequenceLine::kInsertNew); }
    T* Insert(int32_t index, const T& value)
    {
        T copy(value);
        T* element = InsertNew(index);
        *element = std::move(copy);
        return element;
    }
    T* Insert(int32_t index, T&& value)
    {
        T* element = InsertNew(index);
        *element = std::move(value);
        return element;
    }

    // Copies every element of `other` in its iteration order; `other` may be this one.
    int32_t AppendAll(const Sequence& other)
    {
        Sequence& source = const_cast<Sequence&>(other);
        int32_t total = source.Count();
        int32_t appended = 0;
        SequenceCursor cursor;
        for (T* element = source.First(cursor); element && appended < total; element = source.Next(cursor)) {
            Append(*element);
            ++appended;
        }
        return appended;
    }

    virtual bool RemoveAt(int32_t) { Unsupported(SequenceLine::kRemoveAt); }
    // first is raised to 0 and last limited to count - 1 (inclusive); false when nothing
    // is left between them.
    virtual bool RemoveRange(int32_t, int32_t) { Unsupported(SequenceLine::kRemoveRange); }
    // A copy of the element, which is then removed; a default element for a bad index.
    T TakeAt(int32_t index)
    {
        T* element = ElementOrNull(index);
        if (!element)
            return T();
        T value(std::move(*element));
        RemoveAt(index);
        return value;
    }

    // n <= 0 clears; new elements are default elements.
    virtual void Resize(int32_t) { Unsupported(SequenceLine::kResize); }
    // Prepares room for n elements where the kind keeps spare room; otherwise nothing.
    virtual void Reserve(int32_t) { Unsupported(SequenceLine::kReserve); }
    // False when either index is out of range or they are equal.
    virtual bool Swap(int32_t, int32_t) { Unsupported(SequenceLine::kSwap); }
    // For a < b: the element at a moves to b and those between move down by one. Nothing
    // when a >= b, count < 2 or an index is out of range.
    virtual void Move(int32_t, int32_t) { Unsupported(SequenceLine::kMove); }
    // Moves the first n (modulo count) elements to the end; false when count < 2 or
    // n modulo count is 0. Negative n rotates the other way where the kind allows it.
    virtual bool Rotate(int32_t) { Unsupported(SequenceLine::kRotate); }
    // Sequences of String: ignoring ASCII case, ascending or descending; not stable.
    virtual void Sort(bool = false) { Unsupported(SequenceLine::kSort); }

    virtual T* First(SequenceCursor&) { Unsupported(SequenceLine::kFirst); }
    virtual T* Next(SequenceCursor&) { Unsupported(SequenceLine::kNext); }
    virtual T* Last(SequenceCursor&) { Unsupported(SequenceLine::kLast); }
    virtual T* Previous(SequenceCursor&) { Unsupported(SequenceLine::kPrevious); }

    // An element at a random index; for count <= 1 the first element or null.
    virtual T* RandomElement() { Unsupported(SequenceLine::kRandomElement); }

    SequenceIterator<T, T&> begin() { return SequenceIterator<T, T&>(this); }
    SequenceIterator<T, T&> end() { return SequenceIterator<T, T&>(nullptr); }
    SequenceIterator<T, const T&> begin() const
    {
        return SequenceIterator<T, const T&>(const_cast<Sequence*>(this));
    }
    SequenceIterator<T, const T&> end() const { return SequenceIterator<T, const T&>(nullptr); }

protected:
    Sequence() = default;
    Sequence(const Sequence&) = default;
    Sequence& operator=(const Sequence&) = default;

    [[noreturn]] static void Unsupported(int line) { InternalFatal("core", line); }

    // Shared by the kinds that store elements contiguously or as slots.
    static bool NormalizeRotation(int32_t count, int32_t& n, bool allowNegative)
    {
        if (count < 2 || (n < 0 && !allowNegative))
            return false;
        n %= count;
        if (n == 0)
            return false;
        if (n < 0)
            n += count;
        return true;
    }

    template <typename Slot>
    static void RotateSlots(Slot* slots, int32_t count, int32_t n)
    {
        Reverse(slots, 0, n);
        Reverse(slots, n, count);
        Reverse(slots, 0, count);
    }

    template <typename Slot>
    static void Reverse(Slot* slots, int32_t from, int32_t to)
    {
        for (--to; from < to; ++from, --to)
            std::swap(slots[from], slots[to]);
    }
};

// Walks any sequence with First/Next so that range-for works on every kind.
template <typename T, typename Ref>
class SequenceIterator {
public:
    explicit SequenceIterator(Sequence<T>* sequence) : m_sequence(sequence)
    {
        m_current = sequence ? sequence->First(m_cursor) : nullptr;
    }
    Ref operator*() const { return *m_current; }
    SequenceIterator& operator++()
    {
        m_current = m_sequence->Next(m_cursor);
        return *this;
    }
    bool operator!=(const SequenceIterator& other) const { return m_current != other.m_current; }

private:
    Sequence<T>* m_sequence;
    SequenceCursor m_cursor;
    T* m_current;
};
