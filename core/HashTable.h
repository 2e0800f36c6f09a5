#pragma once
#include "core/Array.h"
#include "core/Bucket.h"
#include "core/Checksum.h"

// A chained hash table keyed by String. Each bucket index has its own List of entries;
// all entries are also linked in one table-wide chain in insertion order, which is how
// the table is walked (from Newest() along Older(), or from Oldest() along Newer()).
// Keys compare case-sensitively, byte by byte. The table has no buckets until
// SetBucketCount is called, and rejects every insertion until then.
template <typename V, typename K = String>
class HashTable {
public:
    using Entry = Bucket<V, K>;

    HashTable() = default;
    HashTable(const HashTable& other) { CopyFrom(other); }
    HashTable& operator=(const HashTable& other)
    {
        if (this != &other)
            CopyFrom(other);
        return *this;
    }

    // Empties the table and gives it n chains (n below 0 counts as 0).
    void SetBucketCount(int32_t n)
    {
        if (n < 0)
            n = 0;
        // Entries are dropped with their chains: kept ones would no longer be counted or
        // reachable through the table-wide chain.
        m_buckets.Clear();
        m_buckets.Resize(n);
        m_bucketCount = n;
        m_newest = m_oldest = nullptr;
        m_count = 0;
    }

    int32_t BucketCount() const { return m_bucketCount; }
    int32_t Count() const { return m_count; }
    Entry* Newest() const { return m_newest; }
    Entry* Oldest() const { return m_oldest; }

    // The key's checksum (the program's additive block checksum) taken as unsigned, modulo the bucket count; 0x80000000 when the
    // table has no buckets.
    int32_t BucketOf(const K& key) const
    {
        if (m_bucketCount <= 0)
            return static_cast<int32_t>(0x80000000u);
        return static_cast<int32_t>(Checksum(key) % static_cast<uint32_t>(m_bucketCount));
    }

    // True when a new entry was made. An existing entry with an equal key takes the
    // value and the answer is false; so is the answer of a table without buckets.
    bool Insert(const K& key, const V& value)
    {
        List<Entry>* chain = Chain(key);
        if (!chain)
            return false;
        if (Entry* existing = FindIn(*chain, key)) {
            existing->m_value = value;
            return false;
        }
        Entry* entry = chain->AppendNew();
        entry->m_key = key;
        entry->m_value = value;
        entry->m_owner = chain;
        entry->m_older = m_newest;
        if (m_newest)
            m_newest->m_newer = entry;
        m_newest = entry;
        if (!m_oldest)
            m_oldest = entry;
        ++m_count;
        return true;
    }

    Entry* Find(const K& key)
    {
        List<Entry>* chain = Chain(key);
        return chain ? FindIn(*chain, key) : nullptr;
    }

    bool Contains(const K& key) { return Find(key) != nullptr; }

private:
    List<Entry>* Chain(const K& key)
    {
        int32_t index = BucketOf(key);
        return index < 0 ? nullptr : m_buckets.ElementOrNull(index);
    }

    static Entry* FindIn(List<Entry>& chain, const K& key)
    {
        SequenceCursor cursor;
        for (Entry* entry = chain.First(cursor); entry; entry = chain.Next(cursor)) {
            if (entry->m_key == key)
                return entry;
        }
        return nullptr;
    }

    void CopyFrom(const HashTable& other)
    {
        SetBucketCount(other.m_bucketCount);
        for (Entry* entry = other.m_oldest; entry; entry = entry->m_newer)
            Insert(entry->m_key, entry->m_value);
    }

    Array<List<Entry>> m_buckets;
    int32_t m_bucketCount = 0;
    Entry* m_newest = nullptr;
    Entry* m_oldest = nullptr;
    int32_t m_count = 0;
};
