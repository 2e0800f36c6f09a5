#include "builder/PackageWriter.h"
#include "builder/ByteText.h"
#include "core/Checksum.h"
#include "core/MemoryWriter.h"
#include "payload/Descrambler.h"
#include "payload/Encoder.h"
#include "payload/PayloadLayout.h"
#include "payload/PeImage.h"
#include "payload/SettingsWriter.h"
#include <algorithm>
#include <cstring>
#include <string_view>

// A package is built in the order its parts depend on one another: the file data first
// (its checksum seeds the volume tag), then the settings block (its stream's checksum is
// its key), then the split of the file data between installer and volumes (it depends
// on the block's size), then the section, whose place in the stub fixes the stub
// checksum that the header carries.

namespace {

// IMAGE_SCN_CNT_INITIALIZED_DATA | IMAGE_SCN_MEM_READ: data the loader maps read-only.
constexpr uint32_t kSectionCharacteristics = 0x40000040;

int64_t AlignUp(int64_t value, int64_t alignment)
{
    return (value + alignment - 1) / alignment * alignment;
}

// Collects the problems of one build, each naming the manifest.
class Failure {
public:
    Failure(const Manifest& manifest, Diagnostics& diagnostics)
        : m_where(manifest.path.string()), m_diagnostics(diagnostics)
    {
    }
    bool operator()(const std::string& table, const std::string& field, const std::string& message)
    {
        m_diagnostics.Add({ m_where, 0, table, field, message });
        return false;
    }

private:
    std::string m_where;
    Diagnostics& m_diagnostics;
};

struct StubShape {
    int64_t fileAlignment = 0;
    int64_t sectionAlignment = 0;
    int32_t sections = 0;
};

bool ReadStubShape(const String& stub, StubShape& shape)
{
    if (stub.Length() < 0x40 || stub.CharAt(0) != 'M' || stub.CharAt(1) != 'Z')
        return false;
    int32_t pe = stub.GetUInt16At(Pe::kHeaderPointerOffset);
    if (pe < Pe::kMinHeaderPointer || pe > Pe::kMaxHeaderPointer || pe + 0xF8 > stub.Length() ||
        stub.GetInt32At(pe) != 0x00004550)
        return false;
    shape.sections = stub.GetUInt16At(pe + Pe::kSectionCountOffset);
    shape.fileAlignment = static_cast<uint32_t>(stub.GetInt32At(pe + Pe::kFileAlignmentOffset));
    shape.sectionAlignment = static_cast<uint32_t>(stub.GetInt32At(pe + Pe::kSectionAlignmentOffset));
    return shape.fileAlignment > 0 && shape.sectionAlignment >= shape.fileAlignment;
}

bool CheckStub(const String& stub, StubShape& shape, Failure& fail)
{
    if (!ReadStubShape(stub, shape))
        return fail("", "", "the stub is not a 32-bit Windows program quox can extend");
    // With the payload section the program needs 4 to 99 sections, or the installer
    // refuses to start.
    if (shape.sections + 1 < Pe::kMinSections || shape.sections + 1 > Pe::kMaxSections)
        return fail("", "", "the stub has " + std::to_string(shape.sections) + " sections; it needs " +
                                std::to_string(Pe::kMinSections - 1) + " to " + std::to_string(Pe::kMaxSections - 1));
    return true;
}

bool CompressBytes(const std::string& input, Compression level, std::string& output)
{
    String block;
    if (!Compress(input.data(), static_cast<int32_t>(input.size()), block,
                  level == Compression::Best ? CompressionLevel::Best : CompressionLevel::Fast))
        return false;
    output = FromString(block);
    return true;
}

// The settings block: the stream, compressed, then scrambled with the stream's own
// checksum, which is its key.
bool SealSettings(const Settings& settings, Compression level, std::string& block, uint32_t& key, BuiltPackage& out,
                  Failure& fail)
{
    MemoryWriter streamWriter;
    if (!WriteSettings(streamWriter, settings))
        return fail("", "", "the settings could not be written (out of memory?)");
    streamWriter.Finish();
    std::string stream = FromString(streamWriter.Contents());
    out.settingsStreamBytes = static_cast<int64_t>(stream.size());
    key = Checksum(stream.data(), static_cast<int32_t>(stream.size()));
    if (!CompressBytes(stream, level, block))
        return fail("", "", "the settings could not be compressed (out of memory?)");
    Descramble(block.data(), static_cast<int32_t>(block.size()), key);
    out.settingsBlockBytes = static_cast<int64_t>(block.size());
    if (block.size() > static_cast<size_t>(kMaxSettingsBlockLength))
        return fail("", "", "the settings block is " + std::to_string(block.size()) +
                                " bytes; the installer takes at most " + std::to_string(kMaxSettingsBlockLength) +
                                " (a smaller picture or fewer texts help)");
    return true;
}

// How many bytes of the file data stay in the installer; the rest goes to volumes.
int64_t FirstPartLength(const PackageLayout& layout, const StubShape& shape, int64_t total, int64_t rawOffset,
                        int64_t fileDataOffset)
{
    int64_t first = total;
    if (layout.volumeSize > 0) {
        if (layout.installerData)
            first = *layout.installerData;
        else if (layout.external)
            first = layout.volumeSize - rawOffset - fileDataOffset;
        else
            first = (layout.volumeSize - rawOffset) / shape.sectionAlignment * shape.sectionAlignment - fileDataOffset;
        first = std::clamp<int64_t>(first, 0, total);
    }
    if (layout.external) {
        // The installer reads the first part from the file data's offset to the end of the
        // file, so the section's own padding must be file data when volumes follow.
        int64_t sectionEnd = AlignUp(std::max<int64_t>(fileDataOffset, 1), shape.sectionAlignment);
        first = std::max(first, std::min(total, sectionEnd - fileDataOffset));
    }
    return first;
}

// The section's bytes: header, size table, settings block and, unless the data is
// external, the first part of the file data.
std::string SectionBytes(const PayloadHeader& header, const std::vector<int32_t>& sizes, const std::string& block,
                         std::string_view firstPart)
{
    std::string section(kPayloadHeaderSize, '\0');
    StorePayloadHeader(reinterpret_cast<uint8_t*>(section.data()), header);
    for (int32_t size : sizes)
        AppendLittleEndian32(section, static_cast<uint32_t>(size));
    section += block;
    section += firstPart;
    return section;
}

// Appends the section to the stub, then stores the header again with the checksum of
// everything before the section: the stub the installer rebuilds and checks, the
// section's own entry in the headers included.
bool PlaceSection(const String& stub, const std::string& section, PayloadHeader& header, std::string& installer,
                  int32_t& rawOffset, Failure& fail)
{
    String image = stub;
    if (!AppendSection(image, kPayloadSectionName, ToString(section), kSectionCharacteristics))
        return fail("", "", "the stub's section table has no room for the payload section, or data follows its "
                            "last section");
    installer = FromString(image);
    PayloadSection located;
    if (LocatePayloadSection(ReadAtInString, &installer, located) != 0)
        return fail("", "", "the payload section cannot be found again in the installer");
    header.stubChecksum = Checksum(installer.data(), located.rawOffset);
    StorePayloadHeader(reinterpret_cast<uint8_t*>(installer.data()) + located.rawOffset, header);
    rawOffset = located.rawOffset;
    return true;
}

// Volume files "<base><n>.QOX" from 2: a 4-byte tag, then up to a volume's worth of data.
void SplitIntoVolumes(std::string_view stored, int64_t first, int64_t volumeSize, const Settings& settings,
                      std::vector<VolumeFile>& volumes)
{
    int64_t total = static_cast<int64_t>(stored.size());
    int64_t chunk = volumeSize - kVolumeTagSize;
    // Tags go up by one per volume; wrap-around is fine for a tag.
    uint32_t tag = static_cast<uint32_t>(settings.volumeTag);
    int number = kFirstVolumeNumber;
    for (int64_t at = first; at < total; at += chunk, ++number, ++tag) {
        VolumeFile volume;
        char name[300];
        snprintf(name, sizeof name, kVolumeNameFormat, settings.volumeBaseName.Text(), number);
        volume.name = name;
        AppendLittleEndian32(volume.bytes, tag);
        volume.bytes.append(stored.substr(static_cast<size_t>(at), static_cast<size_t>(std::min(chunk, total - at))));
        volumes.push_back(std::move(volume));
    }
}

}

