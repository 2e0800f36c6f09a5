#include "core/VectorSlots.h"
#include <cstdlib>
#include <cstring>

// Vectors are made in many places; not even analysed across calls, so that GCC calls this
// instead of copying its stores into each.
__attribute__((noipa)) VectorSlots::VectorSlots(const VectorKind& kind) : m_kind(&kind) {}

void* VectorSlots::ElementOrNull(int32_t index) const
{
    if (index < 0 || index >= m_count)
        return nullptr;
    char* slot = Slot(index);
    if (!m_kind->make)
        return slot;
    void* element;
    memcpy(&element, slot, sizeof(element));
    return element;
}

void* VectorSlots::At(int32_t index) const
{
    if (index < 0 || index >= m_count)
        IndexFatalNamed(m_kind->typeName, index, m_count);
    return ElementOrNull(index);
}

void* VectorSlots::First(SequenceCursor& cursor) const
{
    cursor.index = 0;
    return ElementOrNull(0);
}

void* VectorSlots::Next(SequenceCursor& cursor) const
{
    return ElementOrNull(++cursor.index);
}

void* VectorSlots::RandomElement() const
{
    return ElementOrNull(m_count <= 1 ? 0 : RandomBelow(m_count));
}

void* VectorSlots::MakeElement(int32_t index)
{
    char* slot = Slot(index);
    if (!m_kind->make) {
        memset(slot, 0, m_kind->slotSize);
        return slot;
    }
    void* element = m_kind->make();
    memcpy(slot, &element, sizeof(element));
    return element;
}

void VectorSlots::DestroyElement(int32_t index)
{
    if (!m_kind->destroy)
        return;
    void* element;
    memcpy(&element, Slot(index), sizeof(element));
    m_kind->destroy(element);
}

void VectorSlots::Release()
{
    m_block = nullptr;
    m_count = m_front = m_capacity = 0;
}

void VectorSlots::Clear()
{
    for (int32_t i = 0; i < m_count; ++i)
        DestroyElement(i);
    Free(m_block);
    Release();
}

void VectorSlots::TakeOver(VectorSlots& other)
{
    if (this == &other)
        return;
    Clear();
    m_count = other.m_count;
    m_front = other.m_front;
    m_capacity = other.m_capacity;
    m_block = other.m_block;
    other.Release();
}

void* VectorSlots::InsertNew(int32_t index)
{
    if (index < 0)
        index = 0;
    if (index > m_count)
        index = m_count;
    if (m_kind->make)
        OpenPointerSlot(index);
    else
        OpenScalarSlot(index);
    void* element = MakeElement(index);
    ++m_count;
    return element;
}

bool VectorSlots::RemoveAt(int32_t index)
{
    if (index < 0 || index >= m_count)
        return false;
    DestroyElement(index);
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

bool VectorSlots::RemoveRange(int32_t first, int32_t last)
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
        DestroyElement(i);
    MoveSlots(m_front + first, m_front + last + 1, m_count - last - 1);
    m_count -= last - first + 1;
    return true;
}

void VectorSlots::Resize(int32_t n)
{
    if (n <= 0) {
        Clear();
        return;
    }
    if (m_kind->make) {
        while (m_count > n)
            DestroyElement(--m_count);
        ReservePointers(n);
    } else {
        ResizeScalarBlock(n);
    }
    for (; m_count < n; ++m_count)
        MakeElement(m_count);
}

void VectorSlots::Reserve(int32_t n)
{
    if (m_kind->make)
        ReservePointers(n);
    else if (n > m_capacity)
        Regrow(PreferredCapacity(n));
}

bool VectorSlots::Swap(int32_t a, int32_t b)
{
    if (a < 0 || b < 0 || a >= m_count || b >= m_count || a == b)
        return false;
    SwapSlots(a, b);
    return true;
}

void VectorSlots::Move(int32_t a, int32_t b)
{
    if (a >= b || m_count < 2 || a < 0 || b >= m_count)
        return;
    uint32_t size = m_kind->slotSize;
    char moving[8];
    memcpy(moving, Slot(a), size);
    MoveSlots(m_front + a, m_front + a + 1, b - a);
    memcpy(Slot(b), moving, size);
}

