#pragma once
#include "core/List.h"
#include "core/String.h"

template <typename V, typename K>
class HashTable;

// One entry of HashTable<V, K>: the key, the chain it lives in, its neighbours on the
// table-wide chain that runs from the newest entry to the oldest, and the value. The
// table links and unlinks entries; users read them and may change the value.
template <typename V, typename K = String>
class Bucket {
public:
    const K& Key() const { return m_key; }
    V& Value() { return m_value; }
    const V& Value() const { return m_value; }
    List<Bucket>* Owner() const { return m_owner; }
    Bucket* Newer() const { return m_newer; }
    Bucket* Older() const { return m_older; }

private:
    friend class HashTable<V, K>;

    K m_key = K();
    List<Bucket>* m_owner = nullptr;
    Bucket* m_newer = nullptr;
    Bucket* m_older = nullptr;
    V m_value = V();
};
