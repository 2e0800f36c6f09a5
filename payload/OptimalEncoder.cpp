#include "payload/OptimalEncoder.h"
#include "core/Memory.h"
#include "payload/BlockTokens.h"

// The parser walks the input in segments. Within a segment it keeps, for every position,
// the cheapest known way to reach it in bits, in two states: arrived by a run or match
// (nlPrice) or by a literal token (litPrice). Runs and matches are relaxed forward from
// each position with their exact prices. A literal token's price is 8 bits per byte plus
// a header that grows by 3 bits each time the count passes a power of 4, so the cheapest
// literal arrival at t is, per header class k, the minimum of price[s] - 8s over the
// window of starts s that class allows: one monotone queue per class gives it in
// amortised constant time. Literal tokens that end up next to each other (the search
// caps a token at 4^kLiteralClasses bytes, and segments cut runs) are joined when
// written, which only makes the block smaller.

namespace {

constexpr uint32_t kSegment = uint32_t(1) << 17;
constexpr int kLiteralClasses = 8;
constexpr uint32_t kInfinity = 0xFFFFFFFFu;
constexpr uint32_t kMinRun = 3;

// An owned array from the program's allocator; no construction, no copying.
template <typename T>
class Scratch {
public:
    ~Scratch() { Free(m_items); }
    bool Allocate(uint64_t count)
    {
        if (count * sizeof(T) > SIZE_MAX)
            return false;
        bool previous = SetOutOfMemoryMode(false);
        m_items = static_cast<T*>(::Allocate(static_cast<size_t>(count * sizeof(T))));
        SetOutOfMemoryMode(previous);
        return m_items != nullptr;
    }
    T& operator[](uint64_t i) { return m_items[i]; }
    T* Data() { return m_items; }

private:
    T* m_items = nullptr;
};

enum class TokenKind : uint8_t { Literal, Run, Match };

struct Token {
    uint32_t start;
    uint32_t length;
    uint32_t distance;
    TokenKind kind;
};

// Fixed prices of the block's tokens in bits.
int LiteralHeaderBits(int headerClass)
{
    return 1 + headerClass + 1 + kLiteralCount.base + headerClass * kLiteralCount.step;
}

// Writes tokens, joining literal tokens that touch.
class TokenWriter {
public:
    TokenWriter(const uint8_t* data, BitWriter& out)
        : m_data(data)
        , m_out(out)
    {
    }

    void Put(const Token& token)
    {
        if (token.kind == TokenKind::Literal) {
            if (m_literalLength > 0 && m_literalStart + m_literalLength == token.start) {
                m_literalLength += token.length;
            } else {
                Flush();
                m_literalStart = token.start;
                m_literalLength = token.length;
            }
            return;
        }
        Flush();
        if (token.kind == TokenKind::Run)
            WriteRunToken(m_out, m_data[token.start], token.length);
        else
            WriteMatchToken(m_out, token.length, token.distance);
    }

    void Flush()
    {
        if (m_literalLength == 0)
            return;
        WriteLiteralToken(m_out, m_data + m_literalStart, m_literalLength);
        m_literalLength = 0;
    }

private:
    const uint8_t* m_data;
    BitWriter& m_out;
    uint32_t m_literalStart = 0;
    uint32_t m_literalLength = 0;
};

// Sliding-window minima of price[s] - 8s over the starts s each literal header class
// allows. One monotone queue serves every class: it holds the suffix minima of the
// widest window (values rising from head to tail), and the minimum over a narrower
// window is its first entry inside that window, so each class keeps only its own head.
class StartQueues {
public:
    bool Init(uint32_t segment)
    {
        uint32_t window = 4;
        for (int k = 0; k < kLiteralClasses; ++k, window *= 4)
            m_windows[k] = window < segment ? window : segment;
        uint32_t widest = m_windows[kLiteralClasses - 1];
        m_mask = 1;
        while (m_mask < widest + 1)
            m_mask <<= 1;
        bool ok = m_positions.Allocate(m_mask) && m_values.Allocate(m_mask);
        --m_mask;
        return ok;
    }
    void Clear()
    {
        m_tail = 0;
        for (uint32_t& head : m_heads)
            head = 0;
    }
    void Push(uint32_t position, int64_t value)
    {
        while (m_tail != m_heads[kLiteralClasses - 1] && m_values[(m_tail - 1) & m_mask] >= value)
            --m_tail;
        m_positions[m_tail & m_mask] = position;
        m_values[m_tail & m_mask] = value;
        ++m_tail;
        // A class's head may have been dropped from the tail: the new entry, inside every
        // window, is then its minimum.
        for (uint32_t& head : m_heads) {
            if (head >= m_tail)
                head = m_tail - 1;
        }
    }
    // The best start for a literal token of class k ending at `end`, or false when none
    // is left.
    bool Best(int k, uint32_t end, uint32_t& position, int64_t& value)
    {
        uint32_t& head = m_heads[k];
        while (head != m_tail && m_positions[head & m_mask] + m_windows[k] < end)
            ++head;
        if (head == m_tail)
            return false;
        position = m_positions[head & m_mask];
        value = m_values[head & m_mask];
        return true;
    }

private:
    Scratch<uint32_t> m_positions;
    Scratch<int64_t> m_values;
    uint32_t m_windows[kLiteralClasses] = {};
    uint32_t m_heads[kLiteralClasses] = {};
    uint32_t m_mask = 0;
    uint32_t m_tail = 0;
};

class Parser {
public:
    Parser(const uint8_t* data, uint32_t size, MatchSource& source, BitWriter& out)
        : m_data(data)
        , m_size(size)
        , m_source(source)
        , m_writer(data, out)
    {
    }

