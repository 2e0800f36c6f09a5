#include "builder/FileData.h"
#include "builder/ByteText.h"
#include "builder/TextEncoding.h"
#include "core/Checksum.h"
#include "core/Platform.h"
#include "payload/ErrorCodes.h"
#include "payload/FileEntry.h"
#include "payload/PayloadLayout.h"
#include "builder/ThreadedEncoder.h"
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fnmatch.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool HasWildcard(const std::string& component)
{
    return component.find_first_of("*?[") != std::string::npos;
}

std::vector<std::string> SplitComponents(const std::string& pattern)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : pattern) {
        if (c == '/') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

std::vector<std::filesystem::directory_entry> SortedEntries(const std::filesystem::path& directory)
{
    std::vector<std::filesystem::directory_entry> entries;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(directory, error))
        entries.push_back(entry);
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.path().filename().string() < b.path().filename().string(); });
    return entries;
}

void Match(const std::filesystem::path& directory, const std::string& relative, const std::vector<std::string>& parts,
           size_t index, std::vector<GlobMatch>& out)
{
    if (index == parts.size())
        return;
    const std::string& part = parts[index];
    bool last = index + 1 == parts.size();
    std::error_code error;
    if (part == "**") {
        // Zero folders, then every folder below, depth first in sorted order.
        Match(directory, relative, parts, index + 1, out);
        for (const auto& entry : SortedEntries(directory)) {
            if (entry.is_directory(error))
                Match(entry.path(), relative + entry.path().filename().string() + "/", parts, index, out);
        }
        return;
    }
    for (const auto& entry : SortedEntries(directory)) {
        std::string name = entry.path().filename().string();
        if (fnmatch(part.c_str(), name.c_str(), 0) != 0)
            continue;
        if (last) {
            if (entry.is_regular_file(error))
                out.push_back({ entry.path(), relative + name });
        } else if (entry.is_directory(error)) {
            Match(entry.path(), relative + name + "/", parts, index + 1, out);
        }
    }
}

// The file's modification time as a stamp in UTC, so that the same sources give the same
// package wherever it is built.
FileStampFields ModificationStamp(const std::filesystem::path& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return kNoFileStamp;
    struct tm fields {};
    time_t seconds = info.st_mtime;
    gmtime_r(&seconds, &fields);
    return { fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec };
}

void PutText(std::string& out, const std::string& text)
{
    out.append(text.c_str());
    out += '\0';
}

}

std::vector<GlobMatch> ExpandGlob(const std::filesystem::path& directory, const std::string& pattern)
{
    std::vector<GlobMatch> out;
    std::vector<std::string> parts = SplitComponents(pattern);
    // A trailing "**" means every file below.
    if (!parts.empty() && parts.back() == "**")
        parts.push_back("*");
    std::filesystem::path base = !pattern.empty() && pattern[0] == '/' ? std::filesystem::path("/") : directory;
    size_t index = 0;
    // The fixed leading folders are the base; the last component always names files.
    while (index + 1 < parts.size() && !HasWildcard(parts[index]))
        base /= parts[index++];
    if (index < parts.size() && !HasWildcard(parts[index]) && index + 1 == parts.size()) {
        std::error_code error;
        std::filesystem::path file = base / parts[index];
        if (std::filesystem::is_regular_file(file, error))
            out.push_back({ file, parts[index] });
        return out;
    }
    Match(base, "", parts, index, out);
    return out;
}

