// Replays saved fuzz inputs without libFuzzer: every file named on the command line, or
// every file in a directory named there, is passed once to LLVMFuzzerTestOneInput. Run
// under the sanitizer build this checks each seed for crashes and bad memory accesses.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

static bool Replay(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return true;
}

int main(int argc, char** argv)
{
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path path(argv[i]);
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::directory_iterator(path)) {
                if (entry.is_regular_file() && Replay(entry.path()))
                    ++replayed;
            }
        } else if (Replay(path)) {
            ++replayed;
        } else {
            fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
    }
    printf("replayed %d inputs\n", replayed);
    // A target without seeds checks nothing; make that a failure, not a silent pass.
    return replayed > 0 ? 0 : 1;
}