    bool Run();

private:
    bool Allocate();
    uint32_t RunLength(uint32_t position);
    // Parses from `base` and answers where the next segment starts.
    uint32_t ParseSegment(uint32_t base);
    void WriteBackward(uint32_t base, uint32_t end);

    const uint8_t* m_data;
    uint32_t m_size;
    MatchSource& m_source;
    TokenWriter m_writer;

    Scratch<uint32_t> m_price;    // cheapest arrival in either state
    Scratch<uint32_t> m_nlPrice;  // cheapest arrival by run or match
    Scratch<uint32_t> m_nlLength;
    Scratch<uint32_t> m_nlDistance; // 0 for a run
    Scratch<uint32_t> m_litPrice; // cheapest arrival by literal token
    Scratch<uint32_t> m_litStart;
    Scratch<Token> m_tokens;
    Scratch<uint16_t> m_lengthBits;
    StartQueues m_queues;
    uint32_t m_runEnd = 0;
    uint32_t m_reach = 0; // the furthest slot a segment has set
};

bool Parser::Allocate()
{
    // Small inputs need no more than their own length of parser state.
    uint64_t segment = m_size < kSegment ? m_size : kSegment;
    uint64_t slots = segment + kOptimalNiceLength + 1;
    if (!m_price.Allocate(slots) || !m_nlPrice.Allocate(slots) || !m_nlLength.Allocate(slots) ||
        !m_nlDistance.Allocate(slots) || !m_litPrice.Allocate(slots) || !m_litStart.Allocate(slots) ||
        !m_tokens.Allocate(slots) || !m_lengthBits.Allocate(kOptimalNiceLength + 1))
        return false;
    for (uint64_t t = 0; t < slots; ++t)
        m_nlPrice[t] = m_litPrice[t] = kInfinity;
    for (uint32_t length = MatchFinder::kMinMatch; length <= kOptimalNiceLength; ++length)
        m_lengthBits[length] = static_cast<uint16_t>(BitWriter::NumberBits(kMatchLength, length));
    if (!m_queues.Init(static_cast<uint32_t>(segment)))
        return false;
    return true;
}

uint32_t Parser::RunLength(uint32_t position)
{
    if (position >= m_runEnd || m_data[position] != m_data[m_runEnd - 1]) {
        uint32_t end = position + 1;
        while (end < m_size && m_data[end] == m_data[position])
            ++end;
        m_runEnd = end;
    }
    return m_runEnd - position;
}

void Parser::WriteBackward(uint32_t base, uint32_t end)
{
    uint32_t count = 0;
    uint32_t t = end;
    while (t > 0) {
        if (m_litPrice[t] < m_nlPrice[t]) {
            uint32_t start = m_litStart[t];
            m_tokens[count++] = Token{ base + start, t - start, 0, TokenKind::Literal };
            t = start;
        } else {
            uint32_t length = m_nlLength[t];
            uint32_t distance = m_nlDistance[t];
            t -= length;
            m_tokens[count++] = Token{ base + t, length, distance, distance ? TokenKind::Match : TokenKind::Run };
        }
    }
    while (count > 0)
        m_writer.Put(m_tokens[--count]);
}

uint32_t Parser::ParseSegment(uint32_t base)
{
    const uint32_t nice = kOptimalNiceLength;
    const uint32_t limit = m_size - base < kSegment ? m_size - base : kSegment;
    // Entries past the previous segment's reach are still unset from the start.
    for (uint32_t t = 0; t <= m_reach; ++t)
        m_nlPrice[t] = m_litPrice[t] = kInfinity;
    m_nlPrice[0] = 0;
    m_queues.Clear();

    Token longToken = { 0, 0, 0, TokenKind::Literal };
    uint32_t t = 0;
    for (;; ++t) {
        if (t > 0) {
            int64_t value = int64_t(m_price[t - 1]) - 8 * int64_t(t - 1);
            m_queues.Push(t - 1, value);
            for (int k = 0; k < kLiteralClasses; ++k) {
                uint32_t start;
                int64_t best;
                if (m_queues.Best(k, t, start, best)) {
                    int64_t price = best + 8 * int64_t(t) + LiteralHeaderBits(k);
                    if (price < m_litPrice[t]) {
                        m_litPrice[t] = static_cast<uint32_t>(price);
                        m_litStart[t] = start;
                    }
                }
            }
        }
        uint32_t here = m_nlPrice[t] <= m_litPrice[t] ? m_nlPrice[t] : m_litPrice[t];
        m_price[t] = here;
        if (t == limit)
            break;

        uint32_t position = base + t;
        const Match* matches;
        uint32_t count = m_source.Find(position, matches);
        uint32_t run = RunLength(position);
        uint32_t longest = count ? matches[count - 1].length : 0;
        if (longest >= nice || run >= nice) {
            // Long enough to take outright: finish the segment here.
            if (longest >= nice) {
                uint32_t distance = matches[count - 1].distance;
                uint32_t length = longest;
                while (position + length < m_size && length < distance &&
                       m_data[position + length] == m_data[position + length - distance])
                    ++length;
                longest = length;
            }
            if (run >= longest)
                longToken = Token{ position, run, 0, TokenKind::Run };
            else
                longToken = Token{ position, longest, matches[count - 1].distance, TokenKind::Match };
            break;
        }

        if (run >= kMinRun) {
            for (uint32_t length = kMinRun; length <= run; ++length) {
                uint32_t price = here + static_cast<uint32_t>(RunTokenBits(length));
                if (price < m_nlPrice[t + length]) {
                    m_nlPrice[t + length] = price;
                    m_nlLength[t + length] = length;
                    m_nlDistance[t + length] = 0;
                }
            }
        }
        uint32_t previous = MatchFinder::kMinMatch - 1;
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t distance = matches[i].distance;
            uint32_t start = here + 2 + static_cast<uint32_t>(BitWriter::NumberBits(kMatchDistance, distance));
            for (uint32_t length = previous + 1; length <= matches[i].length; ++length) {
                uint32_t price = start + m_lengthBits[length];
                if (price < m_nlPrice[t + length]) {
                    m_nlPrice[t + length] = price;
                    m_nlLength[t + length] = length;
                    m_nlDistance[t + length] = distance;
                }
            }
            previous = matches[i].length;
        }
    }

    // Tokens relaxed from before t reach at most nice bytes past it.
    m_reach = t + nice;
    WriteBackward(base, t);
    if (longToken.length == 0)
        return base + t;
    m_writer.Put(longToken);
    // The finder still sees every position inside: they offer nearer copies of what they
    // hold to the positions after them.
    for (uint32_t p = longToken.start + 1; p < longToken.start + longToken.length; ++p)
        m_source.Skip(p);
    return longToken.start + longToken.length;
}

bool Parser::Run()
{
    if (!Allocate())
        return false;
    uint32_t base = 0;
    while (base < m_size)
        base = ParseSegment(base);
    m_writer.Flush();
    return true;
}

} // namespace

bool DirectMatchSource::Init(const uint8_t* data, uint32_t size)
{
    return m_finder.Init(data, size, kOptimalCutValue, kOptimalNiceLength);
}

uint32_t DirectMatchSource::Find(uint32_t position, const Match*& matches)
{
    matches = m_matches;
    return m_finder.Find(position, m_matches);
}

bool EncodeOptimal(const uint8_t* data, uint32_t size, MatchSource& source, BitWriter& out)
{
    if (size == 0)
        return true;
    Parser parser(data, size, source, out);
    return parser.Run();
}
