#pragma once
#include "builder/Diagnostics.h"
#include "builder/Manifest.h"
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The file data of a package: one entry per installed file, in the order the installer
// writes them, each entry holding the file's name, where it goes, its flags and
// attributes, its bytes with their checksum, its date, and the texts of its shortcut or
// version. The size table of the header lists each entry's data length in the same order.
//
// The entry layout is payload/FileEntry.h's, which the installer reads.
struct PackedFile {
    std::string name;                 // installed name, relative, with backslashes
    int32_t destination = 0;
    int32_t flags = 0;
    int32_t attributes = -1;
    std::string data;
    uint32_t checksum = 0;
    FileStampFields date = kNoFileStamp;
    std::string text1;
    std::string icon;
    std::string arguments;
    std::string target;
    std::string workdir;
    std::filesystem::path source;     // where the bytes came from (for messages)
};

// Expands every group's sources (manifest order of groups, sorted path order within a
// source) and reads the files. Problems (a source matching nothing, an unreadable or too
// large file, a name Windows cannot hold) go to `diagnostics`; answers whether none did.
// `codePage` is the package's; installed names are converted to it.
bool CollectFiles(const Manifest& manifest, std::vector<PackedFile>& files, Diagnostics& diagnostics);

// The entries one after the other, and each entry's data length in `sizes`.
std::string SerializeFileEntries(const std::vector<PackedFile>& files, std::vector<int32_t>& sizes);

// Reads entries back from file data (after decompression) with the size table, through
// the installer's own reader. False, with `problem` and the corrupt-installer `code`
// set, when the data does not hold them.
bool ParseFileEntries(const std::string& data, const std::vector<int32_t>& sizes, std::vector<PackedFile>& files,
                      std::string& problem, int& code);

// Glob matching as the manifest uses it: "*" and "?" within one path component, "[...]"
// sets, and "**" as a whole component for any number of folders. Answers the matched
// files in sorted order of their path relative to the pattern's fixed leading folders
// (the base), as pairs of (absolute path, relative path with '/').
struct GlobMatch {
    std::filesystem::path path;
    std::string relative;
};
std::vector<GlobMatch> ExpandGlob(const std::filesystem::path& directory, const std::string& pattern);
