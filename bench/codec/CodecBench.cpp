// Compares the block codec with zlib (deflate, level 9) and LZ4HC (level 12) on two
// corpora of real files found through the package manager, each stored as one block the
// way the builder stores file data: the files concatenated in sorted path order.
//
//   headers  the Windows SDK headers of mingw-w64-common (its include directory)
//   dlls     the 32-bit builtin modules of libwine:i386 whose names start with a, b or c
//
// For every codec, on the same bytes in the same run: compressed size, encode time, and
// decode throughput (decoded bytes per second, best of several runs). Decodes are timed
// by the thread's processor time, so that other work on a shared machine counts less.
// Our decoder is measured twice: as the host build compiles it, and compiled once more
// with the stub's flags (see CMakeLists.txt). Every decoder is timed in the same two
// conditions:
//
//   reused  into an output buffer written once before: the decoder's own speed;
//   new     into a newly allocated buffer, as the installer decodes. The first write to
//           each page of it is a page fault, the same for every decoder; on a virtual
//           machine the faults can take longer than the decoding.
//
// Every output is compared with the input before its figure counts. Prints Markdown
// tables and checks the targets: the best level at most 0.90 x LZ4HC-12 on both corpora
// and at most zlib-9 on headers; our decoding, both levels, both builds, both conditions,
// at least as fast as zlib's inflate. Exits 1 when a target is missed.
#include "core/String.h"
#include "payload/Decompressor.h"
#include "payload/Encoder.h"
#include <lz4.h>
#include <lz4hc.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <vector>

// The decoder compiled a second time with the stub's flags, under these names.
bool StubFlagsDecompress(const void* block, int32_t length, String& output);
bool StubFlagsDecompressInto(const void* block, int32_t length, void* output, int32_t outputLength);

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Processor time of this process: on a machine shared with other work it says more about
// the encoder than the wall clock does.
double CpuSeconds()
{
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// Processor time of this thread, for the decodes.
double ThreadSeconds()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::vector<std::string> PackageFiles(const char* package)
{
    std::vector<std::string> paths;
    std::string command = std::string("dpkg -L ") + package + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return paths;
    char line[4096];
    while (fgets(line, sizeof(line), pipe)) {
        std::string path(line);
        while (!path.empty() && (path.back() == '\n' || path.back() == '\r'))
            path.pop_back();
        struct stat info;
        if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            paths.push_back(path);
    }
    pclose(pipe);
    return paths;
}

bool IsIncludeFile(const std::string& path)
{
    return path.find("/mingw-w64/include/") != std::string::npos;
}

bool IsBuiltinModuleABC(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 >= path.size())
        return false;
    std::string directory = path.substr(0, slash);
    char first = path[slash + 1];
    return directory.size() >= 13 && directory.compare(directory.size() - 13, 13, "/i386-windows") == 0 &&
           (first == 'a' || first == 'b' || first == 'c');
}

struct Corpus {
    std::string name;
    size_t files = 0;
    std::string bytes;
};

