#include "builder/Inspect.h"
#include "builder/NamedValues.h"
#include "payload/PayloadLayout.h"
#include <cstdio>
#include <cstdarg>

namespace {

class Printer {
public:
    void Line(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        va_list arguments;
        va_start(arguments, format);
        va_list again;
        va_copy(again, arguments);
        int length = vsnprintf(nullptr, 0, format, arguments);
        va_end(arguments);
        std::string buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
        vsnprintf(buffer.data(), buffer.size(), format, again);
        va_end(again);
        buffer.pop_back();
        m_text += buffer;
        m_text += '\n';
    }
    // A text field, quoted, with control characters escaped so that every field stays on
    // one line.
    void Text(const char* name, const std::string& value)
    {
        m_text += "  ";
        m_text += name;
        m_text += ": ";
        m_text += Quoted(value);
        m_text += '\n';
    }
    void Text(const char* name, const String& value) { Text(name, std::string(value.Text(), value.Length())); }
    static std::string Quoted(const std::string& value)
    {
        std::string out = "\"";
        for (unsigned char c : value) {
            switch (c) {
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            default:
                if (c < 0x20) {
                    char hex[8];
                    snprintf(hex, sizeof hex, "\\x%02X", c);
                    out += hex;
                } else {
                    out += static_cast<char>(c);
                }
            }
        }
        return out + "\"";
    }
    std::string Take() { return std::move(m_text); }

private:
    std::string m_text;
};

std::string Stamp(const int32_t* f)
{
    char buffer[64];
    std::string text;
    if (f[1] != 0) {
        snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", f[0], f[1], f[2]);
        text = buffer;
    }
    if (f[3] >= 0) {
        snprintf(buffer, sizeof buffer, "%s%02d:%02d:%02d", text.empty() ? "" : " ", f[3], f[4], f[5]);
        text += buffer;
    }
    return text.empty() ? "(none)" : text;
}

std::string Color(int32_t colorref)
{
    char buffer[32];
    uint32_t c = static_cast<uint32_t>(colorref);
    snprintf(buffer, sizeof buffer, "#%02X%02X%02X", c & 0xFF, c >> 8 & 0xFF, c >> 16 & 0xFF);
    return buffer;
}

const char* NameOr(const std::vector<NamedValue>& table, uint64_t value, const char* otherwise)
{
    const char* name = NameOfValue(table, value);
    return name ? name : otherwise;
}

}

