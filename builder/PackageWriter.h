#pragma once
#include "builder/Diagnostics.h"
#include "builder/FileData.h"
#include "builder/Manifest.h"
#include <cstdint>
#include <string>
#include <vector>

// Turns a checked manifest and its files into an installer: the stub with a `.quox`
// section appended that holds the header, the size table, the settings block and the
// file data (or its first part), the file data's tail after the image with the
// external-data flag, and numbered volume files for what does not fit.
//
// The result depends only on the inputs: the settings key is the settings stream's own
// checksum, the volume tag comes from the file data's checksum unless the manifest sets
// it, and nothing reads the clock.

struct VolumeFile {
    std::string name;   // "<base><n>.QOX", to be written next to the installer
    std::string bytes;  // the 4-byte tag, then the data
};

struct BuiltPackage {
    std::string installer;
    std::vector<VolumeFile> volumes;
    // Figures for the report.
    int64_t stubBytes = 0;
    int64_t settingsStreamBytes = 0;
    int64_t settingsBlockBytes = 0;
    int64_t fileDataBytes = 0;        // entries before compression
    int64_t storedFileDataBytes = 0;  // as stored (compressed or not)
};

// The file data for BuildPackage: the entries (AssembleFileData) with their size table,
// and the block they make when the package is compressed.
struct PackedFileData {
    const std::string* entries = nullptr;
    std::vector<int32_t> sizes;
    const std::string* block = nullptr;   // null: stored as they are
};

// `volumeStem` is the default volume base name (the installer's name without its
// extension). `level` is the package's compression; the settings block is compressed
// at that level, or at the fast one when the file data is not compressed. Problems the
// manifest could not show before the sizes were known (an oversized settings block, an
// uninstaller patch beyond the stub, a stub that cannot take the section) go to
// `diagnostics`.
bool BuildPackage(const Manifest& manifest, const PackedFileData& fileData, const std::string& stub,
                  const std::string& volumeStem, Compression level, BuiltPackage& out, Diagnostics& diagnostics);
