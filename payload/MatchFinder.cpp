#include "payload/MatchFinder.h"
#include "core/Memory.h"
#include <cstring>

MatchFinder::~MatchFinder()
{
    Free(m_heads);
    Free(m_children);
}

// How far ahead Walk fetches a position's hash head, and its root node.
constexpr uint32_t kHeadAhead = 16;
constexpr uint32_t kRootAhead = 4;
constexpr uint32_t kChildAhead = 2;

static void* TryAllocateZeroed(uint64_t bytes)
{
    void* block = TryAllocateLarge(bytes);
    if (block)
        memset(block, 0, static_cast<size_t>(bytes));
    return block;
}

bool MatchFinder::Init(const uint8_t* data, uint32_t size, uint32_t cutValue, uint32_t niceLength, uint32_t laneBits)
{
    m_data = data;
    m_size = size;
    m_cutValue = cutValue;
    m_niceLength = niceLength < kMinMatch ? kMinMatch : niceLength;
    m_cyclic = size > kMaxWindow;
    // About one head per two positions, within 2^10 ... 2^24.
    m_hashBits = 10;
    while (m_hashBits < 24 && (uint64_t(1) << (m_hashBits + 1)) < size)
        ++m_hashBits;
    laneBits = laneBits < kMaxLaneBits ? laneBits : kMaxLaneBits;
    m_laneShift = m_hashBits - laneBits;
    m_lanes = uint32_t(1) << laneBits;
    uint64_t slots = m_cyclic ? kMaxWindow : (size ? size : 1);
    m_heads = static_cast<uint32_t*>(TryAllocateZeroed((uint64_t(1) << m_hashBits) * sizeof(uint32_t)));
    // Children are always written before they are read; only the heads need clearing.
    m_children = static_cast<uint32_t*>(TryAllocateLarge(slots * 2 * sizeof(uint32_t)));
    return m_heads && m_children;
}

// How far `a` and `b` agree, from `length` up to at most `limit`, eight bytes at a time
// where eight remain before the limit.
static inline uint32_t CommonLength(const uint8_t* a, const uint8_t* b, uint32_t length, uint32_t limit)
{
    while (length + 8 <= limit) {
        uint64_t x;
        uint64_t y;
        memcpy(&x, a + length, 8);
        memcpy(&y, b + length, 8);
        if (x != y) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
            return length + static_cast<uint32_t>(__builtin_clzll(x ^ y) >> 3);
#else
            return length + static_cast<uint32_t>(__builtin_ctzll(x ^ y) >> 3);
#endif
        }
        length += 8;
    }
    while (length < limit && a[length] == b[length])
        ++length;
    return length;
}

uint32_t MatchFinder::Find(uint32_t position, Match* matches)
{
    return Walk(position, matches);
}

void MatchFinder::Skip(uint32_t position)
{
    Walk(position, nullptr);
}

inline uint32_t MatchFinder::Bucket(const uint8_t* current) const
{
    uint32_t word;
    memcpy(&word, current, 4);
    return (word * 2654435761u) >> (32 - m_hashBits);
}

uint32_t MatchFinder::Lane(uint32_t position) const
{
    // The last bytes, too short for a match, are never walked: any lane may take them.
    if (m_size - position < kMinMatch)
        return 0;
    return Bucket(m_data + position) >> m_laneShift;
}

uint32_t MatchFinder::Walk(uint32_t position, Match* matches)
{
    uint32_t limit = m_size - position < m_niceLength ? m_size - position : m_niceLength;
    // Too close to the end for any match; nothing later can start a match here either.
    if (limit < kMinMatch)
        return 0;
    const uint8_t* current = m_data + position;
    uint32_t hash = Bucket(current);
    // A walk waits on memory at every node, the first ones included: the root of this
    // lane's next position a little ahead is fetched now, and the head of one further
    // ahead, so that their walks start from the cache. Only this lane's heads are touched:
    // another lane's belong to another thread.
    uint32_t lane = hash >> m_laneShift;
    if (m_size - position >= kHeadAhead + kMaxLanes + kMinMatch) {
        // The bucket of this lane's first position from `ahead` bytes on, or none.
        auto laneBucket = [&](uint32_t ahead) -> const uint32_t* {
            for (uint32_t d = ahead; d < ahead + m_lanes; ++d) {
                uint32_t bucket = Bucket(current + d);
                if (bucket >> m_laneShift == lane)
                    return m_heads + bucket;
            }
            return nullptr;
        };
        auto fetchNode = [&](uint32_t node) {
            if (node != 0) {
                __builtin_prefetch(m_children + 2 * Slot(node - 1), 1);
                __builtin_prefetch(m_data + node - 1);
            }
        };
        if (const uint32_t* head = laneBucket(kHeadAhead))
            __builtin_prefetch(head, 1);
        // Two positions on, the root has arrived: its children are fetched in turn.
        if (const uint32_t* head = laneBucket(kChildAhead); head && *head != 0) {
            const uint32_t* pair = m_children + 2 * Slot(*head - 1);
            fetchNode(pair[0]);
            fetchNode(pair[1]);
        }
        if (const uint32_t* head = laneBucket(kRootAhead))
            fetchNode(*head);
    }
    uint32_t node = m_heads[hash];
    m_heads[hash] = position + 1;

    uint32_t* smaller = m_children + 2 * Slot(position);
    uint32_t* larger = smaller + 1;
    uint32_t smallerLength = 0;
    uint32_t largerLength = 0;
    uint32_t best = kMinMatch - 1;
    uint32_t count = 0;
    for (uint32_t cut = m_cutValue;; --cut) {
        uint32_t distance = position + 1 - node;
        if (node == 0 || cut == 0 || (m_cyclic && distance >= kMaxWindow)) {
            *smaller = *larger = 0;
            break;
        }
        uint32_t* pair = m_children + 2 * Slot(node - 1);
        const uint8_t* earlier = current - distance;
        // Both neighbours share at least the shorter of their common prefixes with us.
        uint32_t length = smallerLength < largerLength ? smallerLength : largerLength;
        if (earlier[length] == current[length]) {
            length = CommonLength(earlier, current, length + 1, limit);
            if (matches) {
                uint32_t usable = length < distance ? length : distance;
                if (usable > best && distance >= kMinMatch) {
                    best = usable;
                    matches[count++] = Match{ usable, distance };
                }
            }
            if (length == limit) {
                // Equal as far as we look: this node's subtrees become ours.
                *smaller = pair[0];
                *larger = pair[1];
                break;
            }
        }
        if (earlier[length] < current[length]) {
            *smaller = node;
            smaller = pair + 1;
            node = *smaller;
            smallerLength = length;
        } else {
            *larger = node;
            larger = pair;
            node = *larger;
            largerLength = length;
        }
    }
    return count;
}
