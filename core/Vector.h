#pragma once
#include "core/Sequence.h"
#include <cstdlib>
#include <cstring>

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
template <typename T>
class Vector final : public Sequence<T> {
    static constexpr bool kSlots = std::is_scalar_v<T>;
    using Slot = std::conditional_t<kSlots, T, T*>;

public:
    using Sequence<T>::At;
    using Sequence<T>::ElementOrNull;

    Vector() = default;
    Vector(const Vector& other) : Sequence<T>() { this->AppendAll(other); }
    Vector(Vector&& other)
        : Sequence<T>(), m_count(other.m_count), m_front(other.m_front), m_capacity(other.m_capacity),
          m_block(other.m_block)
    {
        other.Release();
    }
    ~Vector() override { Clear(); }

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
        if (this != &other) {
            Clear();
            m_count = other.m_count;
            m_front = other.m_front;
            m_capacity = other.m_capacity;
            m_block = other.m_block;
            other.Release();
        }
        return *this;
    }

    int32_t Count() const override { return m_count; }
    int32_t Capacity() const { return m_capacity; }

    void Clear() override
    {
        if constexpr (!kSlots) {
            for (int32_t i = 0; i < m_count; ++i)
                delete m_block[m_front + i];
        }
        Free(m_block);
        Release();
    }

    T& At(int32_t index) override
    {
        if (index < 0 || index >= m_count)
            IndexFatal<T>(index, m_count);
        return *Element(index);
    }

    T* ElementOrNull(int32_t index) override
    {
        return index >= 0 && index < m_count ? Element(index) : nullptr;
    }

    T* AppendNew() override { return InsertNew(m_count); }

    T* InsertNew(int32_t index) override
    {
        if (index < 0)
            index = 0;
        if (index > m_count)
            index = m_count;
        if constexpr (kSlots)
            OpenScalarSlot(index);
        else
            OpenPointerSlot(index);
        m_block[m_front + index] = NewSlot();
        ++m_count;
        return Element(index);
    }

    bool RemoveAt(int32_t index) override
    {
        if (index < 0 || index >= m_count)
            return false;
        DestroySlot(m_block[m_front + index]);
        // Close the gap from the shorter side.
        if (index < m_count / 2) {
            MoveSlots(m_front + 1, m_front, index);
            ++m_front;
        } else {
            MoveSlots(m_front + index, m_front + index + 1, m_count - index - 1);
        }
        --m_count;
        return true;
    }

    bool RemoveRange(int32_t first, int32_t last) override
    {
        if (first < 0)
            first = 0;
        if (last > m_count - 1)
            last = m_count - 1;
        if (last < first)
            return false;
        if (first == 0 && last == m_count - 1) {
            Clear();
            return true;
        }
        for (int32_t i = first; i <= last; ++i)
            DestroySlot(m_block[m_front + i]);
        int32_t removed = last - first + 1;
        MoveSlots(m_front + first, m_front + last + 1, m_count - last - 1);
        m_count -= removed;
        return true;
    }

    void Resize(int32_t n) override
    {
        if (n <= 0) {
            Clear();
            return;
        }
        if constexpr (kSlots)
            ResizeScalarBlock(n);
        else
            ResizePointerBlock(n);
        for (; m_count < n; ++m_count)
            m_block[m_front + m_count] = NewSlot();
    }

    void Reserve(int32_t n) override
    {
        if constexpr (kSlots) {
            if (n > m_capacity)
                Regrow(PreferredCapacity(n));
        } else {
            ReservePointers(n);
        }
    }

    bool Swap(int32_t a, int32_t b) override
    {
        if (a < 0 || b < 0 || a >= m_count || b >= m_count || a == b)
            return false;
        std::swap(m_block[m_front + a], m_block[m_front + b]);
        return true;
    }

    void Move(int32_t a, int32_t b) override
    {
        if (a >= b || m_count < 2 || a < 0 || b >= m_count)
            return;
        Slot moving = m_block[m_front + a];
        MoveSlots(m_front + a, m_front + a + 1, b - a);
        m_block[m_front + b] = moving;
    }

    bool Rotate(int32_t n) override
    {
        if (!this->NormalizeRotation(m_count, n, true))
            return false;
        this->RotateSlots(m_block + m_front, m_count, n);
        return true;
    }

    void Sort(bool descending = false) override
    {
        if constexpr (std::is_same_v<T, String>) {
            if (m_count > 1)
                qsort(m_block + m_front, static_cast<size_t>(m_count), sizeof(Slot),
                      descending ? CompareStringPointersDescending : CompareStringPointersAscending);
        } else {
            (void)descending;
            this->Unsupported(SequenceLine::kSort);
        }
    }

    T* First(SequenceCursor& cursor) override
    {
        cursor.index = 0;
        return ElementOrNull(0);
    }

    T* Next(SequenceCursor& cursor) override { return ElementOrNull(++cursor.index); }

    T* RandomElement() override
    {
        return ElementOrNull(m_count <= 1 ? 0 : RandomBelow(m_count));
    }

