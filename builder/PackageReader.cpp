#include "builder/PackageReader.h"
#include "builder/ByteText.h"
#include "core/Checksum.h"
#include "core/LittleEndian.h"
#include "core/Memory.h"
#include "core/MemoryReader.h"
#include "payload/Decompressor.h"
#include "payload/Descrambler.h"
#include "payload/ErrorCodes.h"
#include "payload/FileEntry.h"
#include "payload/SettingsReader.h"
#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>

namespace {

// The inspector settles nothing outside the stream, but knows the file's size.
class InspectHost final : public SettingsHost {
public:
    explicit InspectHost(int64_t fileSize) : m_fileSize(fileSize) {}
    int64_t OwnFileSize() override { return m_fileSize; }

private:
    int64_t m_fileSize;
};

bool Fail(std::string& problem, int code, const std::string& what)
{
    problem = "corrupt installer, error " + std::to_string(code) + ": " + what;
    return false;
}

// The reads of LocatePayloadSection only read.
void* ReadContext(const std::string& image)
{
    return const_cast<std::string*>(&image);
}

}

std::string PayloadSectionBytes(const std::string& image)
{
    PayloadSection section;
    if (LocatePayloadSection(ReadAtInString, ReadContext(image), section) != 0 || section.rawOffset < 0 ||
        static_cast<size_t>(section.rawOffset) > image.size())
        return std::string();
    return image.substr(static_cast<size_t>(section.rawOffset), static_cast<size_t>(section.rawSize));
}

bool ReadPackage(const std::string& image, const VolumeLoader& loadVolume, Package& package, std::string& problem,
                 const ReadOptions& options)
{
    package = Package();
    int code = LocatePayloadSection(ReadAtInString, ReadContext(image), package.section);
    if (code == kNoPayloadSection) {
        problem = "there is no .quox section: this is not an installer";
        return false;
    }
    if (code)
        return Fail(problem, code, "the PE headers cannot be walked");
    const PayloadSection& section = package.section;
    if (section.rawSize < 0 || static_cast<int64_t>(section.rawOffset) + section.rawSize > static_cast<int64_t>(image.size()))
        return Fail(problem, kCodeCannotSeekPayload, "the section's raw data lies past the end of the file");

    // The header and the settings are read from the section as the loader maps it.
    PayloadCursor cursor(image.data() + section.rawOffset, section.rawSize);
    code = ReadPayloadHeader(cursor, package.header);
    if (code == kHeaderVersionMismatch) {
        problem = VersionMismatchText(package.header.header.builderVersion).Text();
        return false;
    }
    if (code)
        return Fail(problem, code, "the payload header is not valid");
    const PayloadHeader& h = package.header.header;
    String block;
    if (!cursor.ReadBlock(block, h.settingsLength))
        return Fail(problem, kCodePayloadOverrun, "the settings block runs past the end of the section");
    Descramble(block, h.settingsKey);
    if (!Decompress(block))
        return Fail(problem, kCodeSettingsDecompress, "the settings block does not decompress");
    if (Checksum(block) != h.settingsKey)
        return Fail(problem, kCodeSettingsChecksum, "the settings block does not match its key");
    package.settingsStream.assign(block.Text(), static_cast<size_t>(block.Length()));
    MemoryReader stream(block);
    InspectHost host(static_cast<int64_t>(image.size()));
    code = ReadSettings(stream, package.settings, host);
    if (code)
        return Fail(problem, code, "the settings stream is not valid");
    const Settings& s = package.settings;

    // The file data: the first part from the section or the file's tail, then volumes.
    // Without volumes it lies in one piece in the image and is read there.
    int64_t total = h.fileDataLength;
    int64_t offset = package.header.fileDataOffset;
    int64_t firstStart = 0;
    int64_t firstLength = 0;
    if (s.externalData) {
        firstStart = std::min<int64_t>(section.rawOffset + offset, static_cast<int64_t>(image.size()));
        firstLength = std::min(static_cast<int64_t>(image.size()) - firstStart, total);
    } else {
        if (h.fileDataEnd < offset || h.fileDataEnd > section.rawSize)
            return Fail(problem, kCodePayloadOverrun, "the file data's end offset lies outside the section");
        firstStart = section.rawOffset + offset;
        firstLength = std::min<int64_t>(h.fileDataEnd - offset, total);
    }
    package.firstPartBytes = static_cast<int32_t>(firstLength);
    std::string joined;
    std::string_view stored(image.data() + firstStart, static_cast<size_t>(firstLength));
    if (firstLength < total) {
        joined.assign(stored);
        uint32_t tag = static_cast<uint32_t>(s.volumeTag);
        for (int number = kFirstVolumeNumber; static_cast<int64_t>(joined.size()) < total; ++number, ++tag) {
            char name[300];
            snprintf(name, sizeof name, kVolumeNameFormat, s.volumeBaseName.Text(), number);
            std::optional<std::string> volume = loadVolume ? loadVolume(name) : std::nullopt;
            if (!volume)
                return Fail(problem, kCodeVolumeRead, std::string("volume file ") + name + " is missing");
            if (volume->size() <= 4 || LoadLittleEndian32(reinterpret_cast<const uint8_t*>(volume->data())) != tag)
                return Fail(problem, kCodeVolumeRead,
                            std::string("volume file ") + name + " is too short or has the wrong tag");
            size_t missing = static_cast<size_t>(total) - joined.size();
            joined.append(*volume, 4, std::min(missing, volume->size() - 4));
            ++package.volumeCount;
        }
        stored = joined;
    }
    if (options.keepFileBytes)
        package.storedFileData.assign(stored);
    if (Checksum(stored.data(), static_cast<int32_t>(stored.size())) != h.fileDataChecksum)
        return Fail(problem, kCodeFileDataChecksum, "the file data's checksum differs");
    // Decoded into a large block of its own: the file data may be gigabytes, and the
    // builder reads back every package it makes.
    std::unique_ptr<char, FreeBlock> decoded;
    std::string_view fileData = stored;
    if (s.Has(kFlagCompressedFileData) && total > 0) {
        int32_t storedLength = static_cast<int32_t>(stored.size());
        int32_t length = DecodedLength(stored.data(), storedLength);
        if (length >= 0)
            decoded.reset(static_cast<char*>(TryAllocateLarge(static_cast<uint64_t>(length))));
        if (!decoded || !DecompressInto(stored.data(), storedLength, decoded.get(), length))
            return Fail(problem, kCodeFileDataDecompress, "the file data does not decompress");
        fileData = std::string_view(decoded.get(), static_cast<size_t>(length));
    }
    if (options.expectedFileData && fileData != *options.expectedFileData)
        return Fail(problem, kCodeFileDataDecompress, "the file data does not decode to the files' entries");
    if (options.keepFileBytes)
        package.fileData.assign(fileData);

    std::vector<int32_t> sizes;
    for (int32_t i = 0; i < package.header.sizes.Count(); ++i)
        sizes.push_back(package.header.sizes[i]);
    std::string entryProblem;
    if (!ParseFileEntries(fileData.data(), fileData.size(), sizes, package.files, options.keepFileBytes, entryProblem,
                          code))
        return Fail(problem, code, entryProblem);
    return true;
}
