#pragma once
#include "core/Vector.h"

// Last in, first out, over a Vector. Popping an empty stack is a broken invariant.
template <typename T>
class Stack {
public:
    T* Push(const T& value) { return m_items.Append(value); }
    T* Push(T&& value) { return m_items.Append(std::move(value)); }

    // The element on top, or null when empty.
    T* Top() { return m_items.ElementOrNull(m_items.Count() - 1); }

    T Pop()
    {
        if (m_items.IsEmpty())
            FatalMessage("Stack<%s>::pop", TypeNameOf<T>().Text());
        return m_items.TakeAt(m_items.Count() - 1);
    }

    int32_t Count() const { return m_items.Count(); }
    bool IsEmpty() const { return m_items.IsEmpty(); }
    void Clear() { m_items.Clear(); }

private:
    Vector<T> m_items;
};