bool LoadCorpus(const char* name, const char* package, bool (*keep)(const std::string&), Corpus& corpus)
{
    std::vector<std::string> paths = PackageFiles(package);
    paths.erase(std::remove_if(paths.begin(), paths.end(), [&](const std::string& p) { return !keep(p); }), paths.end());
    std::sort(paths.begin(), paths.end());
    corpus.name = name;
    corpus.files = paths.size();
    for (const std::string& path : paths) {
        std::ifstream in(path, std::ios::binary);
        corpus.bytes.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (paths.empty())
        fprintf(stderr, "%s: no files found in package %s\n", name, package);
    return !paths.empty();
}

struct Compressed {
    std::string codec;
    std::string block;
    double encodeSeconds = 0;
    double encodeCpuSeconds = 0;
};

// Decode throughputs in bytes per second; 0 when a decode failed or gave other bytes.
struct Decoding {
    double reused = 0;
    double fresh = 0;
};

constexpr int kDecodeRounds = 7;

// One decoder under test. `into` decodes into a caller's buffer of the input's length;
// `fresh` decodes the way the installer does, into memory it allocates itself, and
// answers the output, which the caller frees after the timing.
struct Decoder {
    std::function<bool(char* output)> into;
    std::function<char*()> fresh;
};

// Times every decoder in both conditions. The rounds go round the decoders, so that a
// busy moment of a shared machine falls on all of them alike; each keeps its best round.
std::vector<Decoding> TimeDecoders(const std::string& input, const std::vector<Decoder>& decoders)
{
    std::vector<Decoding> results(decoders.size());
    std::vector<double> reusedBest(decoders.size(), 1e30);
    std::vector<double> freshBest(decoders.size(), 1e30);
    std::vector<bool> same(decoders.size(), true);
    std::vector<char> reused(input.size(), 1);
    for (int round = 0; round < kDecodeRounds; ++round) {
        for (size_t i = 0; i < decoders.size(); ++i) {
            memset(reused.data(), 0, reused.size());
            double start = ThreadSeconds();
            bool decoded = decoders[i].into(reused.data());
            reusedBest[i] = std::min(reusedBest[i], ThreadSeconds() - start);
            same[i] = same[i] && decoded && memcmp(reused.data(), input.data(), input.size()) == 0;
        }
        for (size_t i = 0; i < decoders.size(); ++i) {
            double start = ThreadSeconds();
            char* output = decoders[i].fresh();
            freshBest[i] = std::min(freshBest[i], ThreadSeconds() - start);
            same[i] = same[i] && output && memcmp(output, input.data(), input.size()) == 0;
            free(output);
        }
    }
    for (size_t i = 0; i < decoders.size(); ++i) {
        if (same[i])
            results[i] = { static_cast<double>(input.size()) / reusedBest[i],
                           static_cast<double>(input.size()) / freshBest[i] };
    }
    return results;
}

// Our decoder, through DecompressInto when reused and through Decompress, which allocates
// its output, when new.
Decoder OurDecoder(const Compressed& compressed, size_t size, bool (*decompress)(const void*, int32_t, String&),
                   bool (*decompressInto)(const void*, int32_t, void*, int32_t))
{
    const std::string& block = compressed.block;
    int32_t blockLength = static_cast<int32_t>(block.size());
    int32_t length = static_cast<int32_t>(size);
    return { [=, &block](char* output) { return decompressInto(block.data(), blockLength, output, length); },
             [=, &block]() -> char* {
                 String output;
                 if (!decompress(block.data(), blockLength, output) || output.Length() != length)
                     return nullptr;
                 return output.Detach(); // a block of the standard allocator, as free() wants
             } };
}

Compressed CompressOurs(const Corpus& corpus, CompressionLevel level, const char* label)
{
    Compressed result;
    result.codec = label;
    String input(corpus.bytes.data(), static_cast<int32_t>(corpus.bytes.size()));
    String block;
    Clock::time_point start = Clock::now();
    double cpu = CpuSeconds();
    if (Compress(input, block, level))
        result.block.assign(block.Text(), static_cast<size_t>(block.Length()));
    result.encodeSeconds = Seconds(start);
    result.encodeCpuSeconds = CpuSeconds() - cpu;
    return result;
}

Compressed CompressZlib(const Corpus& corpus)
{
    Compressed result;
    result.codec = "zlib -9";
    const std::string& in = corpus.bytes;
    uLongf capacity = compressBound(static_cast<uLong>(in.size()));
    std::vector<Bytef> block(capacity);
    Clock::time_point start = Clock::now();
    double cpu = CpuSeconds();
    if (compress2(block.data(), &capacity, reinterpret_cast<const Bytef*>(in.data()), static_cast<uLong>(in.size()), 9) ==
        Z_OK)
        result.block.assign(reinterpret_cast<const char*>(block.data()), capacity);
    result.encodeSeconds = Seconds(start);
    result.encodeCpuSeconds = CpuSeconds() - cpu;
    return result;
}

Decoder ZlibDecoder(const Compressed& compressed, size_t size)
{
    const std::string& block = compressed.block;
    auto inflate = [&block, size](char* output) {
        uLongf length = static_cast<uLongf>(size);
        return uncompress(reinterpret_cast<Bytef*>(output), &length, reinterpret_cast<const Bytef*>(block.data()),
                          static_cast<uLong>(block.size())) == Z_OK &&
               length == size;
    };
    return { inflate, [inflate, size]() -> char* {
                char* output = static_cast<char*>(malloc(size));
                if (output && !inflate(output)) {
                    free(output);
                    return nullptr;
                }
                return output;
            } };
}

Compressed CompressLz4hc(const Corpus& corpus)
{
    Compressed result;
    result.codec = "LZ4HC -12";
    const std::string& in = corpus.bytes;
    int capacity = LZ4_compressBound(static_cast<int>(in.size()));
    std::vector<char> block(static_cast<size_t>(capacity));
    Clock::time_point start = Clock::now();
    double cpu = CpuSeconds();
    int size = LZ4_compress_HC(in.data(), block.data(), static_cast<int>(in.size()), capacity, 12);
    if (size > 0)
        result.block.assign(block.data(), static_cast<size_t>(size));
    result.encodeSeconds = Seconds(start);
    result.encodeCpuSeconds = CpuSeconds() - cpu;
    return result;
}

Decoder Lz4Decoder(const Compressed& compressed, size_t size)
{
    const std::string& block = compressed.block;
    auto decode = [&block, size](char* output) {
        return LZ4_decompress_safe(block.data(), output, static_cast<int>(block.size()), static_cast<int>(size)) ==
               static_cast<int>(size);
    };
    return { decode, [decode, size]() -> char* {
                char* output = static_cast<char*>(malloc(size));
                if (output && !decode(output)) {
                    free(output);
                    return nullptr;
                }
                return output;
            } };
}

std::string FirstLine(const char* path, const char* key)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, strlen(key), key) == 0) {
            size_t colon = line.find(':');
            return colon == std::string::npos ? line : line.substr(line.find_first_not_of(" \t", colon + 1));
        }
    }
    return "unknown";
}

} // namespace

