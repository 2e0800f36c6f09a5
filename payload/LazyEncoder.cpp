#include "payload/LazyEncoder.h"
#include "core/LittleEndian.h"
#include "core/Memory.h"
#include "payload/BlockTokens.h"
#include <cstring>

// The parameters were tuned on the benchmark corpora (bench/builder): Windows SDK headers,
// where most of the gain is in long copies from far back, and 32-bit modules, where it is
// in short copies from close by amid many literals. They trade some size for speed: this
// level is meant to take no longer than a zlib-based installer builder, and the near
// search and lazy matching were where the time went for the least size. The far search
// keeps its depth, since it is most of the gain on the headers.

namespace {

constexpr int kNearHashBits = 16;
constexpr int kFarHashBits = 20;
// Chain steps per search.
constexpr int kNearDepth = 4;
constexpr int kFarDepth = 16;
// Positions after a match that may offer a better one before it is taken.
constexpr int kLazySteps = 1;
// A match this long is taken without looking at the next positions.
constexpr uint32_t kLazyBelow = 32;
// After a match this long, the lazy searches take a quarter of the steps.
constexpr uint32_t kGoodLength = 16;
// A search stops at a match this long.
constexpr uint32_t kNiceLength = 128;
// Past 2^kSkipShift literals in a row the parser searches every second position, then
// every third, and so on: data that has not matched for that long (compressed resources,
// tables of addresses) rarely starts to, and searching each of its bytes in vain was most
// of the time spent on program files. The first match found ends the skipping, and it
// extends backwards over the bytes skipped; the step stays short enough that a copy
// seldom lies wholly between two searches.
constexpr uint32_t kSkipShift = 5;
constexpr uint32_t kMaxSkip = 32;
constexpr uint32_t kMinMatch = 4;
constexpr uint32_t kMinDistance = 4;
constexpr uint32_t kNone = 0xFFFFFFFFu;

// Far candidates lie within the window minus what IndexSegment may overwrite ahead of the
// oldest segment still being parsed.
constexpr uint32_t kFarLimit =
    LazyEncoder::kFarWindow - (LazyEncoder::kMaxIndexLead + 2) * LazyEncoder::kSegmentSize;

inline uint64_t Hash8(const uint8_t* p)
{
    return LoadLittleEndian64(p) * 0x9E3779B97F4A7C15ull;
}

// One hash value in four: taken from the top bits, which depend on all eight bytes.
inline bool IsAnchor(uint64_t hash)
{
    return ((hash >> (64 - kFarHashBits - 2)) & 3) == 0;
}

inline uint32_t FarBucket(uint64_t hash)
{
    return static_cast<uint32_t>(hash >> (64 - kFarHashBits));
}

inline uint32_t NearBucket(const uint8_t* p)
{
    return (LoadLittleEndian32(p) * 2654435761u) >> (32 - kNearHashBits);
}

// How far `a` and `b` agree, up to `limit`.
inline uint32_t CommonLength(const uint8_t* a, const uint8_t* b, uint32_t limit)
{
    uint32_t length = 0;
    while (length + 8 <= limit) {
        uint64_t x = LoadLittleEndian64(a + length) ^ LoadLittleEndian64(b + length);
        if (x != 0)
            return length + static_cast<uint32_t>(__builtin_ctzll(x) >> 3);
        length += 8;
    }
    while (length < limit && a[length] == b[length])
        ++length;
    return length;
}

} // namespace

// A run (distance 0) or match, with the bits it saves over literals.
struct LazyEncoder::Candidate {
    uint32_t start;
    uint32_t length;
    uint32_t distance;
    int gain;
};

class LazyEncoder::SegmentParser {
public:
    SegmentParser(const LazyEncoder& encoder, Scratch& scratch, uint32_t start, uint32_t end)
        : m_data(encoder.m_data)
        , m_farLinks(encoder.m_farLinks)
        , m_farMask(encoder.m_farMask)
        , m_nearHeads(scratch.m_heads)
        , m_nearLinks(scratch.m_links)
        , m_start(start)
        , m_end(end)
    {
        // The near index holds the window before the segment, as it would had one parser
        // walked the whole input.
        memset(m_nearHeads, 0, sizeof(uint32_t) << kNearHashBits);
        m_nearFilled = start > kNearWindow ? start - kNearWindow : 0;
    }

    void Run(BitWriter& out);

private:
    Candidate Find(uint32_t position, uint32_t literalStart, int depthShift);
    void Consider(uint32_t position, uint32_t source, uint32_t limit, Candidate& best, uint32_t& longest) const;
    void FillNear(uint32_t position);
    uint32_t NextAnchor(uint32_t position);
    void Put(BitWriter& out, uint32_t literalStart, const Candidate& token) const;
    void PutLiterals(BitWriter& out, uint32_t start, uint32_t end) const;

