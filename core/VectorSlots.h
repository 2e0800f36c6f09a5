#pragma once
#include "core/Sequence.h"

// How a vector's slots hold its elements: the slot size; for class types the making and
// destroying of an element on the heap (null for scalars, which live in the slots and
// start as zero bits, which is what T() is for them); the name of the type for the fatal
// message of At; and the slot comparisons of Sort, ascending and descending (null where
// the type cannot be sorted).
struct VectorKind {
    uint32_t slotSize;
    void* (*make)();
    void (*destroy)(void* element);
    const char* typeName;
    int (*ascending)(const void* a, const void* b);
    int (*descending)(const void* a, const void* b);
};

// The part of Vector that does not depend on the element type - the block, where the
// elements sit in it, growth, removal, moving and rotating - compiled once for all
// element types. Each vector carries its kind, so that every Vector<T> operation is a
// call with the same machine code whatever T is, and the linker keeps one of each.
class VectorSlots {
public:
    explicit VectorSlots(const VectorKind& kind);
    VectorSlots(const VectorSlots&) = delete;
    VectorSlots& operator=(const VectorSlots&) = delete;
    ~VectorSlots() { Clear(); }

    int32_t Count() const { return m_count; }
    int32_t Capacity() const { return m_capacity; }
    // The element: the slot itself for scalars, the pointer held in it for class types.
    void* ElementOrNull(int32_t index) const;
    // The same, or the fatal message of a bad index.
    void* At(int32_t index) const;
    void* First(SequenceCursor& cursor) const;
    void* Next(SequenceCursor& cursor) const;
    void* RandomElement() const;

    void Clear();
    // Takes over the block of `other` (of the same kind), which is left empty.
    void TakeOver(VectorSlots& other);
    // The index is clamped to 0 ... count.
    void* InsertNew(int32_t index);
    void* AppendNew() { return InsertNew(m_count); }
    bool RemoveAt(int32_t index);
    bool RemoveRange(int32_t first, int32_t last);
    void Resize(int32_t n);
    void Reserve(int32_t n);
    bool Swap(int32_t a, int32_t b);
    void Move(int32_t a, int32_t b);
    bool Rotate(int32_t n);
    void Sort(bool descending);

private:
    char* Slot(int32_t index) const { return m_block + static_cast<size_t>(m_front + index) * m_kind->slotSize; }
    void Release();
    void* MakeElement(int32_t index);
    void DestroyElement(int32_t index);
    void MoveSlots(int32_t to, int32_t from, int32_t count);
    void Place(int32_t front);
    void Regrow(int32_t capacity);
    void SwapSlots(int32_t a, int32_t b);
    int32_t PreferredCapacity(int32_t n) const;
    void OpenScalarSlot(int32_t index);
    void OpenPointerSlot(int32_t index);
    void ReservePointers(int32_t n);
    void ResizeScalarBlock(int32_t n);

    const VectorKind* m_kind;
    int32_t m_count = 0;
    int32_t m_front = 0;
    int32_t m_capacity = 0;
    char* m_block = nullptr;
};
