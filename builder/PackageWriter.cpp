#include "builder/PackageWriter.h"
#include "core/Checksum.h"
#include "core/MemoryWriter.h"
#include "payload/Descrambler.h"
#include "payload/Encoder.h"
#include "payload/PayloadLayout.h"
#include "payload/PeImage.h"
#include "payload/SettingsWriter.h"
#include <algorithm>
#include <cstring>

namespace {

// IMAGE_SCN_CNT_INITIALIZED_DATA | IMAGE_SCN_MEM_READ: data the loader maps read-only.
constexpr uint32_t kSectionCharacteristics = 0x40000040;

String ToString(const std::string& text)
{
    return String(text.data(), static_cast<int32_t>(text.size()));
}

std::string FromString(const String& text)
{
    return std::string(text.Text(), static_cast<size_t>(text.Length()));
}

void PutI32(std::string& out, int32_t value)
{
    uint32_t v = static_cast<uint32_t>(value);
    char bytes[4] = { static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                      static_cast<char>(v >> 24) };
    out.append(bytes, 4);
}

void SetI32(std::string& out, size_t at, int32_t value)
{
    std::string bytes;
    PutI32(bytes, value);
    out.replace(at, 4, bytes);
}

int64_t AlignUp(int64_t value, int64_t alignment)
{
    return (value + alignment - 1) / alignment * alignment;
}

bool ReadAt(void* context, int64_t offset, void* destination, int32_t count)
{
    const std::string& image = *static_cast<const std::string*>(context);
    if (offset < 0 || count < 0 || offset + count > static_cast<int64_t>(image.size()))
        return false;
    memcpy(destination, image.data() + offset, static_cast<size_t>(count));
    return true;
}

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

bool CompressBytes(const std::string& input, Compression level, std::string& output)
{
    String block;
    if (!Compress(input.data(), static_cast<int32_t>(input.size()), block,
                  level == Compression::Fast ? CompressionLevel::Fast : CompressionLevel::Best))
        return false;
    output = FromString(block);
    return true;
}

}