    const uint8_t* m_data;
    const uint32_t* m_farLinks;
    uint32_t m_farMask;
    uint32_t* m_nearHeads;
    uint32_t* m_nearLinks;
    uint32_t m_start;
    uint32_t m_end;
    uint32_t m_nearFilled;
    // The next anchor at or after the last position searched, and how far the hunt for
    // it has read.
    uint32_t m_anchor = kNone;
    uint32_t m_anchorScan = 0;
    // The chain of the last anchor searched: the positions after a match look at the same
    // anchor, and walk no chain again.
    uint32_t m_chainAnchor = kNone;
    uint32_t m_chainCount = 0;
    uint32_t m_chain[kFarDepth];
};

void LazyEncoder::SegmentParser::FillNear(uint32_t position)
{
    constexpr uint32_t mask = kNearWindow - 1;
    for (uint32_t p = m_nearFilled; p < position; ++p) {
        uint32_t bucket = NearBucket(m_data + p);
        m_nearLinks[p & mask] = m_nearHeads[bucket];
        m_nearHeads[bucket] = p + 1;
    }
    if (position > m_nearFilled)
        m_nearFilled = position;
}

uint32_t LazyEncoder::SegmentParser::NextAnchor(uint32_t position)
{
    if (m_anchor != kNone && m_anchor >= position)
        return m_anchor;
    uint32_t p = position > m_anchorScan ? position : m_anchorScan;
    for (; p + 8 <= m_end; ++p) {
        if (IsAnchor(Hash8(m_data + p))) {
            m_anchor = p;
            m_anchorScan = p + 1;
            return p;
        }
    }
    m_anchorScan = p;
    m_anchor = kNone;
    return kNone;
}

// Looks at the copy at `source` for the bytes at `position`. Candidates come nearest
// first, so a later one wins only by being longer than any before it.
inline void LazyEncoder::SegmentParser::Consider(uint32_t position, uint32_t source, uint32_t limit, Candidate& best,
                                                 uint32_t& longest) const
{
    uint32_t distance = position - source;
    if (distance < kMinDistance)
        return;
    if (limit > distance)
        limit = distance; // a copy ends before the bytes it produces
    if (limit <= longest || m_data[source + longest] != m_data[position + longest])
        return;
    uint32_t length = CommonLength(m_data + source, m_data + position, limit);
    if (length < kMinMatch)
        return;
    int gain = 8 * static_cast<int>(length) - MatchTokenBits(length, distance);
    if (gain > best.gain)
        best = Candidate{ position, length, distance, gain };
    if (length > longest)
        longest = length;
}

LazyEncoder::Candidate LazyEncoder::SegmentParser::Find(uint32_t position, uint32_t literalStart, int depthShift)
{
    Candidate best = { position, 0, 0, 0 };
    const uint32_t limit = m_end - position;
    const uint8_t* here = m_data + position;

    uint32_t run = 1;
    while (run < limit && here[run] == here[0])
        ++run;
    if (run >= 3) {
        best = Candidate{ position, run, 0, 8 * static_cast<int>(run) - RunTokenBits(run) };
        if (run >= kNiceLength)
            return best;
    }

    uint32_t longest = kMinMatch - 1;
    FillNear(position);
    uint32_t node = m_nearHeads[NearBucket(here)];
    for (int steps = kNearDepth >> depthShift; steps > 0 && node != 0; --steps) {
        uint32_t source = node - 1;
        if (position - source >= kNearWindow)
            break;
        node = m_nearLinks[source & (kNearWindow - 1)];
        Consider(position, source, limit, best, longest);
        if (longest >= kNiceLength)
            return best;
    }

    uint32_t anchor = NextAnchor(position);
    if (anchor != kNone) {
        if (anchor != m_chainAnchor) {
            m_chainAnchor = anchor;
            m_chainCount = 0;
            uint32_t link = m_farLinks[anchor & m_farMask];
            // Only sources whose 8 bytes are the anchor's are kept: a hash collision
            // costs one read here rather than one per position that searches this anchor.
            uint64_t anchorBytes = LoadLittleEndian64(m_data + anchor);
            uint32_t walked = 0;
            while (walked < kFarDepth && link != 0 && anchor - (link - 1) < kFarLimit) {
                uint32_t source = link - 1;
                link = m_farLinks[source & m_farMask];
                ++walked;
                if (LoadLittleEndian64(m_data + source) != anchorBytes)
                    continue;
                m_chain[m_chainCount++] = source;
            }
        }
        uint32_t back = anchor - position;
        uint32_t count = m_chainCount >> depthShift;
        for (uint32_t i = 0; i < count && m_chain[i] >= back; ++i) {
            Consider(position, m_chain[i] - back, limit, best, longest);
            if (longest >= kNiceLength)
                break;
        }
    }

    // A copy may also cover literals just before the position.
    if (best.distance != 0) {
        uint32_t start = best.start;
        uint32_t length = best.length;
        while (start > literalStart && start > best.distance && length < best.distance &&
               m_data[start - 1] == m_data[start - 1 - best.distance]) {
            --start;
            ++length;
        }
        if (start != best.start)
            best = Candidate{ start, length, best.distance, 8 * static_cast<int>(length) - MatchTokenBits(length, best.distance) };
    }
    return best;
}

