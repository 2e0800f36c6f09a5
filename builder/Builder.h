#pragma once
#include "builder/Diagnostics.h"
#include "builder/Manifest.h"
#include "builder/PackageWriter.h"
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

// `quox build` from start to end: read and check the manifest, collect the files, make
// the package, read it back the way the installer will, and only then write the
// installer and its volume files. Nothing is written when anything is wrong.

// How the work is done; the package does not depend on it.
struct BuildOptions {
    unsigned threads = 1;   // for compressing; at least 1
    // Called now and then while the file data is compressed, on the thread that builds,
    // with the bytes compressed so far and the file data's length.
    std::function<void(uint64_t done, uint64_t total)> progress;
};

struct BuildRequest {
    std::filesystem::path manifest;
    std::filesystem::path output;
    std::filesystem::path stub;
    std::optional<Compression> compression;   // overrides the manifest's
    BuildOptions options;
};

struct BuildReport {
    BuiltPackage package;
    size_t fileCount = 0;
    int64_t filesBytes = 0;                   // the files' own bytes
    Compression compression = Compression::None;
};

bool BuildInstaller(const BuildRequest& request, BuildReport& report, Diagnostics& diagnostics);

// Makes the package in memory without writing anything (the tests' entry).
bool BuildInMemory(const Manifest& manifest, const std::string& stub, const std::string& volumeStem,
                   std::optional<Compression> compression, BuildReport& report, Diagnostics& diagnostics,
                   const BuildOptions& options = {});

// What `quox build` prints when it is done: the installer's size, the files' number and
// size, the ratio of the two, the level and the time taken; then each volume file.
std::string SummaryText(const std::filesystem::path& output, const BuildReport& report, double seconds);

// The stub used without --stub: quoxstub.exe next to the quox program, else the one of
// the build tree quox was built in.
std::filesystem::path DefaultStubPath(const char* argv0);

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);
bool WriteWholeFile(const std::filesystem::path& path, const std::string& bytes);
