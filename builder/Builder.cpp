#include "builder/Builder.h"
#include "builder/FileData.h"
#include "builder/PackageReader.h"
#include "builder/TextEncoding.h"
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

namespace {

// The builder refuses to hand over a package it cannot read back: the same checks the
// installer makes, in its order, over the bytes about to be written.
bool Verify(const Manifest& manifest, const BuiltPackage& built, size_t fileCount, Diagnostics& diagnostics)
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
    if (!ReadPackage(built.installer, load, package, problem)) {
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

std::string Summary(const std::filesystem::path& output, const BuildReport& report)
{
    const BuiltPackage& p = report.package;
    char line[512];
    snprintf(line, sizeof line,
             "%s: %lld bytes, %zu files (%lld bytes of file data, %lld stored), stub %lld, settings %lld bytes "
             "(%lld decoded)%s\n",
             output.string().c_str(), static_cast<long long>(p.installer.size()), report.fileCount,
             static_cast<long long>(p.fileDataBytes), static_cast<long long>(p.storedFileDataBytes),
             static_cast<long long>(p.stubBytes), static_cast<long long>(p.settingsBlockBytes),
             static_cast<long long>(p.settingsStreamBytes), p.volumes.empty() ? "" : ", volumes:");
    std::string text = line;
    for (const VolumeFile& volume : p.volumes)
        text += "  " + (output.parent_path() / volume.name).string() + ": " + std::to_string(volume.bytes.size()) +
                " bytes\n";
    return text;
}

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
                   std::optional<Compression> compression, BuildReport& report, Diagnostics& diagnostics)
{
    std::vector<PackedFile> files;
    if (!CollectFiles(manifest, files, diagnostics))
        return false;
    report.fileCount = files.size();
    if (!BuildPackage(manifest, files, stub, volumeStem, compression, report.package, diagnostics))
        return false;
    return Verify(manifest, report.package, files.size(), diagnostics);
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
    report.fileCount = files.size();
    // The default volume base name is the installer's own name, in the package's code
    // page; a name the code page cannot hold falls back to "setup".
    std::string problem;
    std::string stem = ToCodePage(request.output.stem().string(), manifest.layout.codePage, problem).value_or("setup");
    if (stem.find_first_of("\\/:*?\"<>|") != std::string::npos)
        stem = "setup";
    if (!BuildPackage(manifest, files, *stub, stem, request.compression, report.package, diagnostics))
        return false;
    files.clear();
    if (!Verify(manifest, report.package, report.fileCount, diagnostics))
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
    report.summary = Summary(request.output, report);
    return true;
}