std::string DescribePackage(const Package& package, bool strings)
{
    Printer p;
    const PayloadHeader& h = package.header.header;
    const Settings& s = package.settings;
    p.Line("section: .quox, file offset %d, %d bytes, virtual address 0x%X, slot %d of %d", package.section.rawOffset,
           package.section.rawSize, package.section.virtualAddress, package.section.slot, package.section.sectionCount);
    p.Line("header:");
    p.Line("  magic: 0x%08X", h.magic);
    p.Line("  builder version: %d", h.builderVersion);
    p.Line("  settings block: %d bytes, key 0x%08X", h.settingsLength, h.settingsKey);
    p.Line("  stub checksum: 0x%08X", h.stubChecksum);
    p.Line("  file data: %d bytes stored, checksum 0x%08X, offset %d, end offset %d", h.fileDataLength,
           h.fileDataChecksum, package.header.fileDataOffset, h.fileDataEnd);
    p.Line("  size table: %d entries", h.sizeCount);
    p.Line("  file data placement: %s, %d bytes in the installer, %d volume file(s)",
           s.externalData ? "after the image (external)" : "in the section", package.firstPartBytes,
           package.volumeCount);

    p.Line("settings: (%zu bytes decoded)", package.settingsStream.size());
    p.Line("  product flags: 0x%016llX %s", static_cast<unsigned long long>(s.productFlags),
           NamesOfProductFlags(s.productFlags).c_str());
    p.Line("  step delay: %u", s.stepDelay);
    p.Line("  shortcut mode: %u%s", s.shortcutMode, s.shortcutMode == 1 ? " (all users)" : " (current user)");
    p.Line("  uninstaller date: %s", Stamp(s.uninstallerStamp).c_str());
    p.Text("publisher", s.publisher);
    p.Text("product name", s.productName);
    p.Text("shared directory", s.sharedDir);
    p.Text("start menu folder", s.productStartMenu);
    p.Text("default directory", s.defaultDirectory);
    p.Text("version", s.displayVersion);
    p.Text("registry key", s.productRegistry);
    p.Line("  bitmap size: %d", s.bitmapSize);
    for (int32_t i = 0; i < s.licenseTexts.Count(); ++i)
        p.Line("  licence %d: %d bytes", i + 1, s.licenseTexts[i].Length());
    for (int32_t i = 0; i < s.readmeTexts.Count(); ++i)
        p.Line("  readme %d: %d bytes", i + 1, s.readmeTexts[i].Length());
    p.Text("uninstall subdirectory", s.uninstallSubdir);
    p.Text("volume base name", s.volumeBaseName);
    p.Text("uninstaller file name", s.uninstallerFileName);
    p.Text("uninstall name", s.uninstallName);
    p.Line("  title: colour %s, shadow %u, position %u (%s)", Color(s.titleColor).c_str(), s.titleShadow,
           s.titlePosition, NameOr(TitlePositionNames(), s.titlePosition, "?"));
    p.Line("  background: top %s, bottom %s%s", Color(s.topColor).c_str(), Color(s.bottomColor).c_str(),
           s.monoColor ? " (one colour)" : "");
    p.Line("  picture: %d bytes", s.backgroundPicture.Length());
    if (s.Has(kFlagRequiresMaster))
        p.Text("master product", s.masterName);
    p.Text("desktop folder", s.desktopFolder);
    p.Text("pre-install script", s.preInstallScript);
    p.Text("post-install script", s.postInstallScript);
    p.Text("closing script", s.closingScript);
    p.Text("uninstall script 1", s.uninstallBatch1);
    p.Text("uninstall script 2", s.uninstallBatch2);
    p.Line("  excluded Windows versions: 0x%X %s", static_cast<uint32_t>(s.excludedVersions),
           NamesOfBits(WindowsVersionNames(), static_cast<uint32_t>(s.excludedVersions)).c_str());
    p.Line("  external data: %u", s.externalData);
    p.Line("  volume tag: 0x%08X", static_cast<uint32_t>(s.volumeTag));
    if (s.Has(kFlagUninstallSupport))
        p.Line("  uninstaller patch: offset %d, %d bytes", s.patchOffset, s.patch.Length());
    for (int32_t i = 0; i < s.deletions.Count(); ++i) {
        const FileDeletion& d = s.deletions[i];
        p.Line("  deletion %d: %s %s %s%s", i + 1, Printer::Quoted(std::string(d.path.Text())).c_str(),
               NameOr(DeletionConditionNames(), d.condition, "always"), Printer::Quoted(std::string(d.value.Text())).c_str(),
               d.flags & 2 ? " at-restart" : "");
    }
    for (int32_t i = 0; i < s.associations.Count(); ++i) {
        const FileAssociation& a = s.associations[i];
        p.Line("  association %d: flags %d, extension %s, type %s, description %s, verb %s, caption %s, command %s, "
               "language %s, icon %s",
               i + 1, a.flags, Printer::Quoted(a.extension.Text()).c_str(), Printer::Quoted(a.typeName.Text()).c_str(),
               Printer::Quoted(a.description.Text()).c_str(), Printer::Quoted(a.verb.Text()).c_str(),
               Printer::Quoted(a.verbCaption.Text()).c_str(), Printer::Quoted(a.command.Text()).c_str(),
               Printer::Quoted(a.language.Text()).c_str(), Printer::Quoted(a.icon.Text()).c_str());
    }
    for (int32_t i = 0; i < s.uninstallData.Count(); ++i) {
        const UninstallData& u = s.uninstallData[i];
        p.Line("  uninstall value %d: %s type %u = %s", i + 1, Printer::Quoted(u.name.Text()).c_str(), u.type,
               Printer::Quoted(u.value.Text()).c_str());
    }
    std::string names;
    for (int32_t i = 0; i < s.languages.Count(); ++i)
        names += (i ? ", " : "") + Printer::Quoted(s.languages[i].Text());
    p.Line("  languages: %s (starts in %d)", names.c_str(), s.englishLanguage);
    p.Line("  string table: %d rows", s.stringRows);
    if (strings) {
        for (int32_t row = 0; row < s.stringRows; ++row) {
            for (int32_t language = 0; language < s.languages.Count(); ++language) {
                String text = s.StringAt(row, language);
                if (!text.IsEmpty())
                    p.Line("    %d [%s]: %s", row, s.languages[language].Text(),
                           Printer::Quoted(std::string(text.Text(), text.Length())).c_str());
            }
        }
    }

    p.Line("files: %zu (%zu bytes decompressed)", package.files.size(), package.fileData.size());
    for (const PackedFile& f : package.files) {
        p.Line("  %s", Printer::Quoted(f.name).c_str());
        p.Line("    destination %d (%s), flags 0x%X%s%s, attributes %d, %zu bytes, checksum 0x%08X, date %s",
               f.destination, NameOr(DestinationNames(), static_cast<uint64_t>(f.destination), "?"), f.flags,
               (f.flags & ~kEntryConditionMask) ? " " : "",
               NamesOfBits(FileFlagNames(), static_cast<uint32_t>(f.flags & ~kEntryConditionMask)).c_str(),
               f.attributes, f.data.size(), f.checksum, Stamp(f.date.data()).c_str());
        if (f.flags & kEntryConditionMask)
            p.Line("    install if: %s", NameOr(InstallConditionNames(), static_cast<uint64_t>(f.flags & kEntryConditionMask), "?"));
        if (!f.text1.empty())
            p.Line("    text: %s", Printer::Quoted(f.text1).c_str());
        if (!f.icon.empty())
            p.Line("    icon: %s", Printer::Quoted(f.icon).c_str());
        if (!f.arguments.empty())
            p.Line("    arguments: %s", Printer::Quoted(f.arguments).c_str());
        if (!f.target.empty())
            p.Line("    target: %s", Printer::Quoted(f.target).c_str());
        if (!f.workdir.empty())
            p.Line("    workdir: %s", Printer::Quoted(f.workdir).c_str());
    }
    return p.Take();
}
