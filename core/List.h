#pragma once
#include "core/Sequence.h"

// The doubly linked list. Each node is one heap block holding the links and the
// element, so an element never moves while the list changes. Indexed operations walk
// from the head; the list has no slots to swap, move or sort (those are fatal), but it
// iterates backward as well as forward.
template <typename T>
class List final : public Sequence<T> {
public:
    struct Node {
        Node* previous = nullptr;
        Node* next = nullptr;
        T value = T();
    };

    using Sequence<T>::At;
    using Sequence<T>::ElementOrNull;

    List() = default;
    List(const List& other) : Sequence<T>() { this->AppendAll(other); }
    List(List&& other) : Sequence<T>(), m_count(other.m_count), m_head(other.m_head), m_tail(other.m_tail)
    {
        other.Release();
    }
    ~List() override { Clear(); }

    List& operator=(const List& other)
    {
        if (this != &other) {
            Clear();
            this->AppendAll(other);
        }
        return *this;
    }
    List& operator=(List&& other)
    {
        if (this != &other) {
            Clear();
            m_count = other.m_count;
            m_head = other.m_head;
            m_tail = other.m_tail;
            other.Release();
        }
        return *this;
    }

    int32_t Count() const override { return m_count; }
    Node* Head() { return m_head; }
    Node* Tail() { return m_tail; }

    void Clear() override
    {
        for (Node* node = m_head; node;) {
            Node* next = node->next;
            delete node;
            node = next;
        }
        Release();
    }

    T& At(int32_t index) override
    {
        Node* node = NodeAt(index);
        if (!node)
            IndexFatal<T>(index, m_count);
        return node->value;
    }

    T* ElementOrNull(int32_t index) override
    {
        Node* node = NodeAt(index);
        return node ? &node->value : nullptr;
    }

    T* AppendNew() override { return &LinkBefore(nullptr)->value; }

    T* InsertNew(int32_t index) override
    {
        if (index < 0)
            index = 0;
        return &LinkBefore(NodeAt(index))->value;
    }

    T* PushFront(const T& value)
    {
        T copy(value);
        T* element = &LinkBefore(m_head)->value;
        *element = std::move(copy);
        return element;
    }
    T* PushBack(const T& value) { return this->Append(value); }

    // The first / last element, which is removed; a default element when empty.
    T PopFront() { return Unlink(m_head); }
    T PopBack() { return Unlink(m_tail); }

    // Unlinks and frees one node of this list; false for null.
    bool RemoveNode(Node* node)
    {
        if (!node)
            return false;
        Detach(node);
        delete node;
        return true;
    }

    // Remove up to n nodes from the front / end; answer how many went.
    int32_t RemoveFirst(int32_t n)
    {
        int32_t removed = 0;
        for (; removed < n && m_head; ++removed)
            RemoveNode(m_head);
        return removed;
    }
    int32_t RemoveLast(int32_t n)
    {
        int32_t removed = 0;
        for (; removed < n && m_tail; ++removed)
            RemoveNode(m_tail);
        return removed;
    }

    bool RemoveAt(int32_t index) override { return RemoveNode(NodeAt(index)); }

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
        Node* node = NodeAt(first);
        for (int32_t i = first; i <= last; ++i) {
            Node* next = node->next;
            RemoveNode(node);
            node = next;
        }
        return true;
    }

    void Resize(int32_t n) override
    {
        if (n <= 0) {
            Clear();
            return;
        }
        RemoveLast(m_count - n);
        while (m_count < n)
            AppendNew();
    }

    // Nodes are allocated one at a time; there is no room to prepare.
    void Reserve(int32_t) override {}

    bool Rotate(int32_t n) override
    {
        if (!this->NormalizeRotation(m_count, n, true))
            return false;
        // The first n nodes go behind the tail: node n becomes the head.
        Node* newHead = NodeAt(n);
        Node* newTail = newHead->previous;
        m_tail->next = m_head;
        m_head->previous = m_tail;
        newTail->next = nullptr;
        newHead->previous = nullptr;
        m_head = newHead;
        m_tail = newTail;
        return true;
    }

    T* First(SequenceCursor& cursor) override { return Visit(cursor, m_head); }
    T* Next(SequenceCursor& cursor) override
    {
        Node* node = static_cast<Node*>(cursor.node);
        return Visit(cursor, node ? node->next : nullptr);
    }
    T* Last(SequenceCursor& cursor) override { return Visit(cursor, m_tail); }
    T* Previous(SequenceCursor& cursor) override
    {
        Node* node = static_cast<Node*>(cursor.node);
        return Visit(cursor, node ? node->previous : nullptr);
    }

    T* RandomElement() override
    {
        return ElementOrNull(m_count <= 1 ? 0 : RandomBelow(m_count));
    }

private:
    void Release()
    {
        m_count = 0;
        m_head = m_tail = nullptr;
    }

    Node* NodeAt(int32_t index)
    {
        if (index < 0 || index >= m_count)
            return nullptr;
        Node* node;
        // Walk from the nearer end.
        if (index < m_count / 2) {
            node = m_head;
            for (int32_t i = 0; i < index; ++i)
                node = node->next;
        } else {
            node = m_tail;
            for (int32_t i = m_count - 1; i > index; --i)
                node = node->previous;
        }
        return node;
    }

    // A new default node in front of `before`, or at the end for null.
    Node* LinkBefore(Node* before)
    {
        Node* node = new Node();
        node->next = before;
        node->previous = before ? before->previous : m_tail;
        if (node->previous)
            node->previous->next = node;
        else
            m_head = node;
        if (before)
            before->previous = node;
        else
            m_tail = node;
        ++m_count;
        return node;
    }

    void Detach(Node* node)
    {
        if (node->previous)
            node->previous->next = node->next;
        else
            m_head = node->next;
        if (node->next)
            node->next->previous = node->previous;
        else
            m_tail = node->previous;
        --m_count;
    }

    T Unlink(Node* node)
    {
        if (!node)
            return T();
        T value(std::move(node->value));
        RemoveNode(node);
        return value;
    }

    static T* Visit(SequenceCursor& cursor, Node* node)
    {
        cursor.node = node;
        return node ? &node->value : nullptr;
    }

    int32_t m_count = 0;
    Node* m_head = nullptr;
    Node* m_tail = nullptr;
};
