#include "builder/Builder.h"
#include "builder/FileData.h"
#include "builder/PackageReader.h"
#include "builder/TextEncoding.h"
#include "builder/ThreadedEncoder.h"
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace {

// The builder refuses to hand over a package it cannot read back: the same checks the
// installer makes, in its order, over the bytes about to be written, and the file data
// must decode to exactly the entries that went in.
bool Verify(const Manifest& manifest, const BuiltPackage& built, const std::string& entries, size_t fileCount,
            Diagnostics& diagnostics)
{
    std::map<std::string, const std::string*> volumes;
    for (const VolumeFile& volume : built.volumes)
        volumes[volume.name] = &volume.bytes;
    auto load = [&](const std::string& name) -> std::optional<std::string> {
        auto found = volumes.find(name);
        if (found == volumes.end())
            return std::nullopt;
        return *found->second;
    };
    Package package;
    std::string problem;
    ReadOptions options;
    options.keepFileBytes = false;
    options.expectedFileData = &entries;
    if (!ReadPackage(built.installer, load, package, problem, options)) {
        diagnostics.Add({ manifest.path.string(), 0, "", "", "the package does not read back: " + problem });
        return false;
    }
    if (package.files.size() != fileCount) {
        diagnostics.Add({ manifest.path.string(), 0, "", "",
                          "the package reads back with " + std::to_string(package.files.size()) + " files instead of " +
                              std::to_string(fileCount) });
        return false;
    }
    return true;
}

// Reads the files into their entries and, for a compressed package, compresses them as
// they arrive: a thread reads while the encoder's threads work on what is there.
bool PackFiles(const Manifest& manifest, Compression level, const BuildOptions& options, FileDataAssembly& assembly, std::string& block, Diagnostics& diagnostics)
{
    std::string where = manifest.path.string();
    const std::string& entries = assembly.Bytes();
    if (entries.size() > static_cast<size_t>(INT32_MAX)) {
        diagnostics.Add({ where, 0, "[files]", "",
                          "the file data is " + std::to_string(entries.size()) + " bytes; a package holds less than 2 GiB" });
        return false;
    }
    if (level == Compression::None)
        return assembly.ReadFiles(diagnostics, where);

    InputGate gate(entries.size());
    Diagnostics readProblems;
    bool read = false;
    std::thread reader;
    try {
        reader = std::thread([&] { read = assembly.ReadFiles(readProblems, where, &gate); });
    } catch (const std::system_error&) {
        read = assembly.ReadFiles(readProblems, where, &gate);
    }
    EncodeOptions encode;
    encode.level = level == Compression::Best ? CompressionLevel::Best : CompressionLevel::Fast;
    encode.threads = options.threads ? options.threads : 1;
    encode.gate = &gate;
    encode.progress = options.progress;
    bool encoded = EncodeBlock(reinterpret_cast<const uint8_t*>(entries.data()), static_cast<uint32_t>(entries.size()),
                               encode, block);
    if (reader.joinable())
        reader.join();
    for (const Diagnostic& problem : readProblems.Items())
        diagnostics.Add(problem);
    if (!read)
        return false;
    if (!encoded) {
        diagnostics.Add({ where, 0, "[package]", "compression", "the file data could not be compressed (out of memory?)" });
        return false;
    }
    return true;
}

bool MakePackage(const Manifest& manifest, std::vector<PackedFile>& files, const std::string& stub,
                 const std::string& volumeStem, Compression level, const BuildOptions& options, BuildReport& report,
                 Diagnostics& diagnostics)
{
    report.fileCount = files.size();
    report.compression = level;
    report.filesBytes = 0;
    for (const PackedFile& f : files)
        report.filesBytes += f.size;
    FileDataAssembly assembly(files);
    std::string block;
    if (!PackFiles(manifest, level, options, assembly, block, diagnostics))
        return false;
    PackedFileData fileData;
    fileData.entries = &assembly.Bytes();
    fileData.sizes = assembly.Sizes();
    fileData.block = level == Compression::None || assembly.Bytes().empty() ? nullptr : &block;
    if (!BuildPackage(manifest, fileData, stub, volumeStem, level, report.package, diagnostics))
        return false;
    return Verify(manifest, report.package, assembly.Bytes(), files.size(), diagnostics);
}

}