int main()
{
    Corpus corpora[2];
    if (!LoadCorpus("headers", "mingw-w64-common", IsIncludeFile, corpora[0]) ||
        !LoadCorpus("dlls", "libwine:i386", IsBuiltinModuleABC, corpora[1]))
        return 2;
    std::string loads;
    {
        std::ifstream in("/proc/loadavg");
        std::getline(in, loads);
    }
    printf("processor: %s\n", FirstLine("/proc/cpuinfo", "model name").c_str());
    printf("load average at the start: %s\n\n", loads.c_str());

    bool targetsMet = true;
    std::vector<std::string> notes;
    std::string decodeTable;
    printf("| corpus | files | bytes | codec | compressed | ratio | encode s (cpu s) |\n");
    printf("|---|---:|---:|---|---:|---:|---:|\n");
    for (const Corpus& corpus : corpora) {
        const std::string& input = corpus.bytes;
        Compressed compressed[4] = { CompressOurs(corpus, CompressionLevel::Fast, "quox fast"),
                                     CompressOurs(corpus, CompressionLevel::Best, "quox best"), CompressZlib(corpus),
                                     CompressLz4hc(corpus) };
        for (const Compressed& c : compressed) {
            printf("| %s | %zu | %zu | %s | %zu | %.4f | %.1f (%.1f) |\n", corpus.name.c_str(), corpus.files, input.size(),
                   c.codec.c_str(), c.block.size(), static_cast<double>(c.block.size()) / input.size(), c.encodeSeconds,
                   c.encodeCpuSeconds);
            fflush(stdout);
            if (c.block.empty()) {
                notes.push_back(corpus.name + ": " + c.codec + " did not compress");
                targetsMet = false;
            }
        }
        const Compressed& fast = compressed[0];
        const Compressed& best = compressed[1];
        const Compressed& zlib = compressed[2];
        const Compressed& lz4 = compressed[3];
        char line[512];
        bool ok = best.block.size() <= 0.90 * lz4.block.size();
        snprintf(line, sizeof(line), "%s: best / LZ4HC-12 = %.3f (target <= 0.90) %s", corpus.name.c_str(),
                 static_cast<double>(best.block.size()) / lz4.block.size(), ok ? "met" : "MISSED");
        notes.push_back(line);
        targetsMet = targetsMet && ok;
        if (corpus.name == "headers") {
            ok = best.block.size() <= zlib.block.size();
            snprintf(line, sizeof(line), "%s: best / zlib-9 = %.3f (target <= 1.00) %s", corpus.name.c_str(),
                     static_cast<double>(best.block.size()) / zlib.block.size(), ok ? "met" : "MISSED");
            notes.push_back(line);
            targetsMet = targetsMet && ok;
        }

        // Decoding: every decoder, the same output, the same conditions.
        size_t size = input.size();
        std::vector<Decoding> timed = TimeDecoders(
            input, { OurDecoder(fast, size, Decompress, DecompressInto), OurDecoder(best, size, Decompress, DecompressInto),
                     OurDecoder(fast, size, StubFlagsDecompress, StubFlagsDecompressInto),
                     OurDecoder(best, size, StubFlagsDecompress, StubFlagsDecompressInto), ZlibDecoder(zlib, size),
                     Lz4Decoder(lz4, size) });
        const Decoding* ours = timed.data();
        const Decoding& inflate = timed[4];
        const Decoding& lz4Decoding = timed[5];
        for (bool reused : { true, false }) {
            auto mbs = [reused](const Decoding& d) { return (reused ? d.reused : d.fresh) / 1e6; };
            double slowest = std::min({ mbs(ours[0]), mbs(ours[1]), mbs(ours[2]), mbs(ours[3]) });
            snprintf(line, sizeof(line), "| %s | %s | %.0f | %.0f | %.0f | %.0f | %.0f | %.0f | %.2f |\n",
                     corpus.name.c_str(), reused ? "reused" : "new", mbs(ours[0]), mbs(ours[1]), mbs(ours[2]),
                     mbs(ours[3]), mbs(inflate), mbs(lz4Decoding), slowest / mbs(inflate));
            decodeTable += line;
            ok = slowest > 0 && slowest >= mbs(inflate);
            snprintf(line, sizeof(line),
                     "%s, %s output: slowest of our decodes / inflate = %.2f (target >= 1.00) %s", corpus.name.c_str(),
                     reused ? "reused" : "new", slowest / mbs(inflate), ok ? "met" : "MISSED");
            notes.push_back(line);
            targetsMet = targetsMet && ok;
        }
    }
    printf("\nDecoding, MB/s (10^6 bytes per second of the thread's processor time, best of %d):\n\n", kDecodeRounds);
    printf("| corpus | output | quox fast | quox best | quox fast, stub flags | quox best, stub flags | zlib inflate | LZ4 "
           "| slowest quox / inflate |\n");
    printf("|---|---|---:|---:|---:|---:|---:|---:|---:|\n");
    printf("%s\n", decodeTable.c_str());
    for (const std::string& note : notes)
        printf("%s\n", note.c_str());
    return targetsMet ? 0 : 1;
}
