#pragma once
#include "core/VectorSlots.h"

// The growable indexed container. Its block of slots keeps free slots in front of the
// elements as well as behind them, so inserting at the front costs no more than
// appending. Two storage kinds share the block:
//
// - Scalars (integers, pointers, enums) live in the slots themselves. Growth takes the
//   preferred capacity for n elements: 6 when 3n < 14, else 3n / 2, but n + 2048 once
//   3n / 2 slots would pass 8,192 bytes. Re-centring puts a quarter of the free slots
//   in front.
// - Class types (String, the installer's records) live in their own heap blocks and
//   the slots hold pointers to them, so moving, swapping and sorting touch only
//   pointers and an element never moves in memory while the vector changes. A block
//   that must grow for n elements becomes n + n / 2 slots with the elements from slot
//   n / 4 on; a block more than four times too large for over 500 elements is cut the
//   same way.
//
// The work is VectorSlots's (core/VectorSlots.h), compiled once for all element types;
// a Vector<T> adds only how an element is made, destroyed, named and sorted. Every
// operation of Sequence<T> is virtual, so each vector type has all of them: keeping
// them free of T makes them one body each, whatever the number of vector types.
template <typename T>
class Vector final : public Sequence<T> {
    static constexpr bool kSlots = std::is_scalar_v<T>;
    static_assert(!kSlots || (sizeof(T) <= 8 && !std::is_member_pointer_v<T>),
                  "scalars live in slots of at most 8 bytes and start as zero bits");

    static void* MakeElement() { return new T(); }
    static void DestroyElement(void* element) { delete static_cast<T*>(element); }
    static constexpr bool kSortable = std::is_same_v<T, String>;
    static constexpr VectorKind kKind =
        kSlots ? VectorKind{ sizeof(T), nullptr, nullptr, TypeNameText<T>(), nullptr, nullptr }
               : VectorKind{ sizeof(T*), &MakeElement, &DestroyElement, TypeNameText<T>(),
                             kSortable ? &CompareStringPointersAscending : nullptr,
                             kSortable ? &CompareStringPointersDescending : nullptr };

public:
    using Sequence<T>::At;
    using Sequence<T>::ElementOrNull;

    // Called rather than copied into each place that makes a vector.
    __attribute__((noipa)) Vector() : m_slots(kKind) {}
    Vector(const Vector& other) : Sequence<T>(), m_slots(kKind) { this->AppendAll(other); }
    Vector(Vector&& other) : Sequence<T>(), m_slots(kKind) { m_slots.TakeOver(other.m_slots); }

    Vector& operator=(const Vector& other)
    {
        if (this != &other) {
            Clear();
            this->AppendAll(other);
        }
        return *this;
    }
    Vector& operator=(Vector&& other)
    {
        m_slots.TakeOver(other.m_slots);
        return *this;
    }

    int32_t Count() const override { return m_slots.Count(); }
    int32_t Capacity() const { return m_slots.Capacity(); }
    void Clear() override { m_slots.Clear(); }
    T& At(int32_t index) override { return *static_cast<T*>(m_slots.At(index)); }
    T* ElementOrNull(int32_t index) override { return static_cast<T*>(m_slots.ElementOrNull(index)); }
    T* AppendNew() override { return static_cast<T*>(m_slots.AppendNew()); }
    T* InsertNew(int32_t index) override { return static_cast<T*>(m_slots.InsertNew(index)); }
    bool RemoveAt(int32_t index) override { return m_slots.RemoveAt(index); }
    bool RemoveRange(int32_t first, int32_t last) override { return m_slots.RemoveRange(first, last); }
    void Resize(int32_t n) override { m_slots.Resize(n); }
    void Reserve(int32_t n) override { m_slots.Reserve(n); }
    bool Swap(int32_t a, int32_t b) override { return m_slots.Swap(a, b); }
    void Move(int32_t a, int32_t b) override { m_slots.Move(a, b); }
    bool Rotate(int32_t n) override { return m_slots.Rotate(n); }
    void Sort(bool descending = false) override { m_slots.Sort(descending); }
    T* First(SequenceCursor& cursor) override { return static_cast<T*>(m_slots.First(cursor)); }
    T* Next(SequenceCursor& cursor) override { return static_cast<T*>(m_slots.Next(cursor)); }
    T* RandomElement() override { return static_cast<T*>(m_slots.RandomElement()); }

private:
    VectorSlots m_slots;
};
