#include "core/String.h"
#include "payload/BitWriter.h"
#include "payload/BlockFormat.h"
#include "payload/Decompressor.h"
#include "payload/Descrambler.h"
#include "payload/Encoder.h"
#include "tests/fuzz/ReferenceDecoder.h"
#include <cstring>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string Bytes(const String& s)
{
    return std::string(s.Text(), static_cast<size_t>(s.Length()));
}

String ToString(const std::string& s)
{
    return String(s.data(), static_cast<int32_t>(s.size()));
}

// Builds blocks token by token, the way the format describes them.
class BlockBuilder {
public:
    explicit BlockBuilder(int64_t expected, uint32_t magic = kBlockMagic)
    {
        m_out.WriteBits(magic, 32);
        m_out.WriteBits(static_cast<uint32_t>(expected), 32);
    }
    BlockBuilder& Literal(const std::string& bytes)
    {
        m_out.WriteBits(0, 1);
        m_out.WriteNumber(kLiteralCount, bytes.size());
        m_out.WriteBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        return *this;
    }
    // A literal token that announces `count` bytes but carries `bytes`.
    BlockBuilder& LiteralHeader(uint64_t count)
    {
        m_out.WriteBits(0, 1);
        m_out.WriteNumber(kLiteralCount, count);
        return *this;
    }
    // A prefix of `ones` bits (-1: the shortest that holds the number); longer prefixes
    // than needed are allowed by the format, and no encoder writes them.
    BlockBuilder& Run(char value, uint64_t length, int lengthOnes = -1)
    {
        m_out.WriteBits(3, 2);
        m_out.WriteBits(static_cast<uint8_t>(value), 8);
        Number(kRunLength, length, lengthOnes);
        return *this;
    }
    BlockBuilder& Match(uint64_t length, uint64_t distance, int lengthOnes = -1, int distanceOnes = -1)
    {
        m_out.WriteBits(1, 2);
        Number(kMatchLength, length, lengthOnes);
        Number(kMatchDistance, distance, distanceOnes);
        return *this;
    }
    BlockBuilder& Bits(uint64_t bits, int count)
    {
        m_out.WriteBits(bits, count);
        return *this;
    }
    std::string Finish()
    {
        String block;
        m_out.Finish(block);
        return Bytes(block);
    }

private:
    void Number(const NumberCode& code, uint64_t value, int ones)
    {
        if (ones < 0) {
            m_out.WriteNumber(code, value);
            return;
        }
        for (int i = 0; i < ones; ++i)
            m_out.WriteBits(1, 1);
        m_out.WriteBits(0, 1);
        int width = code.base + ones * code.step;
        width = width > kMaxFieldWidth ? kMaxFieldWidth : width;
        m_out.WriteBits(value - code.bias, width);
    }

    BitWriter m_out;
};

// Decodes `block` with Decompress, into an exact buffer with DecompressInto, and with the
// bit-by-bit reference decoder: the three must agree on acceptance and bytes.
void ExpectSameAsReference(const std::string& block)
{
    std::string reference;
    bool referenceAccepts =
        ReferenceDecoder::Decode(reinterpret_cast<const uint8_t*>(block.data()), block.size(), reference);
    String output;
    bool accepted = Decompress(block.data(), static_cast<int32_t>(block.size()), output);
    ASSERT_EQ(accepted, referenceAccepts);
    if (!accepted)
        return;
    EXPECT_EQ(Bytes(output), reference);
    std::vector<char> exact(reference.size());
    ASSERT_TRUE(DecompressInto(block.data(), static_cast<int32_t>(block.size()), exact.data(),
                               static_cast<int32_t>(exact.size())));
    EXPECT_EQ(std::string(exact.begin(), exact.end()), reference);
}

struct BlockCase {
    const char* name;
    std::function<std::string()> block;
    bool accepted;
    std::string output;
};

class HandMadeBlock : public testing::TestWithParam<BlockCase> {};

TEST_P(HandMadeBlock, IsAcceptedOrRefusedAsTheFormatSays)
{
    const BlockCase& c = GetParam();
    std::string block = c.block();
    String output("untouched");
    bool accepted = Decompress(block.data(), static_cast<int32_t>(block.size()), output);
    ASSERT_EQ(accepted, c.accepted);
    if (accepted)
        EXPECT_EQ(Bytes(output), c.output);
    else
        EXPECT_EQ(Bytes(output), "untouched");

    // The in-place form keeps the block on failure and replaces it on success.
    String inPlace = ToString(block);
    EXPECT_EQ(Decompress(inPlace), accepted);
    EXPECT_EQ(Bytes(inPlace), accepted ? c.output : block);

    ExpectSameAsReference(block);
}

