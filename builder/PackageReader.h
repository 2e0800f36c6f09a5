#pragma once
#include "builder/FileData.h"
#include "payload/PayloadHeaderReader.h"
#include "payload/PeImage.h"
#include "payload/Settings.h"
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Reads a package the way the installer does - the section, every header field with its
// checks, the settings block, the file data from the section, the file's tail and the
// volume files - and keeps every piece for `quox inspect` and for the builder's own check
// of what it wrote. Problems are named with the installer's corrupt-installer code.

struct Package {
    PayloadSection section;
    PayloadHeaderFields header;
    Settings settings;             // as the installer reads them (defaults applied)
    std::string settingsStream;    // the decoded settings block
    std::string storedFileData;    // all parts joined, as stored (kept with keepFileBytes)
    std::string fileData;          // decompressed (kept with keepFileBytes)
    std::vector<PackedFile> files;
    int32_t firstPartBytes = 0;    // of the file data in the section or the file's tail
    int volumeCount = 0;
};

// Answers a volume file's bytes by name, or nothing when there is no such file.
using VolumeLoader = std::function<std::optional<std::string>(const std::string& name)>;

struct ReadOptions {
    // Whether the decoded file data and each file's bytes are kept in the package; the
    // builder's check of what it wrote needs neither.
    bool keepFileBytes = true;
    // When set, the decoded file data must be exactly these bytes.
    const std::string* expectedFileData = nullptr;
};

bool ReadPackage(const std::string& image, const VolumeLoader& loadVolume, Package& package, std::string& problem,
                 const ReadOptions& options = {});

// The payload section's raw bytes (for saving as a fuzz seed); empty when there is none.
std::string PayloadSectionBytes(const std::string& image);