bool CollectFiles(const Manifest& manifest, std::vector<PackedFile>& files, Diagnostics& diagnostics)
{
    size_t before = diagnostics.Items().size();
    std::string file = manifest.path.string();
    for (const FileGroup& group : manifest.groups) {
        std::string label = "[files." + group.name + "]";
        size_t first = files.size();
        std::set<std::filesystem::path> seen;
        for (const std::string& source : group.sources) {
            std::vector<GlobMatch> matches = ExpandGlob(manifest.directory, source);
            if (matches.empty()) {
                std::error_code error;
                bool folder = std::filesystem::is_directory(manifest.directory / source, error);
                diagnostics.Add({ file, group.sourceLine, label, "source",
                                  folder ? "\"" + source + "\" is a folder; name its files, such as \"" + source + "/**\""
                                         : "\"" + source + "\" matches no file" });
                continue;
            }
            for (const GlobMatch& match : matches) {
                if (!seen.insert(std::filesystem::weakly_canonical(match.path)).second)
                    continue;
                PackedFile entry;
                std::string relative = match.relative;
                if (relative.find_first_of("\\:*?\"<>|") != std::string::npos) {
                    diagnostics.Add({ file, group.sourceLine, label, "source",
                                      "\"" + match.path.string() + "\": Windows file names cannot hold any of \\ : * ? \" < > |" });
                    continue;
                }
                std::replace(relative.begin(), relative.end(), '/', '\\');
                std::string name = group.subdirectory.empty() ? relative : group.subdirectory + "\\" + relative;
                std::string problem;
                std::optional<std::string> converted = ToCodePage(name, manifest.layout.codePage, problem);
                if (!converted) {
                    diagnostics.Add({ file, group.sourceLine, label, "source", "\"" + match.path.string() + "\": " + problem });
                    continue;
                }
                entry.name = *converted;
                std::error_code error;
                uintmax_t size = std::filesystem::file_size(match.path, error);
                // Read later, straight into the package; whether it can be is known now, so
                // that one run names every file that cannot.
                if (!error && access(match.path.c_str(), R_OK) != 0)
                    error = std::error_code(errno, std::generic_category());
                if (error || size > static_cast<uintmax_t>(kMaxFileSize)) {
                    diagnostics.Add({ file, group.sourceLine, label, "source",
                                      "\"" + match.path.string() + "\" " +
                                          (error ? "cannot be read" : "is larger than the 1 GiB a package file may have") });
                    continue;
                }
                entry.size = static_cast<int64_t>(size);
                entry.destination = group.destination;
                entry.flags = group.flags;
                entry.attributes = group.attributes;
                entry.date = group.date ? *group.date : ModificationStamp(match.path);
                entry.text1 = group.text1;
                entry.icon = group.icon;
                entry.arguments = group.arguments;
                entry.target = group.target;
                entry.workdir = group.workdir;
                entry.source = match.path;
                files.push_back(std::move(entry));
            }
        }
        bool rename = !group.target.empty() && group.target.find('\\') == std::string::npos;
        if (rename && files.size() - first > 1)
            diagnostics.Add({ file, group.line, label, "target",
                              "renames every file of the group to \"" + group.target + "\", but the group has " +
                                  std::to_string(files.size() - first) + " files" });
    }
    return diagnostics.Items().size() == before;
}

namespace {

// The bytes of an entry before and after its data (payload/FileEntry.h's field order).
void PutHead(std::string& out, const PackedFile& f)
{
    PutText(out, f.name);
    AppendLittleEndian32(out, static_cast<uint32_t>(f.destination));
    AppendLittleEndian32(out, static_cast<uint32_t>(f.flags));
    AppendLittleEndian32(out, static_cast<uint32_t>(f.attributes));
}

void PutTail(std::string& out, const PackedFile& f)
{
    AppendLittleEndian32(out, f.checksum);
    for (int32_t field : f.date)
        AppendLittleEndian32(out, static_cast<uint32_t>(field));
    PutText(out, f.text1);
    if (f.flags & kEntryHasIcon)
        PutText(out, f.icon);
    PutText(out, f.arguments);
    PutText(out, f.target);
    PutText(out, f.workdir);
}

// Reads the file's `size` bytes into `into`, a part of a growing block at a time, and
// tells the gate after each part. Answers a problem, or empty when all went well.
std::string ReadInto(const std::filesystem::path& path, char* into, int64_t size, uint64_t offset, InputGate* gate)
{
    int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return "cannot be read (" + std::string(strerror(errno)) + ")";
    // Big files are handed on in parts, so that compressing can start on them.
    constexpr int64_t kPart = int64_t(1) << 20;
    int64_t done = 0;
    std::string problem;
    while (problem.empty() && done < size) {
        size_t want = static_cast<size_t>(std::min(kPart, size - done));
        ssize_t got = read(descriptor, into + done, want);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            problem = "cannot be read (" + std::string(strerror(errno)) + ")";
        else if (got == 0)
            problem = "became shorter while it was read (" + std::to_string(done) + " bytes instead of " +
                      std::to_string(size) + ")";
        done += got > 0 ? got : 0;
        if (gate)
            gate->Advance(offset + static_cast<uint64_t>(done));
    }
    char extra;
    if (problem.empty() && read(descriptor, &extra, 1) > 0)
        problem = "grew while it was read (beyond " + std::to_string(size) + " bytes)";
    close(descriptor);
    return problem;
}

}