// A literal count of 1 written with a needlessly long prefix: 20 prefix bits cap the field
// at 32 bits, which still holds the value 0.
std::string LongPrefixBlock()
{
    return BlockBuilder(1).Bits(0, 1).Bits(0xFFFFF, 20).Bits(0, 1).Bits(0, 32).Bits('q', 8).Finish();
}

// Two full bytes of prefix: the cap at 32 bits holds however long the prefix runs.
std::string VeryLongPrefixBlock()
{
    BlockBuilder b(1);
    b.Bits(0, 1);
    for (int i = 0; i < 5; ++i)
        b.Bits(0xFFFFFFFF, 32);
    return b.Bits(0, 1).Bits(0, 32).Bits('q', 8).Finish();
}

const std::string kHeaderE0 = BlockBuilder(0).Finish();

// `n` bytes that differ from their neighbours, so that a wrong match source shows.
std::string Pattern(size_t n)
{
    std::string bytes(n, '\0');
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Codec, HandMadeBlock,
    testing::Values(
        BlockCase{ "WrongMagic", [] { return BlockBuilder(4, 0x9EC72BA2).Literal("abcd").Finish(); }, false, "" },
        BlockCase{ "SevenBytes", [] { return kHeaderE0.substr(0, 7); }, false, "" },
        BlockCase{ "EmptyOutputFromEightBytes", [] { return kHeaderE0; }, true, "" },
        BlockCase{ "EmptyOutputIgnoresTrailingBytes", [] { return kHeaderE0 + "garbage"; }, true, "" },
        BlockCase{ "NegativeLength", [] { return BlockBuilder(-1).Literal("a").Finish(); }, false, "" },
        BlockCase{ "Literals", [] { return BlockBuilder(5).Literal("hello").Finish(); }, true, "hello" },
        BlockCase{ "Run", [] { return BlockBuilder(7).Literal("x").Run('y', 6).Finish(); }, true, "xyyyyyy" },
        BlockCase{ "MatchEndingAtTheCurrentEnd", [] { return BlockBuilder(8).Literal("abcd").Match(4, 4).Finish(); }, true,
                   "abcdabcd" },
        BlockCase{ "MatchFromFurtherBack", [] { return BlockBuilder(10).Literal("abcdef").Match(4, 6).Finish(); }, true,
                   "abcdefabcd" },
        BlockCase{ "OverlappingMatch", [] { return BlockBuilder(9).Literal("abcd").Match(5, 4).Finish(); }, false, "" },
        BlockCase{ "DistanceBeyondTheOutput", [] { return BlockBuilder(8).Literal("abcd").Match(4, 5).Finish(); }, false,
                   "" },
        BlockCase{ "LiteralOvershoot", [] { return BlockBuilder(3).Literal("abcd").Finish(); }, false, "" },
        BlockCase{ "RunOvershoot", [] { return BlockBuilder(4).Literal("a").Run('b', 4).Finish(); }, false, "" },
        BlockCase{ "MatchOvershoot", [] { return BlockBuilder(7).Literal("abcd").Match(4, 4).Finish(); }, false, "" },
        BlockCase{ "OutOfBitsBeforeTheEnd", [] { return BlockBuilder(5).Literal("abcd").Finish(); }, false, "" },
        BlockCase{ "LiteralBytesCutShort", [] { return BlockBuilder(4).LiteralHeader(4).Bits('a', 8).Finish(); }, false,
                   "" },
        BlockCase{ "NumberCutShort", [] { return BlockBuilder(8).Literal("abcd").Bits(1, 2).Bits(0, 3).Finish(); },
                   false, "" },
        BlockCase{ "PaddingAfterTheLastTokenIsIgnored",
                   [] { return BlockBuilder(4).Literal("abcd").Bits(0x7F, 7).Finish() + "\xFF\xFF"; }, true, "abcd" },
        BlockCase{ "LongPrefixCapsTheField", LongPrefixBlock, true, "q" },
        BlockCase{ "VeryLongPrefixCapsTheField", VeryLongPrefixBlock, true, "q" },
        // A 32-bit field of all ones plus the bias is 2^32: far more than any block holds,
        // not a count that wraps to 0.
        BlockCase{ "FullWidthCountDoesNotWrap",
                   [] { return BlockBuilder(1).Bits(0, 1).Bits(0x7FFF, 16).Bits(0xFFFFFFFF, 32).Literal("z").Finish(); },
                   false, "" },
        BlockCase{ "FullWidthMatchLengthDoesNotWrap",
                   [] { return BlockBuilder(7).Literal("abcd").Match(0x100000003, 4, 30).Finish(); }, false, "" },
        BlockCase{ "AllOnesStream", [] { return BlockBuilder(100).Finish() + std::string(64, '\xFF'); }, false, "" },
        // Prefixes too long for the decoder's one load per token, in every number.
        BlockCase{ "RunLengthWithLongPrefix", [] { return BlockBuilder(7).Literal("x").Run('y', 6, 30).Finish(); }, true,
                   "xyyyyyy" },
        BlockCase{ "MatchLengthWithLongPrefix",
                   [] { return BlockBuilder(8).Literal("abcd").Match(4, 4, 30).Finish(); }, true,
                   "abcdabcd" },
        BlockCase{ "DistanceWithLongPrefix",
                   [] { return BlockBuilder(8).Literal("abcd").Match(4, 4, -1, 12).Finish(); }, true, "abcdabcd" },
        // A length of 300 leaves too few bits of the load for the distance.
        BlockCase{ "LongMatchLength", [] { return BlockBuilder(600).Literal(Pattern(300)).Match(300, 300).Finish(); },
                   true, Pattern(300) + Pattern(300) },
        // A match from 5 bytes back copied in 16-byte steps: the bytes it writes past its
        // end are written again by the literal after it.
        BlockCase{ "ShortDistanceFarFromTheEnd",
                   [] { return BlockBuilder(32).Literal("abcdefg").Match(5, 5).Literal(Pattern(20)).Finish(); }, true,
                   "abcdefgcdefg" + Pattern(20) },
        // A match whose 16-byte steps would run past the output: copied exactly.
        BlockCase{ "LongMatchEndsTheOutput",
                   [] { return BlockBuilder(80).Literal(Pattern(40)).Match(40, 40).Finish(); }, true,
                   Pattern(40) + Pattern(40) },
        BlockCase{ "LiteralEndsTheBlock", [] { return BlockBuilder(50).Run('r', 3).Literal(Pattern(47)).Finish(); },
                   true, "rrr" + Pattern(47) }),
    [](const testing::TestParamInfo<BlockCase>& info) { return info.param.name; });

