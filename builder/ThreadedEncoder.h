#pragma once
#include "payload/Encoder.h"
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

// The encoder's levels spread over threads, for the builder. The block is byte for byte
// the one Compress (payload/Encoder.h) makes, whatever the number of threads:
//
//  - Fast: one thread at a time extends the far index segment by segment, in order, and
//    every thread parses whichever indexed segment is next; the segments' bit streams
//    are joined in order.
//  - Best: the match finder runs ahead of the parser, its positions split into lanes by
//    hash (payload/MatchFinder.h), a thread per lane; the parser takes their matches on
//    the calling thread.
//
// The input may still be arriving: an InputGate says how much of it is final, and the
// encoder waits for the bytes it needs, so that reading the files and compressing them
// overlap.

// How many bytes of a buffer being filled from the front are final.
class InputGate {
public:
    explicit InputGate(uint64_t total) : m_total(total) {}

    // The producer's side: bytes up to `available` are final; or no more will come.
    void Advance(uint64_t available);
    void Abandon();

    // The consumers' side: waits until bytes up to `needed` are final; false when the
    // producer gave up first.
    bool WaitFor(uint64_t needed);
    uint64_t Total() const { return m_total; }

private:
    friend class ThreadedEncoding;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    uint64_t m_total;
    uint64_t m_available = 0;
    bool m_abandoned = false;
};

struct EncodeOptions {
    CompressionLevel level = CompressionLevel::Fast;
    unsigned threads = 1;              // at least 1
    InputGate* gate = nullptr;         // none: the whole input is there
    // Called on the calling thread about ten times a second while the work goes on, with
    // the input bytes encoded so far.
    std::function<void(uint64_t done, uint64_t total)> progress;
};

// Writes the block for the `size` bytes at `data` to `block`. False when memory does not
// suffice or the gate was abandoned.
bool EncodeBlock(const uint8_t* data, uint32_t size, const EncodeOptions& options, std::string& block);

// The machine's processor count, at least 1.
unsigned DefaultThreadCount();