FileDataAssembly::FileDataAssembly(std::vector<PackedFile>& files) : m_files(files)
{
    size_t total = 0;
    std::string text;
    for (const PackedFile& f : files) {
        text.clear();
        PutHead(text, f);
        total += text.size();
        m_dataOffsets.push_back(total);
        total += static_cast<size_t>(f.size);
        text.clear();
        PutTail(text, f);
        total += text.size();
        m_sizes.push_back(static_cast<int32_t>(f.size));
    }
    m_bytes.reserve(total);
    PlatformAdviseLargeBlock(m_bytes.data(), m_bytes.capacity());
    m_bytes.resize(total);
}

bool FileDataAssembly::ReadFiles(Diagnostics& diagnostics, const std::string& manifestPath, InputGate* gate)
{
    std::string text;
    size_t at = 0;
    for (size_t i = 0; i < m_files.size(); ++i) {
        PackedFile& f = m_files[i];
        text.clear();
        PutHead(text, f);
        memcpy(m_bytes.data() + at, text.data(), text.size());
        at = m_dataOffsets[i];
        std::string problem = ReadInto(f.source, m_bytes.data() + at, f.size, at, gate);
        if (!problem.empty()) {
            diagnostics.Add({ manifestPath, 0, "", "", "\"" + f.source.string() + "\" " + problem });
            if (gate)
                gate->Abandon();
            return false;
        }
        f.checksum = Checksum(m_bytes.data() + at, static_cast<int32_t>(f.size));
        at += static_cast<size_t>(f.size);
        text.clear();
        PutTail(text, f);
        memcpy(m_bytes.data() + at, text.data(), text.size());
        at += text.size();
        if (gate)
            gate->Advance(at);
    }
    return true;
}

namespace {

const char* EntryFault(int code)
{
    switch (code) {
    case kCodeEmptyName:
        return "empty name";
    case kCodeNegativeSize:
        return "its size is negative";
    case kCodeSizeTooLarge:
        return "its size is above the 1 GiB a file may have";
    default:
        return "it runs past the end of the file data";
    }
}

}

bool ParseFileEntries(const char* data, size_t length, const std::vector<int32_t>& sizes,
                      std::vector<PackedFile>& files, bool keepBytes, std::string& problem, int& code)
{
    PayloadCursor cursor(data, static_cast<int32_t>(length));
    files.clear();
    files.reserve(sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
        FileEntry entry;
        code = ReadFileEntry(cursor, sizes[i], entry);
        if (code) {
            problem = "file entry " + std::to_string(i + 1) + " of " + std::to_string(sizes.size()) + ": " +
                      EntryFault(code);
            return false;
        }
        PackedFile f;
        f.name = entry.name;
        f.destination = entry.destination;
        f.flags = entry.flags;
        f.attributes = entry.attributes;
        f.size = entry.dataLength;
        if (keepBytes)
            f.data.assign(reinterpret_cast<const char*>(entry.data), static_cast<size_t>(entry.dataLength));
        f.checksum = entry.checksum;
        std::copy(std::begin(entry.date), std::end(entry.date), f.date.begin());
        f.text1 = entry.text1;
        f.icon = entry.icon;
        f.arguments = entry.arguments;
        f.target = entry.target;
        f.workdir = entry.workdir;
        if (Checksum(entry.data, entry.dataLength) != f.checksum) {
            code = kCodeFileChecksum;
            problem = "the checksum of " + f.name + " differs";
            return false;
        }
        if (!FileEntryHasPlace(f.destination, f.flags, f.target.c_str())) {
            code = kCodeUnknownGroup;
            problem = f.name + " has destination " + std::to_string(f.destination) + " without a target path";
            return false;
        }
        files.push_back(std::move(f));
    }
    if (cursor.Remaining() != 0) {
        code = kCodePayloadOverrun;
        problem = std::to_string(cursor.Remaining()) + " bytes after the last file entry";
        return false;
    }
    return true;
}