private:
    T* Element(int32_t index)
    {
        if constexpr (kSlots)
            return &m_block[m_front + index];
        else
            return m_block[m_front + index];
    }

    static Slot NewSlot()
    {
        if constexpr (kSlots)
            return T();
        else
            return new T();
    }

    static void DestroySlot(Slot slot)
    {
        if constexpr (!kSlots)
            delete slot;
        else
            (void)slot;
    }

    void Release()
    {
        m_block = nullptr;
        m_count = m_front = m_capacity = 0;
    }

    void MoveSlots(int32_t to, int32_t from, int32_t count)
    {
        if (count > 0)
            memmove(static_cast<void*>(m_block + to), m_block + from, static_cast<size_t>(count) * sizeof(Slot));
    }

    // Moves the elements so that the first one sits in slot `front`.
    void Place(int32_t front)
    {
        MoveSlots(front, m_front, m_count);
        m_front = front;
    }

    // Grows or shrinks the block in place; the slots keep their offsets.
    void Regrow(int32_t capacity)
    {
        m_block = static_cast<Slot*>(ReallocateSlots(m_block, capacity, sizeof(Slot)));
        m_capacity = capacity;
    }

    static int32_t Clamp(int32_t value, int32_t low, int32_t high)
    {
        return value < low ? low : value > high ? high : value;
    }

    static int32_t PreferredCapacity(int32_t n)
    {
        int64_t wanted = 3 * static_cast<int64_t>(n);
        if (wanted < 14)
            return 6;
        wanted /= 2;
        if (wanted * static_cast<int64_t>(sizeof(Slot)) > 8192)
            wanted = static_cast<int64_t>(n) + 2048;
        // Beyond this the allocation fails anyway; ReallocateSlots reports it.
        return wanted > 0x7fffffff ? 0x7fffffff : static_cast<int32_t>(wanted);
    }

    // Makes slot `index` free for the scalar kind; the caller fills it.
    void OpenScalarSlot(int32_t index)
    {
        int32_t n = m_count;
        if (n >= m_capacity) {
            Regrow(PreferredCapacity(n + 1));
            if (n == 0)
                m_front = (m_capacity - n - 1) / 4;
        }
        int32_t c = m_capacity;
        if (index == n) {
            if (m_front + n >= c)
                Place(Clamp((c - n) / 4 / 2, 0, c - n - 1));
        } else if (index == 0) {
            if (m_front > 0) {
                --m_front;
            } else {
                Place(Clamp((c - n - 1) / 4, 0, c - n - 1) + 1);
                --m_front;
            }
        } else if (m_front <= 0 || (index >= n / 2 && n + m_front < c)) {
            MoveSlots(m_front + index + 1, m_front + index, n - index);
        } else {
            MoveSlots(m_front - 1, m_front, index);
            --m_front;
        }
    }

    // Makes slot `index` free for the pointer kind, on the side with more room.
    void OpenPointerSlot(int32_t index)
    {
        if (m_count >= m_capacity)
            ReservePointers(m_count + 1);
        int32_t freeSlots = m_capacity - m_count;
        if (freeSlots / 2 < m_front) {
            MoveSlots(m_front - 1, m_front, index);
            --m_front;
        } else {
            MoveSlots(m_front + index + 1, m_front + index, m_count - index);
        }
    }

    void ReservePointers(int32_t n)
    {
        if (n < m_count)
            n = m_count;
        if (n > m_capacity || (n > 500 && n < m_capacity / 4)) {
            int64_t capacity = static_cast<int64_t>(n) + n / 2;
            if (capacity > 0x7fffffff)
                capacity = 0x7fffffff;
            Slot* block = static_cast<Slot*>(ReallocateSlots(nullptr, capacity, sizeof(Slot)));
            int32_t front = n / 4;
            if (m_count > 0)
                memcpy(static_cast<void*>(block + front), m_block + m_front, static_cast<size_t>(m_count) * sizeof(Slot));
            Free(m_block);
            m_block = block;
            m_capacity = static_cast<int32_t>(capacity);
            m_front = front;
        } else if (m_front + n > m_capacity) {
            Place((m_capacity - n) / 2);
        }
    }

    void ResizeScalarBlock(int32_t n)
    {
        int32_t kept = m_count < n ? m_count : n;
        int32_t preferred = PreferredCapacity(n);
        if (n > m_capacity) {
            Regrow(preferred);
        } else if ((static_cast<int64_t>(m_capacity) - preferred) * static_cast<int64_t>(sizeof(Slot)) > 8191) {
            // Far too large: a fresh block of the preferred size, elements re-centred.
            Slot* block = static_cast<Slot*>(ReallocateSlots(nullptr, preferred, sizeof(Slot)));
            int32_t front = (preferred - n) / 4;
            if (kept > 0)
                memcpy(static_cast<void*>(block + front), m_block + m_front, static_cast<size_t>(kept) * sizeof(Slot));
            Free(m_block);
            m_block = block;
            m_capacity = preferred;
            m_front = front;
        }
        m_count = kept;
        if (m_front + n > m_capacity)
            Place((m_capacity - n) / 4);
    }

    void ResizePointerBlock(int32_t n)
    {
        while (m_count > n)
            delete m_block[m_front + --m_count];
        ReservePointers(n);
    }

    int32_t m_count = 0;
    int32_t m_front = 0;
    int32_t m_capacity = 0;
    Slot* m_block = nullptr;
};
