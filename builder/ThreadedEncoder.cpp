#include "builder/ThreadedEncoder.h"
#include "builder/ByteText.h"
#include "payload/BitWriter.h"
#include "payload/LazyEncoder.h"
#include "payload/OptimalEncoder.h"
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

void InputGate::Advance(uint64_t available)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_available = std::max(m_available, std::min(available, m_total));
    }
    m_changed.notify_all();
}

void InputGate::Abandon()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_abandoned = true;
    }
    m_changed.notify_all();
}

bool InputGate::WaitFor(uint64_t needed)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [&] { return m_available >= needed || m_abandoned; });
    return m_available >= needed;
}

unsigned DefaultThreadCount()
{
    unsigned count = std::thread::hardware_concurrency();
    return count ? count : 1;
}

// What the levels' drivers share: the gate's lock and signal, which also carry the
// drivers' own state changes, and the workers' threads with the progress reports.
class ThreadedEncoding {
public:
    ThreadedEncoding(InputGate& gate, const EncodeOptions& options)
        : m_gate(gate)
        , m_options(options)
    {
    }

protected:
    std::mutex& Mutex() { return m_gate.m_mutex; }
    // Under the lock.
    uint64_t Available() const { return m_gate.m_available; }
    bool Abandoned() const { return m_gate.m_abandoned; }
    void Wait(std::unique_lock<std::mutex>& lock) { m_gate.m_changed.wait(lock); }
    void NotifyAll() { m_gate.m_changed.notify_all(); }

    // Runs worker(0) ... worker(count - 1) on their own threads and reports progress from
    // the calling thread until all have returned.
    template <typename Worker>
    void RunWorkers(unsigned count, Worker worker)
    {
        std::vector<std::thread> threads;
        unsigned running = 0;
        for (unsigned i = 0; i < count; ++i) {
            try {
                std::lock_guard<std::mutex> lock(Mutex());
                threads.emplace_back([this, i, &worker, &running] {
                    worker(i);
                    std::lock_guard<std::mutex> done(Mutex());
                    --running;
                    NotifyAll();
                });
                ++running;
            } catch (const std::system_error&) {
                break; // the threads already started share the work
            }
        }
        if (threads.empty()) {
            worker(0);
            return;
        }
        std::unique_lock<std::mutex> lock(Mutex());
        while (running > 0) {
            m_gate.m_changed.wait_for(lock, std::chrono::milliseconds(100));
            if (m_options.progress && running > 0) {
                lock.unlock();
                m_options.progress(m_done.load(std::memory_order_relaxed), m_gate.Total());
                lock.lock();
            }
        }
        lock.unlock();
        for (std::thread& thread : threads)
            thread.join();
    }

    InputGate& m_gate;
    const EncodeOptions& m_options;
    std::atomic<uint64_t> m_done{ 0 };
};

namespace {

class FastEncoding : public ThreadedEncoding {
public:
    using ThreadedEncoding::ThreadedEncoding;

    bool Run(const uint8_t* data, uint32_t size, BitWriter& out)
    {
        if (!m_encoder.Init(data, size))
            return false;
        m_segments = m_encoder.SegmentCount();
        unsigned threads = std::max(1u, std::min<unsigned>(m_options.threads, m_segments));
        // Everything is allocated here, before the workers start.
        m_scratch = std::make_unique<LazyEncoder::Scratch[]>(threads);
        for (unsigned i = 0; i < threads; ++i) {
            if (!m_encoder.InitScratch(m_scratch[i]))
                return false;
        }
        m_outputs = std::make_unique<BitWriter[]>(m_segments);
        RunWorkers(threads, [this](unsigned i) { Work(m_scratch[i]); });
        if (m_failed)
            return false;
        for (uint32_t k = 0; k < m_segments; ++k)
            out.Append(m_outputs[k]);
        return true;
    }

private:
    void Work(LazyEncoder::Scratch& scratch)
    {
        std::unique_lock<std::mutex> lock(Mutex());
        while (!m_failed && m_nextParse < m_segments) {
            // Indexing first: it is the one step that cannot be shared.
            if (!m_indexing && m_nextIndex < m_segments && m_encoder.IndexMayRun(m_nextIndex, m_parsedBelow)) {
                if (Available() >= m_encoder.IndexedThrough(m_nextIndex)) {
                    uint32_t k = m_nextIndex;
                    m_indexing = true;
                    lock.unlock();
                    m_encoder.IndexSegment(k);
                    lock.lock();
                    m_indexing = false;
                    ++m_nextIndex;
                    NotifyAll();
                    continue;
                }
                if (Abandoned()) {
                    m_failed = true;
                    NotifyAll();
                    break;
                }
            }
            if (m_nextParse < m_nextIndex) {
                uint32_t k = m_nextParse++;
                lock.unlock();
                m_encoder.ParseSegment(k, scratch, m_outputs[k]);
                m_done += m_encoder.SegmentEnd(k) - m_encoder.SegmentStart(k);
                lock.lock();
                m_parsed.push_back(k);
                // The far index may overwrite what every segment below m_parsedBelow used.
                std::sort(m_parsed.begin(), m_parsed.end());
                while (!m_parsed.empty() && m_parsed.front() == m_parsedBelow) {
                    m_parsed.erase(m_parsed.begin());
                    ++m_parsedBelow;
                }
                NotifyAll();
                continue;
            }
            Wait(lock);
        }
    }