bool BuildPackage(const Manifest& manifest, const std::vector<PackedFile>& files, const std::string& stubBytes,
                  const std::string& volumeStem, std::optional<Compression> compressionOverride, BuiltPackage& out,
                  Diagnostics& diagnostics)
{
    std::string where = manifest.path.string();
    auto fail = [&](const std::string& table, const std::string& field, const std::string& message) {
        diagnostics.Add({ where, 0, table, field, message });
        return false;
    };
    out = BuiltPackage();
    out.stubBytes = static_cast<int64_t>(stubBytes.size());
    String stub = ToString(stubBytes);
    StubShape shape;
    if (!ReadStubShape(stub, shape))
        return fail("", "", "the stub is not a 32-bit Windows program quox can extend");
    // With the payload section the program needs 4 to 99 sections, or the installer
    // refuses to start.
    if (shape.sections + 1 < Pe::kMinSections || shape.sections + 1 > Pe::kMaxSections)
        return fail("", "", "the stub has " + std::to_string(shape.sections) + " sections; it needs " +
                                std::to_string(Pe::kMinSections - 1) + " to " + std::to_string(Pe::kMaxSections - 1));

    Settings settings = manifest.settings;
    const PackageLayout& layout = manifest.layout;
    Compression compression = compressionOverride.value_or(layout.compression);

    // The file data: every entry, then compressed as one block.
    std::vector<int32_t> sizes;
    std::string fileData = SerializeFileEntries(files, sizes);
    out.fileDataBytes = static_cast<int64_t>(fileData.size());
    if (fileData.size() > static_cast<size_t>(INT32_MAX))
        return fail("[files]", "", "the file data is " + std::to_string(fileData.size()) +
                                       " bytes; a package holds less than 2 GiB");
    std::string stored;
    settings.productFlags &= ~static_cast<uint64_t>(kFlagCompressedFileData);
    if (compression != Compression::None && !fileData.empty()) {
        if (!CompressBytes(fileData, compression, stored))
            return fail("[package]", "compression", "the file data could not be compressed (out of memory?)");
        settings.productFlags |= kFlagCompressedFileData;
    } else {
        stored = std::move(fileData);
    }
    out.storedFileDataBytes = static_cast<int64_t>(stored.size());
    uint32_t fileDataChecksum = Checksum(stored.data(), static_cast<int32_t>(stored.size()));

    settings.externalData = layout.external ? 1 : 0;
    settings.volumeTag = layout.volumeTag.value_or(static_cast<int32_t>(fileDataChecksum));
    if (!manifest.volumeBaseGiven)
        settings.volumeBaseName = ToString(volumeStem.empty() ? std::string("setup") : volumeStem);

    if (settings.patchOffset > 0 && static_cast<int64_t>(settings.patchOffset) + settings.patch.Length() >
                                        AlignUp(static_cast<int64_t>(stubBytes.size()), shape.fileAlignment))
        return fail("[uninstaller]", "patch_offset",
                    "the patch (" + std::to_string(settings.patch.Length()) + " bytes at " +
                        std::to_string(settings.patchOffset) + ") reaches past the end of the uninstaller (" +
                        std::to_string(stubBytes.size()) + " bytes); the installer would skip it");

    // The settings block: the stream, compressed, then scrambled with its own checksum.
    MemoryWriter streamWriter;
    if (!WriteSettings(streamWriter, settings))
        return fail("", "", "the settings could not be written (out of memory?)");
    streamWriter.Finish();
    std::string stream = FromString(streamWriter.Contents());
    out.settingsStreamBytes = static_cast<int64_t>(stream.size());
    uint32_t key = Checksum(stream.data(), static_cast<int32_t>(stream.size()));
    std::string block;
    if (!CompressBytes(stream, Compression::Best, block))
        return fail("", "", "the settings could not be compressed (out of memory?)");
    Descramble(block.data(), static_cast<int32_t>(block.size()), key);
    out.settingsBlockBytes = static_cast<int64_t>(block.size());
    if (block.size() > static_cast<size_t>(kMaxSettingsBlockLength))
        return fail("", "", "the settings block is " + std::to_string(block.size()) + " bytes; the installer takes at most " +
                                std::to_string(kMaxSettingsBlockLength) + " (a smaller picture or fewer texts help)");

    // Where the file data goes: how much stays in the installer, the rest in volumes.
    int64_t total = static_cast<int64_t>(stored.size());
    int64_t fileDataOffset = kPayloadHeaderSize + 4 * static_cast<int64_t>(sizes.size()) + static_cast<int64_t>(block.size());
    int64_t rawOffset = AlignUp(static_cast<int64_t>(stubBytes.size()), shape.fileAlignment);
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

    std::string section;
    PutI32(section, static_cast<int32_t>(kPayloadMagic));
    PutI32(section, kBuilderVersion);
    PutI32(section, static_cast<int32_t>(block.size()));
    PutI32(section, static_cast<int32_t>(key));
    PutI32(section, 0); // the stub's checksum, known once the section is in place
    PutI32(section, static_cast<int32_t>(fileDataOffset + (layout.external ? 0 : first)));
    PutI32(section, static_cast<int32_t>(sizes.size()));
    PutI32(section, static_cast<int32_t>(total));
    PutI32(section, static_cast<int32_t>(fileDataChecksum));
    for (int32_t size : sizes)
        PutI32(section, size);
    section += block;
    if (!layout.external)
        section.append(stored, 0, static_cast<size_t>(first));
    if (section.size() > static_cast<size_t>(INT32_MAX) - stubBytes.size() - shape.sectionAlignment * 2)
        return fail("[files]", "", "the installer would pass 2 GiB; use volume_size or data = \"external\"");

    String image = stub;
    if (!AppendSection(image, kPayloadSectionName, ToString(section), kSectionCharacteristics))
        return fail("", "", "the stub's section table has no room for the payload section, or data follows its "
                            "last section");
    std::string installer = FromString(image);
    PayloadSection located;
    if (LocatePayloadSection(ReadAt, &installer, located) != 0)
        return fail("", "", "the payload section cannot be found again in the installer");
    // The installer rebuilds its stub from the bytes before the section and checks them
    // against this sum; the section's own entry in the headers is part of them.
    uint32_t stubChecksum = Checksum(installer.data(), located.rawOffset);
    SetI32(installer, static_cast<size_t>(located.rawOffset) + 16, static_cast<int32_t>(stubChecksum));

    if (layout.external) {
        size_t start = static_cast<size_t>(located.rawOffset + fileDataOffset);
        size_t end = start + static_cast<size_t>(first);
        if (installer.size() < end)
            installer.resize(end, '\0');
        installer.replace(start, static_cast<size_t>(first), stored, 0, static_cast<size_t>(first));
    }

    if (first < total) {
        int64_t chunk = layout.volumeSize - kVolumeTagSize;
        // Tags go up by one per volume; wrap-around is fine for a tag.
        uint32_t tag = static_cast<uint32_t>(settings.volumeTag);
        int number = kFirstVolumeNumber;
        for (int64_t at = first; at < total; at += chunk, ++number, ++tag) {
            VolumeFile volume;
            char name[300];
            snprintf(name, sizeof name, kVolumeNameFormat, settings.volumeBaseName.Text(), number);
            volume.name = name;
            PutI32(volume.bytes, static_cast<int32_t>(tag));
            volume.bytes.append(stored, static_cast<size_t>(at), static_cast<size_t>(std::min(chunk, total - at)));
            out.volumes.push_back(std::move(volume));
        }
    }
    out.installer = std::move(installer);
    return true;
}
