#pragma once
#include "builder/Diagnostics.h"
#include "builder/Manifest.h"
#include "builder/PackageWriter.h"
#include <filesystem>
#include <optional>
#include <string>

// `quox build` from start to end: read and check the manifest, collect the files, make
// the package, read it back the way the installer will, and only then write the
// installer and its volume files. Nothing is written when anything is wrong.

struct BuildRequest {
    std::filesystem::path manifest;
    std::filesystem::path output;
    std::filesystem::path stub;
    std::optional<Compression> compression;   // overrides the manifest's
};

struct BuildReport {
    BuiltPackage package;
    size_t fileCount = 0;
    std::string summary;   // what `quox build` prints
};

bool BuildInstaller(const BuildRequest& request, BuildReport& report, Diagnostics& diagnostics);

// Makes the package in memory without writing anything (the tests' entry).
bool BuildInMemory(const Manifest& manifest, const std::string& stub, const std::string& volumeStem,
                   std::optional<Compression> compression, BuildReport& report, Diagnostics& diagnostics);

// The stub used without --stub: quoxstub.exe next to the quox program, else the one of
// the build tree quox was built in.
std::filesystem::path DefaultStubPath(const char* argv0);

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);
bool WriteWholeFile(const std::filesystem::path& path, const std::string& bytes);