bool VectorSlots::Rotate(int32_t n)
{
    if (m_count < 2)
        return false;
    n %= m_count;
    if (n == 0)
        return false;
    if (n < 0)
        n += m_count;
    // Three reversals: the first n, the rest, then the whole.
    const int32_t ranges[3][2] = { { 0, n }, { n, m_count }, { 0, m_count } };
    for (const auto& range : ranges) {
        for (int32_t from = range[0], to = range[1] - 1; from < to; ++from, --to)
            SwapSlots(from, to);
    }
    return true;
}

void VectorSlots::Sort(bool descending)
{
    auto compare = descending ? m_kind->descending : m_kind->ascending;
    if (!compare)
        InternalFatal("core", SequenceLine::kSort);
    if (m_count > 1)
        qsort(Slot(0), static_cast<size_t>(m_count), m_kind->slotSize, compare);
}

void VectorSlots::SwapSlots(int32_t a, int32_t b)
{
    char* x = Slot(a);
    char* y = Slot(b);
    for (uint32_t i = 0; i < m_kind->slotSize; ++i) {
        char c = x[i];
        x[i] = y[i];
        y[i] = c;
    }
}

void VectorSlots::MoveSlots(int32_t to, int32_t from, int32_t count)
{
    size_t size = m_kind->slotSize;
    if (count > 0)
        memmove(m_block + static_cast<size_t>(to) * size, m_block + static_cast<size_t>(from) * size,
                static_cast<size_t>(count) * size);
}

// Moves the elements so that the first one sits in slot `front`.
void VectorSlots::Place(int32_t front)
{
    MoveSlots(front, m_front, m_count);
    m_front = front;
}

// Grows or shrinks the block in place; the slots keep their offsets.
void VectorSlots::Regrow(int32_t capacity)
{
    m_block = static_cast<char*>(ReallocateSlots(m_block, capacity, m_kind->slotSize));
    m_capacity = capacity;
}

static int32_t Clamp(int32_t value, int32_t low, int32_t high)
{
    return value < low ? low : value > high ? high : value;
}

int32_t VectorSlots::PreferredCapacity(int32_t n) const
{
    int64_t wanted = 3 * static_cast<int64_t>(n);
    if (wanted < 14)
        return 6;
    wanted /= 2;
    if (wanted * static_cast<int64_t>(m_kind->slotSize) > 8192)
        wanted = static_cast<int64_t>(n) + 2048;
    // Beyond this the allocation fails anyway; ReallocateSlots reports it.
    return wanted > 0x7fffffff ? 0x7fffffff : static_cast<int32_t>(wanted);
}

// Makes slot `index` free for the scalar kind; the caller fills it.
void VectorSlots::OpenScalarSlot(int32_t index)
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
void VectorSlots::OpenPointerSlot(int32_t index)
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

void VectorSlots::ReservePointers(int32_t n)
{
    if (n < m_count)
        n = m_count;
    if (n > m_capacity || (n > 500 && n < m_capacity / 4)) {
        int64_t capacity = static_cast<int64_t>(n) + n / 2;
        if (capacity > 0x7fffffff)
            capacity = 0x7fffffff;
        char* block = static_cast<char*>(ReallocateSlots(nullptr, capacity, sizeof(void*)));
        int32_t front = n / 4;
        if (m_count > 0)
            memcpy(block + static_cast<size_t>(front) * sizeof(void*), Slot(0),
                   static_cast<size_t>(m_count) * sizeof(void*));
        Free(m_block);
        m_block = block;
        m_capacity = static_cast<int32_t>(capacity);
        m_front = front;
    } else if (m_front + n > m_capacity) {
        Place((m_capacity - n) / 2);
    }
}

void VectorSlots::ResizeScalarBlock(int32_t n)
{
    uint32_t size = m_kind->slotSize;
    int32_t kept = m_count < n ? m_count : n;
    int32_t preferred = PreferredCapacity(n);
    if (n > m_capacity) {
        Regrow(preferred);
    } else if ((static_cast<int64_t>(m_capacity) - preferred) * static_cast<int64_t>(size) > 8191) {
        // Far too large: a fresh block of the preferred size, elements re-centred.
        char* block = static_cast<char*>(ReallocateSlots(nullptr, preferred, size));
        int32_t front = (preferred - n) / 4;
        if (kept > 0)
            memcpy(block + static_cast<size_t>(front) * size, Slot(0), static_cast<size_t>(kept) * size);
        Free(m_block);
        m_block = block;
        m_capacity = preferred;
        m_front = front;
    }
    m_count = kept;
    if (m_front + n > m_capacity)
        Place((m_capacity - n) / 4);
}