    LazyEncoder m_encoder;
    std::unique_ptr<LazyEncoder::Scratch[]> m_scratch;
    std::unique_ptr<BitWriter[]> m_outputs;
    uint32_t m_segments = 0;
    // Under the lock.
    uint32_t m_nextIndex = 0;
    bool m_indexing = false;
    uint32_t m_nextParse = 0;
    uint32_t m_parsedBelow = 0;
    std::vector<uint32_t> m_parsed; // finished, at or above m_parsedBelow
    bool m_failed = false;
};

// What the finder lanes found in kChunkPositions positions, as their threads hand it
// over: per position its lane and match count, written by that lane alone, and each
// lane's matches in the order of its positions.
struct MatchChunk {
    static constexpr uint32_t kCountBits = 9; // counts up to kOptimalMaxMatches
    uint32_t begin = 0;
    uint32_t end = 0;
    std::vector<uint16_t> entries; // lane << kCountBits | count
    std::vector<Match> matches[MatchFinder::kMaxLanes];
};
static_assert(kOptimalMaxMatches < (1u << MatchChunk::kCountBits), "a position's match count fits its entry");

class BestEncoding : public ThreadedEncoding, private MatchSource {
public:
    using ThreadedEncoding::ThreadedEncoding;

    bool Run(const uint8_t* data, uint32_t size, BitWriter& out)
    {
        // The parser looks ahead as far as runs and matches go, so it waits for all.
        if (!m_gate.WaitFor(size))
            return false;
        m_size = size;
        bool parsed = false;
        bool alone = m_options.threads < 2 || size <= kChunkPositions;
        // The match finder is most of the work: its lanes get a thread each, one per
        // processor asked for, and the parser, the lighter part, stays on this thread.
        while (!alone && m_laneBits < MatchFinder::kMaxLaneBits && (2u << m_laneBits) <= m_options.threads)
            ++m_laneBits;
        if (!m_finder.Init(data, size, kOptimalCutValue, kOptimalNiceLength, m_laneBits))
            return false;
        if (alone) {
            RunWorkers(1, [&](unsigned) {
                m_alone = true;
                parsed = EncodeOptimal(data, size, *this, out);
            });
            return parsed;
        }
        std::vector<std::thread> finders;
        for (uint32_t lane = 0; lane < Lanes(); ++lane) {
            try {
                finders.emplace_back([this, lane] { FindLane(lane); });
            } catch (const std::system_error&) {
                // No lane has walked a position yet (they wait for all to start): the
                // calling thread can still take the whole walk.
                StopFinders(finders);
                // Walking every position on one thread does not depend on the lanes.
                m_alone = true;
                return EncodeOptimal(data, size, *this, out);
            }
        }
        {
            std::lock_guard<std::mutex> lock(Mutex());
            m_started = true;
            NotifyAll();
        }
        parsed = EncodeOptimal(data, size, *this, out);
        StopFinders(finders);
        return parsed;
    }

private:
    static constexpr uint32_t kChunkPositions = uint32_t(1) << 16;
    static constexpr uint32_t kChunkCount = 4;
    static constexpr uint32_t kMaxLanes = MatchFinder::kMaxLanes;

    uint32_t Lanes() const { return uint32_t(1) << m_laneBits; }

    void StopFinders(std::vector<std::thread>& finders)
    {
        {
            std::lock_guard<std::mutex> lock(Mutex());
            m_parserDone = true;
            NotifyAll();
        }
        for (std::thread& finder : finders)
            finder.join();
        finders.clear();
    }