TEST(Codec, NullOrShortInputIsRefused)
{
    String output("kept");
    EXPECT_FALSE(Decompress(nullptr, 100, output));
    EXPECT_FALSE(Decompress("\xA1\x2B\xC7\x9E", 4, output));
    EXPECT_EQ(Bytes(output), "kept");
}

TEST(Codec, HugeLengthWithNoTokensIsRefused)
{
    // 2 GB announced, nothing to produce it: refused, not a crash.
    std::string block = BlockBuilder(0x7fffffff).Finish() + "\x01";
    String output;
    EXPECT_FALSE(Decompress(block.data(), static_cast<int32_t>(block.size()), output));
}

TEST(Descrambler, SevenBytesAreOneWordAndThreeKeyBytes)
{
    unsigned char bytes[7] = { 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70 };
    Descramble(bytes, 7, 0xA1B2C3D4);
    const unsigned char expected[7] = { 0x10 ^ 0xD4, 0x20 ^ 0xC3, 0x30 ^ 0xB2, 0x40 ^ 0xA1,
                                        0x50 ^ 0xD4, 0x60 ^ 0xC3, 0x70 ^ 0xB2 };
    EXPECT_EQ(memcmp(bytes, expected, 7), 0);
    Descramble(bytes, 7, 0xA1B2C3D4);
    const unsigned char original[7] = { 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70 };
    EXPECT_EQ(memcmp(bytes, original, 7), 0);

    String text("secret!");
    Descramble(text, 0x01020304);
    EXPECT_NE(Bytes(text), "secret!");
    Descramble(text, 0x01020304);
    EXPECT_EQ(Bytes(text), "secret!");
    Descramble(nullptr, 7, 1);
    Descramble(bytes, -1, 1);
    EXPECT_EQ(memcmp(bytes, original, 7), 0);
}

