#pragma once
#include "payload/BitWriter.h"
#include "payload/MatchFinder.h"
#include <cstdint>

// The best level of the encoder: tokens chosen by shortest path over the input with the
// tokens' exact prices in bits, over matches from a binary-tree match finder that looks
// at up to kOptimalCutValue candidates per position and stops at kOptimalNiceLength
// bytes (payload/MatchFinder.h).
//
// Every position goes through the match finder, one after the other, whatever the parser
// does with its matches, so the finder's work does not depend on the parser's: a caller
// may run the finder ahead on another thread and hand its matches over through a
// MatchSource. The block is the same either way.
//
// Memory: about 9 bytes per input byte (up to the 2^27-position window) for the finder,
// 26 bytes per position of a 128 KiB segment for the parser, plus the output.

constexpr uint32_t kOptimalCutValue = 128;
constexpr uint32_t kOptimalNiceLength = 256;
// The most matches the finder reports for one position.
constexpr uint32_t kOptimalMaxMatches = kOptimalNiceLength - MatchFinder::kMinMatch + 1;

// The matches of each position, asked for in order from 0: each position exactly once,
// through Find when the parser wants them and Skip when it does not.
class MatchSource {
public:
    virtual ~MatchSource() = default;
    // The matches of `position`, as MatchFinder::Find gives them; `matches` stays valid
    // until the next call.
    virtual uint32_t Find(uint32_t position, const Match*& matches) = 0;
    virtual void Skip(uint32_t position) = 0;
};

// The source that runs the finder itself, on the caller's thread.
class DirectMatchSource final : public MatchSource {
public:
    // False when the finder's memory cannot be had.
    bool Init(const uint8_t* data, uint32_t size);
    uint32_t Find(uint32_t position, const Match*& matches) override;
    void Skip(uint32_t position) override { m_finder.Skip(position); }

private:
    MatchFinder m_finder;
    Match m_matches[kOptimalMaxMatches];
};

// Appends the tokens for the `size` bytes at `data` to `out`. False when the parser's
// memory cannot be had.
bool EncodeOptimal(const uint8_t* data, uint32_t size, MatchSource& source, BitWriter& out);