    // A finder thread: its lane's positions in order, a chunk at a time, while the parser
    // has a chunk free. Each lane keeps a chunk behind the one before it: the lanes' tree
    // nodes lie side by side in memory, and two threads writing the newest ones at once
    // kept taking the same cache lines from each other.
    void FindLane(uint32_t lane)
    {
        Match found[kOptimalMaxMatches];
        uint32_t produced = 0;
        for (uint32_t begin = 0; begin < m_size; begin += kChunkPositions, ++produced) {
            {
                std::unique_lock<std::mutex> lock(Mutex());
                while ((!m_started || produced >= m_consumed + kChunkCount ||
                        (lane > 0 && m_produced[lane - 1] <= produced)) &&
                       !m_parserDone)
                    Wait(lock);
                if (m_parserDone)
                    return;
            }
            MatchChunk& chunk = m_chunks[produced % kChunkCount];
            uint32_t end = m_size - begin < kChunkPositions ? m_size : begin + kChunkPositions;
            std::vector<Match>& matches = chunk.matches[lane];
            matches.clear();
            // The lanes fill the chunk one after the other (see above), never at once.
            if (lane == 0) {
                chunk.begin = begin;
                chunk.end = end;
                chunk.entries.resize(end - begin);
            }
            uint16_t* entries = chunk.entries.data();
            for (uint32_t p = begin; p < end; ++p) {
                if (m_finder.Lane(p) != lane)
                    continue;
                uint32_t count = m_finder.Find(p, found);
                entries[p - begin] = static_cast<uint16_t>(lane << MatchChunk::kCountBits | count);
                matches.insert(matches.end(), found, found + count);
            }
            std::lock_guard<std::mutex> lock(Mutex());
            m_produced[lane] = produced + 1;
            NotifyAll();
        }
    }

    // Under the lock: chunks every lane has filled.
    uint32_t Produced() const
    {
        uint32_t produced = m_produced[0];
        for (uint32_t lane = 1; lane < Lanes(); ++lane)
            produced = std::min(produced, m_produced[lane]);
        return produced;
    }

    // The parser's side: the chunk holding `position`, released once the parser is past
    // it. Positions come in order, each once, so each lane's matches are read in turn.
    const MatchChunk& ChunkOf(uint32_t position)
    {
        if (m_current && position < m_current->end)
            return *m_current;
        std::unique_lock<std::mutex> lock(Mutex());
        if (m_current)
            ++m_consumed;
        NotifyAll();
        while (Produced() <= m_consumed)
            Wait(lock);
        m_current = &m_chunks[m_consumed % kChunkCount];
        lock.unlock();
        for (uint32_t& next : m_nextMatch)
            next = 0;
        Report(m_current->begin);
        return *m_current;
    }

    uint32_t Find(uint32_t position, const Match*& matches) override
    {
        if (m_alone) {
            Progress(position);
            matches = m_found;
            return m_finder.Find(position, m_found);
        }
        const MatchChunk& chunk = ChunkOf(position);
        uint32_t entry = chunk.entries[position - chunk.begin];
        uint32_t lane = entry >> MatchChunk::kCountBits;
        uint32_t count = entry & ((1u << MatchChunk::kCountBits) - 1);
        matches = chunk.matches[lane].data() + m_nextMatch[lane];
        m_nextMatch[lane] += count;
        return count;
    }

    void Skip(uint32_t position) override
    {
        if (m_alone) {
            Progress(position);
            m_finder.Skip(position);
            return;
        }
        const Match* ignored;
        Find(position, ignored);
    }

    void Progress(uint32_t position)
    {
        if ((position & 0xFFFF) == 0)
            m_done.store(position, std::memory_order_relaxed);
    }

    // The parser's own reports, when it runs on the calling thread beside the finders.
    void Report(uint32_t position)
    {
        if (!m_options.progress)
            return;
        auto now = std::chrono::steady_clock::now();
        if (now - m_lastReport < std::chrono::milliseconds(100))
            return;
        m_lastReport = now;
        m_options.progress(position, m_gate.Total());
    }

    MatchFinder m_finder;
    uint32_t m_size = 0;
    bool m_alone = false;
    uint32_t m_laneBits = 0;
    Match m_found[kOptimalMaxMatches];
    MatchChunk m_chunks[kChunkCount];
    const MatchChunk* m_current = nullptr;
    uint32_t m_nextMatch[kMaxLanes] = {}; // each lane's first match not yet read in m_current
    // Under the lock: chunks each lane has filled, and chunks the parser has left behind.
    uint32_t m_produced[kMaxLanes] = {};
    uint32_t m_consumed = 0;
    bool m_started = false; // every lane has its thread
    bool m_parserDone = false;
    std::chrono::steady_clock::time_point m_lastReport = std::chrono::steady_clock::now();
};

} // namespace

bool EncodeBlock(const uint8_t* data, uint32_t size, const EncodeOptions& options, std::string& block)
{
    InputGate complete(size);
    complete.Advance(size);
    InputGate& gate = options.gate ? *options.gate : complete;
    BitWriter out;
    WriteBlockHeader(out, static_cast<int32_t>(size));
    bool ok = false;
    if (options.level == CompressionLevel::Best) {
        BestEncoding encoding(gate, options);
        ok = encoding.Run(data, size, out);
    } else {
        FastEncoding encoding(gate, options);
        ok = encoding.Run(data, size, out);
    }
    String finished;
    if (!ok || !out.Finish(finished))
        return false;
    block = FromString(finished);
    return true;
}
