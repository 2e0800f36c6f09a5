#include "builder/ByteText.h"
#include "builder/ThreadedEncoder.h"
#include "core/String.h"
#include "payload/Decompressor.h"
#include "payload/Encoder.h"
#include "payload/LazyEncoder.h"
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <thread>

namespace {

constexpr size_t kSegment = LazyEncoder::kSegmentSize;

std::string RandomBytes(size_t count, uint32_t seed)
{
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes)
        c = static_cast<char>(generator());
    return bytes;
}

// Text-like bytes: words of a small vocabulary, so that short and near matches abound
// and long ones are rare, as in source files.
std::string Words(size_t count, uint32_t seed)
{
    static const char* const kWords[] = { "int ", "const ", "return ", "struct ", "void ", "(", ");\n", "HANDLE ",
                                          "WINAPI ", "#define ", "0x", "ab", "FAR* ", "{\n", "}\n", "  " };
    std::mt19937 generator(seed);
    std::string text;
    while (text.size() < count) {
        text += kWords[generator() % 16];
        if (generator() % 7 == 0)
            text += static_cast<char>('A' + generator() % 26);
    }
    text.resize(count);
    return text;
}

struct EncoderCase {
    const char* name;
    std::function<std::string()> input;
};

// Inputs around the places where the work is split: the fast level's segments, the
// chunks of matches the best level's finder hands over, and the stream's ends.
const EncoderCase kCases[] = {
    { "Empty", [] { return std::string(); } },
    { "OneByte", [] { return std::string("q"); } },
    { "BelowAMatch", [] { return std::string("abc"); } },
    { "OneRun", [] { return std::string("aaaa"); } },
    { "TwoCopies", [] { return std::string("abcdabcd"); } },
    { "SegmentLessOne", [] { return Words(kSegment - 1, 1); } },
    { "OneSegment", [] { return Words(kSegment, 2); } },
    { "SegmentAndOne", [] { return Words(kSegment + 1, 3); } },
    // Copies whose sources lie in earlier segments, near and far.
    { "CopiesAcrossSegments",
      [] {
          std::string piece = RandomBytes(kSegment * 2 / 3, 4);
          return piece + Words(5000, 5) + piece + piece.substr(0, 1000);
      } },
    // A run and a long match that start before a segment's end and go on past it.
    { "TokensOverTheBoundary",
      [] {
          std::string head = Words(kSegment - 200, 6);
          return head + std::string(5000, '\xFF') + head.substr(1000, 3000) + Words(70000, 7);
      } },
};

class BlockEncoder : public testing::TestWithParam<std::tuple<EncoderCase, CompressionLevel>> {};

std::string Encode(const std::string& input, CompressionLevel level, unsigned threads, InputGate* gate = nullptr)
{
    EncodeOptions options;
    options.level = level;
    options.threads = threads;
    options.gate = gate;
    std::string block;
    EXPECT_TRUE(EncodeBlock(reinterpret_cast<const uint8_t*>(input.data()), static_cast<uint32_t>(input.size()),
                            options, block));
    return block;
}

TEST_P(BlockEncoder, SameBlockOnAnyNumberOfThreadsAndItDecodes)
{
    const auto& [c, level] = GetParam();
    std::string input = c.input();
    String reference;
    ASSERT_TRUE(Compress(input.data(), static_cast<int32_t>(input.size()), reference, level));
    std::string expected = FromString(reference);
    // 2, 3 and 4 threads split the best level's match finder into 2, 2 and 4 lanes.
    for (unsigned threads : { 1u, 2u, 3u, 4u })
        EXPECT_EQ(Encode(input, level, threads), expected) << threads << " threads";

    String output;
    ASSERT_TRUE(Decompress(expected.data(), static_cast<int32_t>(expected.size()), output));
    ASSERT_EQ(static_cast<size_t>(output.Length()), input.size());
    EXPECT_TRUE(FromString(output) == input);
}

INSTANTIATE_TEST_SUITE_P(Encoder, BlockEncoder,
                         testing::Combine(testing::ValuesIn(kCases),
                                          testing::Values(CompressionLevel::Fast, CompressionLevel::Best)),
                         [](const testing::TestParamInfo<BlockEncoder::ParamType>& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == CompressionLevel::Best ? "Best" : "Fast");
                         });

TEST(BlockEncoder, FastLevelCopiesFromEarlierSegments)
{
    // Segments are parsed apart, but each sees all the input before it: the second and
    // third copies of incompressible bytes cost a few matches, not their bytes.
    std::string piece = RandomBytes(kSegment + kSegment / 2, 8);
    std::string input = piece + piece + piece;
    std::string block = Encode(input, CompressionLevel::Fast, 2);
    EXPECT_LT(block.size(), piece.size() + piece.size() / 50);
}

TEST(BlockEncoder, InputStillArrivingGivesTheSameBlock)
{
    std::string input = Words(3 * kSegment + 12345, 9);
    for (CompressionLevel level : { CompressionLevel::Fast, CompressionLevel::Best }) {
        std::string expected = Encode(input, level, 1);
        // The bytes are "read" in uneven steps while the encoder waits for them.
        std::string buffer(input.size(), '\0');
        InputGate gate(input.size());
        std::thread reader([&] {
            size_t at = 0;
            for (size_t step = 1; at < input.size(); step = step * 3 + 7) {
                size_t count = std::min(step, input.size() - at);
                memcpy(buffer.data() + at, input.data() + at, count);
                at += count;
                gate.Advance(at);
            }
        });
        EncodeOptions options;
        options.level = level;
        options.threads = 2;
        options.gate = &gate;
        std::string block;
        bool encoded = EncodeBlock(reinterpret_cast<const uint8_t*>(buffer.data()), static_cast<uint32_t>(buffer.size()),
                                   options, block);
        reader.join();
        ASSERT_TRUE(encoded);
        EXPECT_EQ(block, expected);
    }
}

TEST(BlockEncoder, AbandonedInputFailsInsteadOfWaiting)
{
    std::string input = Words(2 * kSegment, 10);
    for (CompressionLevel level : { CompressionLevel::Fast, CompressionLevel::Best }) {
        for (unsigned threads : { 1u, 2u }) {
            InputGate gate(input.size());
            std::thread reader([&] {
                gate.Advance(kSegment / 2);
                gate.Abandon();
            });
            EncodeOptions options;
            options.level = level;
            options.threads = threads;
            options.gate = &gate;
            std::string block = "kept";
            EXPECT_FALSE(EncodeBlock(reinterpret_cast<const uint8_t*>(input.data()),
                                     static_cast<uint32_t>(input.size()), options, block));
            reader.join();
            EXPECT_EQ(block, "kept");
        }
    }
}

} // namespace
