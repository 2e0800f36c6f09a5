#pragma once
#include "core/Sequence.h"
#include <cstdlib>

// The exact-size array: one allocation of exactly count default-constructed elements,
// or null when empty. It keeps no spare room, so every change of the count (append,
// insert, remove, resize, rotate) allocates a new block and moves the kept elements
// over. That makes it compact and slow to build one element at a time: it is meant for
// sizes set once or rarely (hash-table chains, small lists of texts).
template <typename T>
class Array final : public Sequence<T> {
public:
    using Sequence<T>::At;
    using Sequence<T>::ElementOrNull;

    Array() = default;
    explicit Array(int32_t count) { Resize(count); }
    Array(const Array& other) : Sequence<T>() { CopyFrom(other); }
    Array(Array&& other) : Sequence<T>(), m_count(other.m_count), m_elements(other.m_elements)
    {
        other.m_count = 0;
        other.m_elements = nullptr;
    }
    ~Array() override { Clear(); }

    Array& operator=(const Array& other)
    {
        if (this != &other) {
            Clear();
            CopyFrom(other);
        }
        return *this;
    }
    Array& operator=(Array&& other)
    {
        if (this != &other) {
            Clear();
            m_count = other.m_count;
            m_elements = other.m_elements;
            other.m_count = 0;
            other.m_elements = nullptr;
        }
        return *this;
    }

    int32_t Count() const override { return m_count; }

    void Clear() override
    {
        delete[] m_elements;
        m_elements = nullptr;
        m_count = 0;
    }

    T& At(int32_t index) override
    {
        if (index < 0 || index >= m_count)
            IndexFatal<T>(index, m_count);
        return m_elements[index];
    }

    T* ElementOrNull(int32_t index) override
    {
        return index >= 0 && index < m_count ? &m_elements[index] : nullptr;
    }

    T* AppendNew() override { return InsertNew(m_count); }

    T* InsertNew(int32_t index) override
    {
        if (index < 0)
            index = 0;
        if (index > m_count)
            index = m_count;
        T* block = NewBlock(static_cast<int64_t>(m_count) + 1);
        MoveOver(block, 0, 0, index);
        MoveOver(block, index + 1, index, m_count - index);
        Replace(block, m_count + 1);
        return &m_elements[index];
    }

    bool RemoveAt(int32_t index) override
    {
        return index >= 0 && index < m_count && RemoveRange(index, index);
    }

    bool RemoveRange(int32_t first, int32_t last) override
    {
        if (first < 0)
            first = 0;
        if (last > m_count - 1)
            last = m_count - 1;
        if (last < first)
            return false;
        int32_t count = m_count - (last - first + 1);
        if (count == 0) {
            Clear();
            return true;
        }
        T* block = NewBlock(count);
        MoveOver(block, 0, 0, first);
        MoveOver(block, first, last + 1, m_count - last - 1);
        Replace(block, count);
        return true;
    }

    void Resize(int32_t n) override
    {
        if (n <= 0) {
            Clear();
            return;
        }
        if (n == m_count)
            return;
        T* block = NewBlock(n);
        MoveOver(block, 0, 0, n < m_count ? n : m_count);
        Replace(block, n);
    }

    // No spare room to prepare.
    void Reserve(int32_t) override {}

    bool Swap(int32_t a, int32_t b) override
    {
        if (a < 0 || b < 0 || a >= m_count || b >= m_count || a == b)
            return false;
        std::swap(m_elements[a], m_elements[b]);
        return true;
    }

    void Move(int32_t a, int32_t b) override
    {
        if (a >= b || m_count < 2 || a < 0 || b >= m_count)
            return;
        T moving(std::move(m_elements[a]));
        for (int32_t i = a; i < b; ++i)
            m_elements[i] = std::move(m_elements[i + 1]);
        m_elements[b] = std::move(moving);
    }

    // Only forward: a negative n answers false.
    bool Rotate(int32_t n) override
    {
        if (!this->NormalizeRotation(m_count, n, false))
            return false;
        T* block = NewBlock(m_count);
        for (int32_t i = 0; i < m_count; ++i)
            block[i] = std::move(m_elements[(i + n) % m_count]);
        Replace(block, m_count);
        return true;
    }

    void Sort(bool descending = false) override
    {
        if constexpr (std::is_same_v<T, String>) {
            // A String holds no pointer to itself, so qsort may move it byte by byte.
            if (m_count > 1)
                qsort(static_cast<void*>(m_elements), static_cast<size_t>(m_count), sizeof(T),
                      descending ? CompareStringsDescending : CompareStringsAscending);
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
    static T* NewBlock(int64_t count)
    {
        // new[] of a size a 32-bit program cannot hold must not wrap around.
        if (count * static_cast<int64_t>(sizeof(T)) > 0x7fffffff) {
            OutOfMemoryHandler(static_cast<uint32_t>(count * static_cast<int64_t>(sizeof(T))));
            return nullptr;
        }
        return new T[static_cast<size_t>(count)]();
    }

    void MoveOver(T* block, int32_t to, int32_t from, int32_t count)
    {
        for (int32_t i = 0; i < count; ++i)
            block[to + i] = std::move(m_elements[from + i]);
    }

    void Replace(T* block, int32_t count)
    {
        delete[] m_elements;
        m_elements = block;
        m_count = count;
    }

    void CopyFrom(const Array& other)
    {
        if (other.m_count <= 0)
            return;
        T* block = NewBlock(other.m_count);
        for (int32_t i = 0; i < other.m_count; ++i)
            block[i] = other.m_elements[i];
        Replace(block, other.m_count);
    }

    int32_t m_count = 0;
    T* m_elements = nullptr;
};
