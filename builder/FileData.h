#pragma once
#include "builder/Diagnostics.h"
#include "builder/Manifest.h"
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class InputGate;

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
    std::string data;                 // read back from a package; the builder reads into place
    int64_t size = 0;                 // the data's length
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
// source) and notes each file's size and date; the bytes are read by AssembleFileData.
// Problems (a source matching nothing, a file that cannot be looked at or is too large, a
// name Windows cannot hold) go to `diagnostics`; answers whether none did. Installed
// names are converted to the package's code page.
bool CollectFiles(const Manifest& manifest, std::vector<PackedFile>& files, Diagnostics& diagnostics);

// The file data of a package as the installer reads it: the entries one after the other,
// laid out from the files' collected sizes, each file's bytes read from its source
// straight into place and its checksum set.
class FileDataAssembly {
public:
    explicit FileDataAssembly(std::vector<PackedFile>& files);

    // All the entries' bytes; final as far as ReadFiles has come.
    const std::string& Bytes() const { return m_bytes; }
    // Each entry's data length: the header's size table.
    const std::vector<int32_t>& Sizes() const { return m_sizes; }

    // Reads the files in order. When a `gate` is given, it hears how far the bytes are
    // final, so that an encoder may work on them meanwhile. A file that cannot be read, or
    // whose size is no longer the one collected, goes to `diagnostics` and the answer is
    // false (the gate is then abandoned).
    bool ReadFiles(Diagnostics& diagnostics, const std::string& manifestPath, InputGate* gate = nullptr);

private:
    std::vector<PackedFile>& m_files;
    std::string m_bytes;
    std::vector<int32_t> m_sizes;
    std::vector<size_t> m_dataOffsets;
};

// Reads entries back from file data (after decompression) with the size table, through
// the installer's own reader, and checks each file's checksum and place as the installer
// does. With `keepBytes` each file's bytes are copied into its `data`; without, only its
// size is noted. False, with `problem` and the corrupt-installer `code` set, when the
// data does not hold them.
bool ParseFileEntries(const char* data, size_t length, const std::vector<int32_t>& sizes,
                      std::vector<PackedFile>& files, bool keepBytes, std::string& problem, int& code);

// Glob matching as the manifest uses it: "*" and "?" within one path component, "[...]"
// sets, and "**" as a whole component for any number of folders. Answers the matched
// files in sorted order of their path relative to the pattern's fixed leading folders
// (the base), as pairs of (absolute path, relative path with '/').
struct GlobMatch {
    std::filesystem::path path;
    std::string relative;
};
std::vector<GlobMatch> ExpandGlob(const std::filesystem::path& directory, const std::string& pattern);