std::string SummaryText(const std::filesystem::path& output, const BuildReport& report, double seconds)
{
    const BuiltPackage& p = report.package;
    const char* level = report.compression == Compression::Best   ? "best"
                        : report.compression == Compression::Fast ? "fast"
                                                                  : "not compressed";
    int64_t total = static_cast<int64_t>(p.installer.size());
    for (const VolumeFile& volume : p.volumes)
        total += static_cast<int64_t>(volume.bytes.size());
    char line[512];
    snprintf(line, sizeof line, "%s: %lld bytes, %zu files of %lld bytes (%.1f %%), %s, %.2f s\n",
             output.string().c_str(), static_cast<long long>(p.installer.size()), report.fileCount,
             static_cast<long long>(report.filesBytes),
             report.filesBytes > 0 ? 100.0 * static_cast<double>(total) / static_cast<double>(report.filesBytes) : 0.0,
             level, seconds);
    std::string text = line;
    for (const VolumeFile& volume : p.volumes)
        text += "  " + (output.parent_path() / volume.name).string() + ": " + std::to_string(volume.bytes.size()) +
                " bytes\n";
    return text;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return content.str();
}

bool WriteWholeFile(const std::filesystem::path& path, const std::string& bytes)
{
    // Written beside the target and renamed over it, so that a failed write never leaves
    // half an installer behind.
    std::filesystem::path temporary = path;
    temporary += ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out || !out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !out.flush()) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    return !error;
}

std::filesystem::path DefaultStubPath(const char* argv0)
{
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error && argv0)
        self = std::filesystem::absolute(argv0, error);
    std::filesystem::path beside = self.parent_path() / "quoxstub.exe";
    if (!self.empty() && std::filesystem::is_regular_file(beside, error))
        return beside;
#ifdef QUOX_BUILD_TREE_STUB
    return QUOX_BUILD_TREE_STUB;
#else
    return beside;
#endif
}

bool BuildInMemory(const Manifest& manifest, const std::string& stub, const std::string& volumeStem,
                   std::optional<Compression> compression, BuildReport& report, Diagnostics& diagnostics,
                   const BuildOptions& options)
{
    std::vector<PackedFile> files;
    if (!CollectFiles(manifest, files, diagnostics))
        return false;
    return MakePackage(manifest, files, stub, volumeStem, compression.value_or(manifest.layout.compression), options,
                       report, diagnostics);
}

bool BuildInstaller(const BuildRequest& request, BuildReport& report, Diagnostics& diagnostics)
{
    Manifest manifest;
    bool manifestOk = LoadManifest(request.manifest, manifest, diagnostics);
    // The files are looked for even when the manifest has other problems, so that one run
    // names them all.
    std::vector<PackedFile> files;
    bool filesOk = CollectFiles(manifest, files, diagnostics);
    if (!manifestOk || !filesOk)
        return false;
    std::optional<std::string> stub = ReadWholeFile(request.stub);
    if (!stub) {
        diagnostics.Add({ request.stub.string(), 0, "", "",
                          "cannot read the stub (build it, or name it with --stub <quoxstub.exe>)" });
        return false;
    }
    // The default volume base name is the installer's own name, in the package's code
    // page; a name the code page cannot hold falls back to "setup".
    std::string problem;
    std::string stem = ToCodePage(request.output.stem().string(), manifest.layout.codePage, problem).value_or("setup");
    if (stem.find_first_of("\\/:*?\"<>|") != std::string::npos)
        stem = "setup";
    if (!MakePackage(manifest, files, *stub, stem, request.compression.value_or(manifest.layout.compression),
                     request.options, report, diagnostics))
        return false;

    std::filesystem::path directory = request.output.parent_path();
    if (!WriteWholeFile(request.output, report.package.installer)) {
        diagnostics.Add({ request.output.string(), 0, "", "", "cannot write the installer" });
        return false;
    }
    for (const VolumeFile& volume : report.package.volumes) {
        if (!WriteWholeFile(directory / volume.name, volume.bytes)) {
            diagnostics.Add({ (directory / volume.name).string(), 0, "", "", "cannot write the volume file" });
            return false;
        }
    }
    return true;
}
