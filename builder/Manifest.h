#pragma once
#include "builder/Diagnostics.h"
#include "payload/Settings.h"
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// A manifest, read from TOML and checked: the settings of the package in the form the
// settings stream stores them, the file groups still to be expanded, and how the package
// is to be laid out. Every text is already in the package's code page.

using FileStampFields = std::array<int32_t, 6>; // year, month, day, hour, minute, second

// A stamp with neither date nor time: month 0, hour -1.
constexpr FileStampFields kNoFileStamp = { 0, 0, 0, -1, 0, 0 };

// One [files.<name>] table: the sources it matches and what every matched file gets.
struct FileGroup {
    std::string name;
    int line = 0;
    int sourceLine = 0;
    std::vector<std::string> sources;     // globs as written, relative to the manifest
    std::string subdirectory;             // prefix of every installed name (backslashes)
    int32_t destination = 0;
    int32_t flags = 0;                    // file flags and install condition
    int32_t attributes = -1;
    std::string text1;                    // version, font face or shortcut name
    std::string icon;
    std::string arguments;
    std::string target;
    std::string workdir;
    std::optional<FileStampFields> date;  // overrides each file's modification time
};

enum class Compression { None, Fast, Best };

struct PackageLayout {
    Compression compression = Compression::Fast; // the quicker level; smaller than zlib (bench/builder)
    bool external = false;          // file data after the mapped image
    int64_t volumeSize = 0;         // 0: no volume files
    std::optional<int64_t> installerData; // bytes of file data kept in the installer with volumes
    std::optional<int32_t> volumeTag;     // default: derived from the file data
    int codePage = 1252;
};

struct Manifest {
    std::filesystem::path path;      // as given, for messages
    std::filesystem::path directory; // sources are relative to it
    Settings settings;               // the stored settings (texts as the manifest gives them)
    std::vector<FileGroup> groups;   // in manifest order
    PackageLayout layout;
    bool volumeBaseGiven = false;    // else the output's name is used
};

// Reads and checks a manifest file. False when it has problems; each is in `diagnostics`.
bool LoadManifest(const std::filesystem::path& path, Manifest& manifest, Diagnostics& diagnostics);

// The same for manifest text already in memory; `path` names it in messages and its
// directory is where sources are found.
bool ParseManifest(const std::string& text, const std::filesystem::path& path, Manifest& manifest,
                   Diagnostics& diagnostics);