std::string RandomBytes(size_t n, uint32_t seed)
{
    std::string bytes(n, '\0');
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1664525u + 1013904223u;
        bytes[i] = static_cast<char>(seed >> 24);
    }
    return bytes;
}

std::string ReadFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Text with repeats at distances in every price class of the format, up to 1.3 MB back.
std::string FarRepeats()
{
    std::string base = RandomBytes(1 << 20, 7);
    std::string text;
    for (size_t distance : { 100u, 5000u, 20000u, 70000u, 300000u, 1300000u }) {
        std::string piece = RandomBytes(distance, static_cast<uint32_t>(distance));
        text += piece.substr(0, 40) + piece + piece.substr(0, 40);
    }
    return text + base.substr(0, 1000);
}

// A block of every token kind at every bit offset: literals of 1 to 24 bytes, runs and
// matches of many lengths, distances from 4 bytes to the whole output, and now and then
// a prefix longer than needed.
std::string VariedBlock()
{
    uint32_t seed = 5;
    auto next = [&seed](uint64_t n) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<uint64_t>(seed >> 8) % n;
    };
    auto ones = [&next](int longPrefix) { return next(5) == 0 ? longPrefix : -1; };
    std::string output = Pattern(40);
    // The length is known only at the end: build the tokens first, then the block.
    std::vector<std::function<void(BlockBuilder&)>> steps;
    steps.push_back([](BlockBuilder& b) { b.Literal(Pattern(40)); });
    for (int i = 0; i < 80; ++i) {
        switch (next(3)) {
        case 0: {
            std::string bytes = RandomBytes(1 + next(24), static_cast<uint32_t>(i));
            output += bytes;
            steps.push_back([bytes](BlockBuilder& b) { b.Literal(bytes); });
            break;
        }
        case 1: {
            char value = static_cast<char>(next(256));
            uint64_t length = 3 + next(40);
            int lengthOnes = ones(28);
            output.append(length, value);
            steps.push_back([=](BlockBuilder& b) { b.Run(value, length, lengthOnes); });
            break;
        }
        default: {
            uint64_t distance = 4 + next(output.size() - 3);
            uint64_t length = 4 + next((distance < 300 ? distance : 300) - 3);
            int lengthOnes = ones(28);
            int distanceOnes = ones(11);
            output += output.substr(output.size() - distance, length);
            steps.push_back([=](BlockBuilder& b) { b.Match(length, distance, lengthOnes, distanceOnes); });
            break;
        }
        }
    }
    BlockBuilder block(static_cast<int64_t>(output.size()));
    for (const auto& step : steps)
        step(block);
    return block.Finish();
}

TEST(Codec, AgreesWithTheReferenceOnEveryCutAndEveryFlippedBit)
{
    String encoded;
    ASSERT_TRUE(Compress(ToString(ReadFile(__FILE__).substr(0, 3000)), encoded, CompressionLevel::Best));
    for (const std::string& block : { VariedBlock(), Bytes(encoded) }) {
        std::string reference;
        ASSERT_TRUE(ReferenceDecoder::Decode(reinterpret_cast<const uint8_t*>(block.data()), block.size(), reference));
        ExpectSameAsReference(block);
        for (size_t cut = kBlockHeaderSize; cut < block.size() && !HasFailure(); ++cut) {
            SCOPED_TRACE("cut at " + std::to_string(cut));
            ExpectSameAsReference(block.substr(0, cut));
        }
        for (size_t bit = 8 * kBlockHeaderSize; bit < 8 * block.size() && !HasFailure(); ++bit) {
            SCOPED_TRACE("bit " + std::to_string(bit) + " flipped");
            std::string damaged = block;
            damaged[bit / 8] = static_cast<char>(damaged[bit / 8] ^ (1 << (bit % 8)));
            ExpectSameAsReference(damaged);
        }
    }
}

