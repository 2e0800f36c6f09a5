#pragma once
#include "payload/BitWriter.h"
#include <cstdint>

// The fast level of the encoder: hash chains and lazy matching, over the input cut into
// segments of kSegmentSize bytes that are parsed independently of one another, each with
// all the data before it as its window. The bit streams of the segments, joined in order,
// are the block's tokens.
//
// Matches come from two indexes:
//  - the far index, over the whole input (up to kFarWindow bytes back): a chain through
//    the anchors with the same 8 bytes. An anchor is a position whose 8 bytes hash into
//    one quarter of the hash values, so equal text has its anchors in the same places
//    wherever it occurs; a search at a position looks at the next anchor and steps back.
//    Built once, segment after segment in order, then only read.
//  - the near index, over the last kNearWindow bytes: a chain through every position
//    with the same 4 bytes, for the short and close matches. Each parser keeps its own
//    and fills it from the kNearWindow bytes before its segment.
// At each position the parser takes the match or run that saves the most bits over
// literals, unless the next position or the one after offers more (lazy matching).
//
// So once the far index covers a segment, any thread may parse it, and the block is the
// same bytes whatever the order, the number of threads, or which thread parsed what.
//
// Use: Init; then IndexSegment(k) for k = 0, 1, ... in order, one at a time; ParseSegment(k)
// after IndexSegment(k), with a Scratch that no other thread uses at the same time;
// segments may be parsed in any order and at the same time. IndexSegment(k) for an
// input longer than kFarWindow overwrites the index of the bytes kFarWindow before it, so
// it must not run before ParseSegment(k - kMaxIndexLead) has finished
// (IndexMayRun tells). IndexSegment(k) reads the input up to IndexedThrough(k);
// ParseSegment(k) up to the segment's end.
//
// Memory: 4 bytes per input byte (at most kFarWindow) for the far index and 4 MB for its
// heads, plus 1.3 MB per Scratch, plus the output.
class LazyEncoder {
public:
    static constexpr uint32_t kSegmentSize = uint32_t(1) << 20;
    static constexpr uint32_t kFarWindow = uint32_t(1) << 27;
    static constexpr uint32_t kMaxIndexLead = 6;
    static constexpr uint32_t kNearWindow = uint32_t(1) << 18;

    // A parser's own tables: the near index and the far search it may reuse.
    class Scratch {
    public:
        Scratch() = default;
        ~Scratch();
        Scratch(const Scratch&) = delete;
        Scratch& operator=(const Scratch&) = delete;

    private:
        friend class LazyEncoder;
        bool Allocate();

        uint32_t* m_heads = nullptr;
        uint32_t* m_links = nullptr;
    };

    LazyEncoder() = default;
    ~LazyEncoder();
    LazyEncoder(const LazyEncoder&) = delete;
    LazyEncoder& operator=(const LazyEncoder&) = delete;

    // False when the memory cannot be had.
    bool Init(const uint8_t* data, uint32_t size);
    bool InitScratch(Scratch& scratch) { return scratch.Allocate(); }

    uint32_t SegmentCount() const { return m_segments; }
    uint32_t SegmentStart(uint32_t k) const { return k * kSegmentSize; }
    uint32_t SegmentEnd(uint32_t k) const;
    // How far IndexSegment(k) reads.
    uint32_t IndexedThrough(uint32_t k) const;
    // Whether IndexSegment(k) may run once ParseSegment has finished for every segment
    // below `parsedBelow`.
    bool IndexMayRun(uint32_t k, uint32_t parsedBelow) const;

    void IndexSegment(uint32_t k);
    // Appends segment k's tokens to `out`.
    void ParseSegment(uint32_t k, Scratch& scratch, BitWriter& out) const;

private:
    struct Candidate;
    class SegmentParser;

    const uint8_t* m_data = nullptr;
    uint32_t m_size = 0;
    uint32_t m_segments = 0;
    uint32_t m_farMask = 0;    // slots of the far index - 1
    uint32_t* m_farHeads = nullptr;
    uint32_t* m_farLinks = nullptr; // by position (modulo the window), at anchors only
};