bool BuildPackage(const Manifest& manifest, const PackedFileData& fileData, const std::string& stubBytes,
                  const std::string& volumeStem, Compression level, BuiltPackage& out, Diagnostics& diagnostics)
{
    Failure fail(manifest, diagnostics);
    out = BuiltPackage();
    out.stubBytes = static_cast<int64_t>(stubBytes.size());
    String stub = ToString(stubBytes);
    StubShape shape;
    if (!CheckStub(stub, shape, fail))
        return false;

    Settings settings = manifest.settings;
    const PackageLayout& layout = manifest.layout;
    if (fileData.entries->size() > static_cast<size_t>(INT32_MAX))
        return fail("[files]", "", "the file data is " + std::to_string(fileData.entries->size()) +
                                       " bytes; a package holds less than 2 GiB");
    std::string_view stored = fileData.block ? std::string_view(*fileData.block) : std::string_view(*fileData.entries);
    if (stored.size() > static_cast<size_t>(INT32_MAX))
        return fail("[files]", "", "the compressed file data is " + std::to_string(stored.size()) +
                                       " bytes; a package holds less than 2 GiB");
    out.fileDataBytes = static_cast<int64_t>(fileData.entries->size());
    out.storedFileDataBytes = static_cast<int64_t>(stored.size());
    uint32_t storedChecksum = Checksum(stored.data(), static_cast<int32_t>(stored.size()));
    settings.productFlags &= ~kFlagCompressedFileData;
    if (fileData.block)
        settings.productFlags |= kFlagCompressedFileData;

    settings.externalData = layout.external ? 1 : 0;
    settings.volumeTag = layout.volumeTag.value_or(static_cast<int32_t>(storedChecksum));
    if (!manifest.volumeBaseGiven)
        settings.volumeBaseName = ToString(volumeStem.empty() ? std::string("setup") : volumeStem);
    if (settings.patchOffset > 0 && static_cast<int64_t>(settings.patchOffset) + settings.patch.Length() >
                                        AlignUp(static_cast<int64_t>(stubBytes.size()), shape.fileAlignment))
        return fail("[uninstaller]", "patch_offset",
                    "the patch (" + std::to_string(settings.patch.Length()) + " bytes at " +
                        std::to_string(settings.patchOffset) + ") reaches past the end of the uninstaller (" +
                        std::to_string(stubBytes.size()) + " bytes); the installer would skip it");

    std::string block;
    uint32_t key = 0;
    if (!SealSettings(settings, level == Compression::Best ? Compression::Best : Compression::Fast, block, key, out, fail))
        return false;

    int64_t total = static_cast<int64_t>(stored.size());
    int64_t fileDataOffset =
        kPayloadHeaderSize + 4 * static_cast<int64_t>(fileData.sizes.size()) + static_cast<int64_t>(block.size());
    int64_t stubEnd = AlignUp(static_cast<int64_t>(stubBytes.size()), shape.fileAlignment);
    int64_t first = FirstPartLength(layout, shape, total, stubEnd, fileDataOffset);

    PayloadHeader header {};
    header.magic = kPayloadMagic;
    header.builderVersion = kBuilderVersion;
    header.settingsLength = static_cast<int32_t>(block.size());
    header.settingsKey = key;
    header.stubChecksum = 0; // known once the section is in place
    header.fileDataEnd = static_cast<int32_t>(fileDataOffset + (layout.external ? 0 : first));
    header.sizeCount = static_cast<int32_t>(fileData.sizes.size());
    header.fileDataLength = static_cast<int32_t>(total);
    header.fileDataChecksum = storedChecksum;
    std::string_view firstPart = stored.substr(0, layout.external ? 0 : static_cast<size_t>(first));
    std::string section = SectionBytes(header, fileData.sizes, block, firstPart);
    if (section.size() > static_cast<size_t>(INT32_MAX) - stubBytes.size() - shape.sectionAlignment * 2)
        return fail("[files]", "", "the installer would pass 2 GiB; use volume_size or data = \"external\"");

    std::string installer;
    int32_t rawOffset = 0;
    if (!PlaceSection(stub, section, header, installer, rawOffset, fail))
        return false;
    if (layout.external) {
        size_t start = static_cast<size_t>(rawOffset + fileDataOffset);
        size_t end = start + static_cast<size_t>(first);
        if (installer.size() < end)
            installer.resize(end, '\0');
        installer.replace(start, static_cast<size_t>(first), stored.substr(0, static_cast<size_t>(first)));
    }
    if (first < total)
        SplitIntoVolumes(stored, first, layout.volumeSize, settings, out.volumes);
    out.installer = std::move(installer);
    return true;
}