void LazyEncoder::SegmentParser::PutLiterals(BitWriter& out, uint32_t start, uint32_t end) const
{
    if (end > start)
        WriteLiteralToken(out, m_data + start, end - start);
}

void LazyEncoder::SegmentParser::Put(BitWriter& out, uint32_t literalStart, const Candidate& token) const
{
    PutLiterals(out, literalStart, token.start);
    if (token.distance == 0)
        WriteRunToken(out, m_data[token.start], token.length);
    else
        WriteMatchToken(out, token.length, token.distance);
}

void LazyEncoder::SegmentParser::Run(BitWriter& out)
{
    uint32_t literalStart = m_start;
    uint32_t position = m_start;
    // A match needs four bytes, and so does the near index's hash.
    while (m_end - position >= kMinMatch) {
        Candidate best = Find(position, literalStart, 0);
        if (best.gain <= 0) {
            uint32_t step = 1 + ((position - literalStart) >> kSkipShift);
            if (step > kMaxSkip)
                step = kMaxSkip;
            position = m_end - position > step ? position + step : m_end;
            continue;
        }
        if (best.length < kLazyBelow) {
            int depthShift = best.length >= kGoodLength ? 2 : 0;
            for (int step = 0; step < kLazySteps && m_end - (position + 1) >= kMinMatch; ++step) {
                Candidate next = Find(position + 1, literalStart, depthShift);
                if (next.gain <= best.gain)
                    break;
                best = next;
                ++position;
            }
        }
        Put(out, literalStart, best);
        position = best.start + best.length;
        literalStart = position;
    }
    PutLiterals(out, literalStart, m_end);
}

LazyEncoder::Scratch::~Scratch()
{
    Free(m_heads);
    Free(m_links);
}

bool LazyEncoder::Scratch::Allocate()
{
    if (!m_heads)
        m_heads = static_cast<uint32_t*>(TryAllocateLarge(sizeof(uint32_t) << kNearHashBits));
    // Links are written before they are read: a chain only reaches positions filled in.
    if (!m_links)
        m_links = static_cast<uint32_t*>(TryAllocateLarge(uint64_t(sizeof(uint32_t)) * kNearWindow));
    return m_heads && m_links;
}

LazyEncoder::~LazyEncoder()
{
    Free(m_farHeads);
    Free(m_farLinks);
}

bool LazyEncoder::Init(const uint8_t* data, uint32_t size)
{
    m_data = data;
    m_size = size;
    m_segments = (size + kSegmentSize - 1) / kSegmentSize;
    bool cyclic = size > kFarWindow;
    m_farMask = cyclic ? kFarWindow - 1 : 0xFFFFFFFFu;
    uint64_t slots = cyclic ? kFarWindow : (size ? size : 1);
    uint64_t headBytes = sizeof(uint32_t) << kFarHashBits;
    m_farHeads = static_cast<uint32_t*>(TryAllocateLarge(headBytes));
    // Only anchors' links are written, and only anchors' links are read.
    m_farLinks = static_cast<uint32_t*>(TryAllocateLarge(slots * sizeof(uint32_t)));
    if (!m_farHeads || !m_farLinks)
        return false;
    memset(m_farHeads, 0, static_cast<size_t>(headBytes));
    return true;
}

uint32_t LazyEncoder::SegmentEnd(uint32_t k) const
{
    uint32_t start = SegmentStart(k);
    return m_size - start < kSegmentSize ? m_size : start + kSegmentSize;
}

uint32_t LazyEncoder::IndexedThrough(uint32_t k) const
{
    uint32_t end = SegmentEnd(k);
    return m_size - end < 7 ? m_size : end + 7;
}

bool LazyEncoder::IndexMayRun(uint32_t k, uint32_t parsedBelow) const
{
    return m_size <= kFarWindow || k <= parsedBelow + kMaxIndexLead + 1;
}

void LazyEncoder::IndexSegment(uint32_t k)
{
    uint32_t end = SegmentEnd(k);
    if (m_size < 8)
        return;
    if (end > m_size - 7)
        end = m_size - 7;
    for (uint32_t p = SegmentStart(k); p < end; ++p) {
        uint64_t hash = Hash8(m_data + p);
        if (!IsAnchor(hash))
            continue;
        uint32_t bucket = FarBucket(hash);
        m_farLinks[p & m_farMask] = m_farHeads[bucket];
        m_farHeads[bucket] = p + 1;
    }
}

void LazyEncoder::ParseSegment(uint32_t k, Scratch& scratch, BitWriter& out) const
{
    SegmentParser parser(*this, scratch, SegmentStart(k), SegmentEnd(k));
    parser.Run(out);
}