TEST(Codec, DecompressIntoWantsExactlyTheAnnouncedLength)
{
    std::string block = BlockBuilder(8).Literal("abcd").Match(4, 4).Finish();
    char buffer[9] = {};
    EXPECT_FALSE(DecompressInto(block.data(), static_cast<int32_t>(block.size()), buffer, 7));
    EXPECT_FALSE(DecompressInto(block.data(), static_cast<int32_t>(block.size()), buffer, 9));
    EXPECT_FALSE(DecompressInto(block.data(), static_cast<int32_t>(block.size()), nullptr, 8));
    ASSERT_TRUE(DecompressInto(block.data(), static_cast<int32_t>(block.size()), buffer, 8));
    EXPECT_EQ(std::string(buffer, 8), "abcdabcd");
    EXPECT_TRUE(DecompressInto(kHeaderE0.data(), static_cast<int32_t>(kHeaderE0.size()), nullptr, 0));
    EXPECT_FALSE(DecompressInto(nullptr, 8, buffer, 8));
}

struct RoundTripCase {
    const char* name;
    std::function<std::string()> input;
};

class RoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, BothLevelsDecodeToTheInput)
{
    std::string input = GetParam().input();
    String original = ToString(input);
    for (CompressionLevel level : { CompressionLevel::Fast, CompressionLevel::Best }) {
        String block;
        ASSERT_TRUE(Compress(original, block, level));
        String again;
        ASSERT_TRUE(Compress(original, again, level));
        EXPECT_EQ(Bytes(block), Bytes(again)) << "not deterministic";
        String output;
        ASSERT_TRUE(Decompress(block.Text(), block.Length(), output));
        ASSERT_EQ(output.Length(), original.Length());
        EXPECT_TRUE(output == original);
        // Incompressible input costs at most a few bits per literal token.
        EXPECT_LE(block.Length(), kBlockHeaderSize + input.size() + input.size() / 4096 + 8);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Codec, RoundTrip,
    testing::Values(RoundTripCase{ "Empty", [] { return std::string(); } },
                    RoundTripCase{ "OneByte", [] { return std::string("!"); } },
                    RoundTripCase{ "AllEqual", [] { return std::string(300000, '\0'); } },
                    RoundTripCase{ "Random", [] { return RandomBytes(200000, 1); } },
                    RoundTripCase{ "PeriodTwo", [] { return std::string(5000, 'a') + std::string(3000, 'b') + "ab"; } },
                    RoundTripCase{ "FarRepeats", FarRepeats },
                    RoundTripCase{ "ThisProgram", [] { return ReadFile("/proc/self/exe").substr(0, 1 << 20); } },
                    RoundTripCase{ "ItsSource", [] { return ReadFile(__FILE__); } }),
    [](const testing::TestParamInfo<RoundTripCase>& info) { return info.param.name; });

TEST(Encoder, ChoosesTheCheapestTokens)
{
    // "aaaa": one run token, 12 bits after the header, rather than 36 bits of literal.
    String block;
    ASSERT_TRUE(Compress(String("aaaa"), block, CompressionLevel::Fast));
    EXPECT_EQ(block.Length(), 8 + 2);
    // "abcdabcd": 4 literals (36 bits) and a match (18 bits) beat 8 literals (71 bits).
    ASSERT_TRUE(Compress(String("abcdabcd"), block, CompressionLevel::Best));
    EXPECT_EQ(block.Length(), 8 + 7);
    EXPECT_EQ(Bytes(block), BlockBuilder(8).Literal("abcd").Match(4, 4).Finish());
}

TEST(Encoder, RepetitiveInputShrinksToAFewBytes)
{
    std::string input = std::string(1 << 20, 'x');
    String block;
    ASSERT_TRUE(Compress(ToString(input), block, CompressionLevel::Fast));
    EXPECT_LE(block.Length(), 16);

    // Far copies of random data cost a match each, not their bytes, also when the copy
    // comes after so many literals that the fast level searches only now and then.
    std::string piece = RandomBytes(100000, 3);
    std::string other = RandomBytes(100000, 4);
    String repeats = ToString(piece + other + piece + piece);
    for (CompressionLevel level : { CompressionLevel::Fast, CompressionLevel::Best }) {
        ASSERT_TRUE(Compress(repeats, block, level));
        EXPECT_LE(block.Length(), 200000 + 100) << (level == CompressionLevel::Fast ? "fast" : "best");
    }
}

TEST(Encoder, RefusesBadArguments)
{
    String block("kept");
    EXPECT_FALSE(Compress(nullptr, 5, block, CompressionLevel::Fast));
    EXPECT_FALSE(Compress("abc", -1, block, CompressionLevel::Fast));
    EXPECT_EQ(Bytes(block), "kept");
}

} // namespace
