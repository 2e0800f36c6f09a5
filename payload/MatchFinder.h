#pragma once
#include <cstdint>

// Finds earlier copies of the bytes at each position of the encoder's input, for matches
// at any distance the window allows (the whole input up to kMaxWindow positions).
//
// A binary tree per 4-byte hash holds every position inserted so far, ordered by the
// bytes that follow it, with the newest position at the root: walking down from the root
// meets ever older positions and ever longer common prefixes, so the matches come out
// with increasing length and increasing distance, which is what the parser wants (for
// each length, the nearest copy). The walk stops after `cutValue` nodes, or at a match
// of the nice length, which then replaces the old node in the tree.
//
// The block format only copies from bytes produced before the copy (length <= distance)
// and from distances of 4 or more, so reported lengths are cut to the distance and
// nearer copies are not reported.
//
// Memory: 8 bytes per position of the window plus the hash heads; Init answers false
// when that cannot be allocated.
//
// Lanes: the positions fall into 2^laneBits lanes by their hash, and a lane's trees only
// ever hold its own positions. Each lane can therefore be walked on its own thread, each
// in position order, visiting only its own positions, and every position gets the very
// matches one walk over all positions would give it. The threads share only the data and
// write only their own positions' nodes; on inputs over kMaxWindow they must stay within
// kMaxWindow positions of one another, since a slot is then reused by a later position.
struct Match {
    uint32_t length;
    uint32_t distance;
};

class MatchFinder {
public:
    static constexpr uint32_t kMaxWindow = uint32_t(1) << 27;
    static constexpr uint32_t kMinMatch = 4;

    MatchFinder() = default;
    ~MatchFinder();
    MatchFinder(const MatchFinder&) = delete;
    MatchFinder& operator=(const MatchFinder&) = delete;

    // laneBits: see Lanes above; 0 for one walk over every position.
    bool Init(const uint8_t* data, uint32_t size, uint32_t cutValue, uint32_t niceLength, uint32_t laneBits = 0);

    // Positions must be visited in order, each by exactly one of Find and Skip.
    // Find writes at most niceLength - 3 matches to `matches` and answers their number;
    // lengths are at most min(niceLength, bytes left).
    uint32_t Find(uint32_t position, Match* matches);
    void Skip(uint32_t position);

    static constexpr uint32_t kMaxLaneBits = 2;
    static constexpr uint32_t kMaxLanes = uint32_t(1) << kMaxLaneBits;
    // The lane of `position`, below 2^laneBits.
    uint32_t Lane(uint32_t position) const;

private:
    uint32_t Bucket(const uint8_t* current) const;
    uint32_t Walk(uint32_t position, Match* matches);
    uint32_t Slot(uint32_t position) const { return m_cyclic ? position & (kMaxWindow - 1) : position; }

    const uint8_t* m_data = nullptr;
    uint32_t m_size = 0;
    uint32_t m_cutValue = 0;
    uint32_t m_niceLength = 0;
    bool m_cyclic = false;
    uint32_t m_hashBits = 0;
    uint32_t m_laneShift = 0; // a bucket's lane is its number shifted right by this
    uint32_t m_lanes = 1;
    uint32_t* m_heads = nullptr; // position + 1 of each tree's root; 0 for none
    uint32_t* m_children = nullptr; // two per slot, position + 1 or 0
};
