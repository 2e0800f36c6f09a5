#include "builder/Manifest.h"
#include "builder/ByteText.h"
#include "builder/DefaultStrings.h"
#include "builder/NamedValues.h"
#include "builder/TextEncoding.h"
#include "core/Vector.h"
#include "payload/PayloadLayout.h"
#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <toml++/toml.h>

// The manifest is read table by table. Each table is wrapped in a TableReader that hands
// out typed values, reports a wrong type or an unknown name at the key's line, and at
// the end names every key nobody asked for. Checks that the installer would make at run
// time (counts, limits, texts it cannot show) are made here, so that a package the
// installer refuses is never written.

namespace {

constexpr const char* kFileNameForbidden = "\\/:*?\"<>|";

// Plain edit distance, for "did you mean" hints.
size_t Distance(const std::string& a, const std::string& b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t previous = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t saved = row[j];
            bool same = tolower(static_cast<unsigned char>(a[i - 1])) == tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({ row[j] + 1, row[j - 1] + 1, previous + (same ? 0 : 1) });
            previous = saved;
        }
    }
    return row[b.size()];
}

std::string Suggest(const std::string& name, const std::vector<std::string>& candidates)
{
    std::string best;
    size_t bestDistance = 3;
    for (const std::string& candidate : candidates) {
        size_t d = Distance(name, candidate);
        if (d < bestDistance) {
            bestDistance = d;
            best = candidate;
        }
    }
    return best.empty() ? std::string() : " (did you mean \"" + best + "\"?)";
}

std::vector<std::string> NamesOf(const std::vector<NamedValue>& table)
{
    std::vector<std::string> names;
    for (const NamedValue& entry : table)
        names.push_back(entry.name);
    return names;
}

std::string Quote(const std::string& text)
{
    return "\"" + text + "\"";
}

const char* TypeName(const toml::node& node)
{
    switch (node.type()) {
    case toml::node_type::string: return "a text";
    case toml::node_type::integer: return "an integer";
    case toml::node_type::floating_point: return "a number";
    case toml::node_type::boolean: return "true or false";
    case toml::node_type::date: return "a date";
    case toml::node_type::time: return "a time";
    case toml::node_type::date_time: return "a date and time";
    case toml::node_type::array: return "a list";
    case toml::node_type::table: return "a table";
    default: return "nothing";
    }
}

class ManifestReader;

class TableReader {
public:
    TableReader(ManifestReader& owner, const toml::table* table, std::string label, int line)
        : m_owner(owner), m_table(table), m_label(std::move(label)), m_line(line)
    {
    }

    const std::string& Label() const { return m_label; }
    int Line() const { return m_line; }
    const toml::node* Node(const char* key);
    int LineOf(const char* key);
    void Error(const char* key, const std::string& message);

    std::optional<std::string> Text(const char* key, bool convert = true);
    std::optional<int64_t> Integer(const char* key, int64_t minimum, int64_t maximum);
    std::optional<bool> Bool(const char* key);
    std::optional<uint64_t> Name(const char* key, const std::vector<NamedValue>& table, const char* what);
    // One name or a list of names; the values ORed.
    std::optional<uint64_t> Names(const char* key, const std::vector<NamedValue>& table, const char* what);
    std::optional<std::vector<std::string>> TextList(const char* key, bool convert = true);
    std::optional<FileStampFields> Stamp(const char* key);
    std::optional<int32_t> Color(const char* key);
    // A file named relative to the manifest; it must exist.
    std::optional<std::filesystem::path> SourceFile(const char* key, const std::string& name);

    // Reports every key that no getter asked for.
    void Finish(const std::vector<std::string>& subtables = {});

private:
    std::optional<std::string> Convert(const char* key, const std::string& utf8);

    ManifestReader& m_owner;
    const toml::table* m_table;
    std::string m_label;
    int m_line;
    std::set<std::string> m_asked;
};

class ManifestReader {
public:
    ManifestReader(Manifest& manifest, Diagnostics& diagnostics) : m_manifest(manifest), m_diagnostics(diagnostics) {}

    void Read(const toml::table& root);

    void Error(int line, const std::string& table, const std::string& field, const std::string& message)
    {
        m_diagnostics.Add({ m_manifest.path.string(), line, table, field, message });
    }
    int CodePage() const { return m_manifest.layout.codePage; }
    const std::filesystem::path& Directory() const { return m_manifest.directory; }
    // A file's whole content, or nothing (the error is then reported).
    std::optional<std::string> ReadFile(TableReader& table, const char* key, const std::filesystem::path& path);

private:
    TableReader Table(const toml::table& root, const char* name);
    void ReadPackage(TableReader& t);
    void ReadProduct(TableReader& t);
    void ReadDirectories(TableReader& t);
    void ReadInstall(TableReader& t);
    void ReadUninstaller(TableReader& t);
    void ReadLook(TableReader& t);
    void ReadScripts(TableReader& t);
    void ReadFiles(const toml::table& root);
    void ReadFileGroup(const std::string& name, const toml::table& table, int line);
    void ReadDeletions(const toml::table& root);
    void ReadAssociations(const toml::table& root);
    void ReadUninstallValues(const toml::table& root);
    void ReadStrings(const toml::table& root);
    void CheckFileName(TableReader& t, const char* key, const std::string& name);
    const toml::array* ArrayOfTables(const toml::table& root, const char* name, int& line);

    Manifest& m_manifest;
    Diagnostics& m_diagnostics;
    std::optional<std::string> m_masterName;
    int m_flagsLine = 0;
};

const toml::node* TableReader::Node(const char* key)
{
    m_asked.insert(key);
    return m_table ? m_table->get(key) : nullptr;
}

int TableReader::LineOf(const char* key)
{
    const toml::node* node = m_table && key ? m_table->get(key) : nullptr;
    return node ? static_cast<int>(node->source().begin.line) : m_line;
}

void TableReader::Error(const char* key, const std::string& message)
{
    m_owner.Error(LineOf(key), m_label, key ? key : "", message);
}

std::optional<std::string> TableReader::Convert(const char* key, const std::string& utf8)
{
    if (utf8.find('\0') != std::string::npos) {
        Error(key, "contains a zero byte, which would end the text early");
        return std::nullopt;
    }
    std::string problem;
    std::optional<std::string> converted = ToCodePage(utf8, m_owner.CodePage(), problem);
    if (!converted)
        Error(key, problem);
    return converted;
}

std::optional<std::string> TableReader::Text(const char* key, bool convert)
{
    const toml::node* node = Node(key);
    if (!node)
        return std::nullopt;
    if (!node->is_string()) {
        Error(key, std::string("expected a text, found ") + TypeName(*node));
        return std::nullopt;
    }
    const std::string& text = node->as_string()->get();
    return convert ? Convert(key, text) : std::optional<std::string>(text);
}

std::optional<int64_t> TableReader::Integer(const char* key, int64_t minimum, int64_t maximum)
{
    const toml::node* node = Node(key);
    if (!node)
        return std::nullopt;
    if (!node->is_integer()) {
        Error(key, std::string("expected an integer, found ") + TypeName(*node));
        return std::nullopt;
    }
    int64_t value = node->as_integer()->get();
    if (value < minimum || value > maximum) {
        Error(key, std::to_string(value) + " is out of range (" + std::to_string(minimum) + " to " +
                       std::to_string(maximum) + ")");
        return std::nullopt;
    }
    return value;
}

std::optional<bool> TableReader::Bool(const char* key)
{
    const toml::node* node = Node(key);
    if (!node)
        return std::nullopt;
    if (!node->is_boolean()) {
        Error(key, std::string("expected true or false, found ") + TypeName(*node));
        return std::nullopt;
    }
    return node->as_boolean()->get();
}

std::optional<uint64_t> TableReader::Name(const char* key, const std::vector<NamedValue>& table, const char* what)
{
    std::optional<std::string> name = Text(key, false);
    if (!name)
        return std::nullopt;
    if (const NamedValue* entry = FindNamedValue(table, *name))
        return entry->value;
    Error(key, std::string("unknown ") + what + " " + Quote(*name) + " (expected one of: " + JoinNames(table) + ")");
    return std::nullopt;
}

std::optional<std::vector<std::string>> TableReader::TextList(const char* key, bool convert)
{
    const toml::node* node = Node(key);
    if (!node)
        return std::nullopt;
    std::vector<std::string> texts;
    if (node->is_string()) {
        texts.push_back(node->as_string()->get());
    } else if (const toml::array* array = node->as_array()) {
        for (const toml::node& element : *array) {
            if (!element.is_string()) {
                Error(key, std::string("expected a list of texts, found ") + TypeName(element) + " in it");
                return std::nullopt;
            }
            texts.push_back(element.as_string()->get());
        }
    } else {
        Error(key, std::string("expected a text or a list of texts, found ") + TypeName(*node));
        return std::nullopt;
    }
    if (convert) {
        for (std::string& text : texts) {
            std::optional<std::string> converted = Convert(key, text);
            if (!converted)
                return std::nullopt;
            text = *converted;
        }
    }
    return texts;
}

std::optional<uint64_t> TableReader::Names(const char* key, const std::vector<NamedValue>& table, const char* what)
{
    std::optional<std::vector<std::string>> names = TextList(key, false);
    if (!names)
        return std::nullopt;
    uint64_t value = 0;
    bool ok = true;
    for (const std::string& name : *names) {
        if (const NamedValue* entry = FindNamedValue(table, name)) {
            value |= entry->value;
        } else {
            Error(key, std::string("unknown ") + what + " " + Quote(name) + Suggest(name, NamesOf(table)) +
                           " (expected any of: " + JoinNames(table) + ")");
            ok = false;
        }
    }
    return ok ? std::optional<uint64_t>(value) : std::nullopt;
}

std::optional<FileStampFields> TableReader::Stamp(const char* key)
{
    const toml::node* node = Node(key);
    if (!node)
        return std::nullopt;
    FileStampFields stamp = kNoFileStamp;
    auto setDate = [&](const toml::date& d) {
        stamp[0] = d.year;
        stamp[1] = d.month;
        stamp[2] = d.day;
    };
    auto setTime = [&](const toml::time& t) {
        stamp[3] = t.hour;
        stamp[4] = t.minute;
        stamp[5] = t.second;
    };
    if (const toml::value<toml::date>* d = node->as_date()) {
        setDate(d->get());
    } else if (const toml::value<toml::time>* t = node->as_time()) {
        setTime(t->get());
    } else if (const toml::value<toml::date_time>* dt = node->as_date_time()) {
        if (dt->get().offset) {
            Error(key, "give a local date and time, without a time zone");
            return std::nullopt;
        }
        setDate(dt->get().date);
        setTime(dt->get().time);
    } else {
        Error(key, std::string("expected a date, a time or both (2024-05-01T12:00:00), found ") + TypeName(*node));
        return std::nullopt;
    }
    return stamp;
}

std::optional<int32_t> TableReader::Color(const char* key)
{
    const toml::node* node = Node(key);
    if (!node)
        return std::nullopt;
    if (node->is_integer()) {
        int64_t value = node->as_integer()->get();
        if (value >= 0 && value <= 0xFFFFFF)
            return static_cast<int32_t>(value);
    } else if (node->is_string()) {
        const std::string& text = node->as_string()->get();
        if (text.size() == 7 && text[0] == '#' && text.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos) {
            uint32_t rgb = static_cast<uint32_t>(std::stoul(text.substr(1), nullptr, 16));
            // Stored as a Windows COLORREF: 0x00BBGGRR.
            return static_cast<int32_t>((rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16);
        }
    }
    Error(key, "expected a colour as \"#RRGGBB\" or a COLORREF number 0x00BBGGRR");
    return std::nullopt;
}

std::optional<std::filesystem::path> TableReader::SourceFile(const char* key, const std::string& name)
{
    std::filesystem::path path = m_owner.Directory() / name;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        Error(key, "no such file: " + Quote(path.string()));
        return std::nullopt;
    }
    return path;
}

void TableReader::Finish(const std::vector<std::string>& subtables)
{
    if (!m_table)
        return;
    std::vector<std::string> known(m_asked.begin(), m_asked.end());
    for (auto&& [key, node] : *m_table) {
        std::string name(key.str());
        if (m_asked.count(name) || std::find(subtables.begin(), subtables.end(), name) != subtables.end())
            continue;
        m_owner.Error(static_cast<int>(key.source().begin.line), m_label, name,
                      "unknown key" + Suggest(name, known));
    }
}

std::optional<std::string> ManifestReader::ReadFile(TableReader& table, const char* key, const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    if (!in || !(content << in.rdbuf())) {
        // An empty file reads as a failed stream copy; that is not an error.
        if (in && std::filesystem::file_size(path) == 0)
            return std::string();
        table.Error(key, "cannot read " + Quote(path.string()));
        return std::nullopt;
    }
    return content.str();
}

TableReader ManifestReader::Table(const toml::table& root, const char* name)
{
    const toml::node* node = root.get(name);
    std::string label = std::string("[") + name + "]";
    if (!node)
        return TableReader(*this, nullptr, label, 0);
    int line = static_cast<int>(node->source().begin.line);
    if (!node->is_table()) {
        Error(line, "", name, "expected a table [" + std::string(name) + "]");
        return TableReader(*this, nullptr, label, line);
    }
    return TableReader(*this, node->as_table(), label, line);
}

void ManifestReader::CheckFileName(TableReader& t, const char* key, const std::string& name)
{
    if (name.find_first_of(kFileNameForbidden) != std::string::npos || name == "." || name == "..")
        t.Error(key, Quote(name) + " is not a plain file name (none of \\ / : * ? \" < > | may appear)");
}

// Texts shown in edit boxes and message boxes need Windows line ends.
std::string WindowsLineEnds(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}

void ManifestReader::Read(const toml::table& root)
{
    static const char* const kTopLevel[] = { "package", "product", "directories", "install", "uninstaller", "look",
                                             "scripts", "files", "deletions", "associations", "uninstall_values",
                                             "strings" };
    std::vector<std::string> known(std::begin(kTopLevel), std::end(kTopLevel));
    for (auto&& [key, node] : root) {
        std::string name(key.str());
        if (std::find(known.begin(), known.end(), name) == known.end())
            Error(static_cast<int>(key.source().begin.line), "", name, "unknown table" + Suggest(name, known));
    }

    // The code page first: every text is converted with it.
    TableReader package = Table(root, "package");
    ReadPackage(package);
    TableReader product = Table(root, "product");
    ReadProduct(product);
    TableReader directories = Table(root, "directories");
    ReadDirectories(directories);
    TableReader install = Table(root, "install");
    ReadInstall(install);
    TableReader uninstaller = Table(root, "uninstaller");
    ReadUninstaller(uninstaller);
    TableReader look = Table(root, "look");
    ReadLook(look);
    TableReader scripts = Table(root, "scripts");
    ReadScripts(scripts);
    ReadFiles(root);
    ReadDeletions(root);
    ReadStrings(root);
    ReadAssociations(root);
    ReadUninstallValues(root);
}

void ManifestReader::ReadPackage(TableReader& t)
{
    PackageLayout& layout = m_manifest.layout;
    if (std::optional<int64_t> codePage = t.Integer("codepage", 1, 65535)) {
        if (IsSupportedCodePage(static_cast<int>(*codePage)))
            layout.codePage = static_cast<int>(*codePage);
        else
            t.Error("codepage", "code page " + std::to_string(*codePage) + " is not known");
    }
    if (std::optional<uint64_t> compression = t.Name("compression", CompressionNames(), "compression"))
        layout.compression = static_cast<Compression>(*compression);
    if (std::optional<uint64_t> data = t.Name("data", DataPlacementNames(), "data placement"))
        layout.external = *data == 1;
    // Volumes hold at least one byte of data after their 4-byte tag.
    if (std::optional<int64_t> size = t.Integer("volume_size", kVolumeTagSize + 1, INT32_MAX))
        layout.volumeSize = *size;
    layout.installerData = t.Integer("installer_data", 0, INT32_MAX);
    if (layout.installerData && !layout.volumeSize)
        t.Error("installer_data", "only means something with volume_size");
    if (std::optional<int64_t> tag = t.Integer("volume_tag", INT32_MIN, INT32_MAX))
        layout.volumeTag = static_cast<int32_t>(*tag);
    if (std::optional<std::string> base = t.Text("volume_base")) {
        CheckFileName(t, "volume_base", *base);
        if (base->empty())
            t.Error("volume_base", "must not be empty");
        m_manifest.settings.volumeBaseName = ToString(*base);
        m_manifest.volumeBaseGiven = true;
    }
    t.Finish();
}

void ManifestReader::ReadProduct(TableReader& t)
{
    Settings& s = m_manifest.settings;
    if (!t.Node("name"))
        Error(t.Line(), "[product]", "name", "missing: every package needs a product name");
    if (std::optional<std::string> name = t.Text("name")) {
        if (name->empty())
            t.Error("name", "must not be empty");
        s.productName = ToString(*name);
    }
    if (std::optional<std::string> text = t.Text("publisher"))
        s.publisher = ToString(*text);
    if (std::optional<std::string> text = t.Text("version"))
        s.displayVersion = ToString(*text);
    if (std::optional<std::string> text = t.Text("uninstall_name"))
        s.uninstallName = ToString(*text);
    if (std::optional<std::string> text = t.Text("registry_key"))
        s.productRegistry = ToString(*text);
    if ((m_masterName = t.Text("master")))
        s.masterName = ToString(*m_masterName);
    if (std::optional<uint64_t> mask = t.Names("excluded_windows", WindowsVersionNames(), "Windows version"))
        s.excludedVersions = static_cast<int32_t>(*mask);

    if (std::optional<std::vector<std::string>> names = t.TextList("flags", false)) {
        m_flagsLine = t.LineOf("flags");
        std::vector<std::string> known;
        for (const ProductFlagName& flag : ProductFlagNames())
            known.push_back(flag.name);
        for (const std::string& name : *names) {
            const ProductFlagName* flag = FindProductFlag(name);
            if (!flag) {
                t.Error("flags", "unknown flag " + Quote(name) + Suggest(name, known));
            } else if (flag->setBy) {
                t.Error("flags", Quote(name) + " is set by " + flag->setBy + ", not in the flag list");
            } else {
                s.productFlags |= flag->bit;
            }
        }
    }
    if (m_masterName)
        s.productFlags |= kFlagRequiresMaster;
    t.Finish();
}

void ManifestReader::ReadDirectories(TableReader& t)
{
    Settings& s = m_manifest.settings;
    if (std::optional<std::string> text = t.Text("default"))
        s.defaultDirectory = ToString(*text);
    if (std::optional<std::string> text = t.Text("shared"))
        s.sharedDir = ToString(*text);
    if (std::optional<std::string> text = t.Text("start_menu"))
        s.productStartMenu = ToString(*text);
    if (std::optional<std::string> text = t.Text("desktop_folder"))
        s.desktopFolder = ToString(*text);
    if (std::optional<std::string> text = t.Text("uninstall_subdir"))
        s.uninstallSubdir = ToString(*text);
    t.Finish();
}

void ManifestReader::ReadInstall(TableReader& t)
{
    Settings& s = m_manifest.settings;
    if (std::optional<int64_t> delay = t.Integer("step_delay", 0, kMaxStepDelay))
        s.stepDelay = static_cast<uint16_t>(*delay);
    if (std::optional<bool> allUsers = t.Bool("all_users"))
        s.shortcutMode = *allUsers ? 1 : 0;

    auto readTexts = [&](const char* key, Vector<String>& texts, int limit) {
        std::optional<std::vector<std::string>> files = t.TextList(key, false);
        if (!files)
            return;
        if (static_cast<int>(files->size()) > limit) {
            t.Error(key, std::to_string(files->size()) + " texts; a package holds at most " + std::to_string(limit));
            return;
        }
        for (const std::string& name : *files) {
            std::optional<std::filesystem::path> path = t.SourceFile(key, name);
            if (!path)
                continue;
            std::optional<std::string> content = ReadFile(t, key, *path);
            if (!content)
                continue;
            if (content->find('\0') != std::string::npos) {
                t.Error(key, Quote(name) + " holds a zero byte; a text file is expected");
                continue;
            }
            std::string problem;
            std::optional<std::string> converted = ToCodePage(*content, CodePage(), problem);
            if (!converted) {
                t.Error(key, Quote(name) + ": " + problem);
                continue;
            }
            texts.Append(ToString(WindowsLineEnds(*converted)));
        }
    };
    readTexts("licenses", s.licenseTexts, kMaxLicenseTexts);
    readTexts("readmes", s.readmeTexts, kMaxReadmeTexts);
    t.Finish();
}

void ManifestReader::ReadUninstaller(TableReader& t)
{
    Settings& s = m_manifest.settings;
    s.uninstallerFileName = "Uninstall.exe";
    if (std::optional<std::string> name = t.Text("file_name")) {
        if (name->empty())
            t.Error("file_name", "must not be empty");
        CheckFileName(t, "file_name", *name);
        s.uninstallerFileName = ToString(*name);
    }
    FileStampFields stamp = t.Stamp("date").value_or(kNoFileStamp);
    std::copy(stamp.begin(), stamp.end(), s.uninstallerStamp);

    std::optional<int64_t> offset = t.Integer("patch_offset", 1, INT32_MAX);
    std::optional<std::string> patchName = t.Text("patch", false);
    if (offset.has_value() != patchName.has_value()) {
        t.Error(offset ? "patch_offset" : "patch", "patch and patch_offset go together");
    } else if (offset && !s.Has(kFlagUninstallSupport)) {
        t.Error("patch", "an uninstaller patch needs the UninstallSupport flag");
    } else if (offset) {
        if (std::optional<std::filesystem::path> path = t.SourceFile("patch", *patchName)) {
            if (std::optional<std::string> bytes = ReadFile(t, "patch", *path)) {
                if (bytes->empty())
                    t.Error("patch", Quote(*patchName) + " is empty");
                s.patchOffset = static_cast<int32_t>(*offset);
                s.patch = ToString(*bytes);
            }
        }
    }
    t.Finish();
}

void ManifestReader::ReadLook(TableReader& t)
{
    Settings& s = m_manifest.settings;
    if (std::optional<int32_t> color = t.Color("title_color"))
        s.titleColor = *color;
    if (std::optional<int64_t> shadow = t.Integer("title_shadow", 0, 255))
        s.titleShadow = static_cast<uint8_t>(*shadow);
    if (std::optional<uint64_t> position = t.Name("title_position", TitlePositionNames(), "title position"))
        s.titlePosition = static_cast<uint8_t>(*position);
    if (std::optional<int32_t> color = t.Color("top_color"))
        s.topColor = *color;
    if (std::optional<int32_t> color = t.Color("bottom_color"))
        s.bottomColor = *color;
    s.monoColor = s.topColor == s.bottomColor;

    if (std::optional<std::string> name = t.Text("picture", false)) {
        if (std::optional<std::filesystem::path> path = t.SourceFile("picture", *name)) {
            if (std::optional<std::string> bmp = ReadFile(t, "picture", *path)) {
                // The installer draws a packed bitmap with the 12- or 40-byte header only.
                uint32_t headerSize =
                    bmp->size() >= 18 ? LoadLittleEndian32(reinterpret_cast<const uint8_t*>(bmp->data()) + 14) : 0;
                if (bmp->size() < 14 + 13 || bmp->compare(0, 2, "BM") != 0)
                    t.Error("picture", Quote(*name) + " is not a BMP file");
                else if (headerSize != 12 && headerSize != 40)
                    t.Error("picture", Quote(*name) + " has a " + std::to_string(headerSize) +
                                           "-byte bitmap header; the installer draws only the 12- and 40-byte "
                                           "forms (save it as a Windows 3.x BMP)");
                else
                    s.backgroundPicture = ToString(bmp->substr(14));
            }
        }
    }
    s.bitmapSize = s.backgroundPicture.IsEmpty() ? 0 : kMaxBitmapSize;
    if (std::optional<int64_t> size = t.Integer("picture_size", 0, kMaxBitmapSize))
        s.bitmapSize = static_cast<int32_t>(*size);
    t.Finish();
}

void ManifestReader::ReadScripts(TableReader& t)
{
    Settings& s = m_manifest.settings;
    struct Script {
        const char* key;
        String* text;
    } scripts[] = {
        { "pre_install", &s.preInstallScript },   { "post_install", &s.postInstallScript },
        { "closing", &s.closingScript },          { "uninstall_first", &s.uninstallBatch1 },
        { "uninstall_last", &s.uninstallBatch2 },
    };
    for (const Script& script : scripts) {
        if (std::optional<std::string> text = t.Text(script.key))
            *script.text = ToString(WindowsLineEnds(*text));
    }
    t.Finish();
}

const toml::array* ManifestReader::ArrayOfTables(const toml::table& root, const char* name, int& line)
{
    const toml::node* node = root.get(name);
    if (!node)
        return nullptr;
    line = static_cast<int>(node->source().begin.line);
    const toml::array* array = node->as_array();
    if (!array || !array->is_array_of_tables()) {
        Error(line, "", name, std::string("expected a list of tables, written [[") + name + "]]");
        return nullptr;
    }
    return array;
}

void ManifestReader::ReadFiles(const toml::table& root)
{
    const toml::node* node = root.get("files");
    if (!node)
        return;
    const toml::table* files = node->as_table();
    if (!files) {
        Error(static_cast<int>(node->source().begin.line), "", "files", "expected tables [files.<name>]");
        return;
    }
    // A TOML table keeps its keys sorted; the manifest's order is the order of the lines.
    struct Group {
        int line;
        std::string name;
        const toml::node* node;
    };
    std::vector<Group> groups;
    for (auto&& [key, value] : *files)
        groups.push_back({ static_cast<int>(key.source().begin.line), std::string(key.str()), &value });
    std::stable_sort(groups.begin(), groups.end(), [](const Group& a, const Group& b) { return a.line < b.line; });
    for (const Group& group : groups) {
        if (!group.node->is_table()) {
            Error(group.line, "[files]", group.name, "expected a table [files." + group.name + "]");
            continue;
        }
        ReadFileGroup(group.name, *group.node->as_table(), group.line);
    }
}

void ManifestReader::ReadFileGroup(const std::string& name, const toml::table& table, int line)
{
    TableReader t(*this, &table, "[files." + name + "]", line);
    FileGroup group;
    group.name = name;
    group.line = line;

    if (!t.Node("source"))
        t.Error(nullptr, "source: missing: name the files of the group");
    group.sourceLine = t.LineOf("source");
    if (std::optional<std::vector<std::string>> sources = t.TextList("source", false)) {
        group.sources = *sources;
        if (sources->empty())
            t.Error("source", "the list is empty");
    }
    if (std::optional<std::string> subdirectory = t.Text("subdir")) {
        std::string text = *subdirectory;
        std::replace(text.begin(), text.end(), '/', '\\');
        while (!text.empty() && text.back() == '\\')
            text.pop_back();
        if (!text.empty() && (text[0] == '\\' || text.find(':') != std::string::npos))
            t.Error("subdir", "must be a relative folder");
        group.subdirectory = text;
    }
    if (std::optional<uint64_t> destination = t.Name("destination", DestinationNames(), "destination"))
        group.destination = static_cast<int32_t>(*destination);
    if (std::optional<uint64_t> flags = t.Names("flags", FileFlagNames(), "file flag"))
        group.flags = static_cast<int32_t>(*flags);
    if (std::optional<uint64_t> condition = t.Name("install_if", InstallConditionNames(), "install condition"))
        group.flags |= static_cast<int32_t>(*condition);
    if (std::optional<uint64_t> attributes = t.Names("attributes", AttributeNames(), "attribute"))
        group.attributes = static_cast<int32_t>(*attributes);

    int32_t d = group.destination;
    bool shortcutDestination = d == kDestinationInstall || d == kDestinationStartup;
    bool versionDestination = d >= kDestinationSystem && d <= kDestinationInstallVersioned;
    // The one text field means a shortcut name, a version or a font face by destination.
    struct TextOne {
        const char* key;
        bool allowed;
        const char* where;
    } textOnes[] = {
        { "shortcut", shortcutDestination, "install and startup" },
        { "version", versionDestination, "system, system-com, system-typelib and install-versioned" },
        { "font", d == kDestinationFonts, "fonts" },
    };
    for (const TextOne& one : textOnes) {
        std::optional<std::string> text = t.Text(one.key);
        if (!text)
            continue;
        if (!one.allowed)
            t.Error(one.key, std::string("only the destinations ") + one.where + " use it");
        else
            group.text1 = *text;
    }
    if (d == kDestinationFonts && group.text1.empty())
        t.Error("font", "missing: a file installed into the fonts folder needs its font's face name");

    if (std::optional<std::string> icon = t.Text("icon")) {
        if (!(group.flags & kEntryHasIcon))
            t.Error("icon", "only a DesktopShortcut or StartMenuShortcut uses an icon");
        group.icon = *icon;
    }
    if (std::optional<std::string> text = t.Text("arguments"))
        group.arguments = *text;
    if (std::optional<std::string> text = t.Text("workdir"))
        group.workdir = *text;
    if (std::optional<std::string> text = t.Text("target"))
        group.target = *text;
    bool targetIsPath = group.target.find('\\') != std::string::npos;
    if (d == kDestinationTarget && !targetIsPath)
        t.Error("target", "the destination \"target\" needs a target path with a backslash (such as \"%WinDir%\\\")");
    group.date = t.Stamp("date");
    t.Finish();
    m_manifest.groups.push_back(std::move(group));
}

void ManifestReader::ReadDeletions(const toml::table& root)
{
    int line = 0;
    const toml::array* list = ArrayOfTables(root, "deletions", line);
    if (!list)
        return;
    if (static_cast<int>(list->size()) > kMaxDeletionRecords) {
        Error(line, "", "[[deletions]]", std::to_string(list->size()) + " rules; a package holds at most " +
                                             std::to_string(kMaxDeletionRecords));
        return;
    }
    int index = 0;
    for (const toml::node& node : *list) {
        ++index;
        TableReader t(*this, node.as_table(), "[[deletions]] #" + std::to_string(index),
                      static_cast<int>(node.source().begin.line));
        FileDeletion deletion;
        std::optional<std::string> path = t.Text("path");
        if (!path || path->empty())
            t.Error(path ? "path" : nullptr, path ? "must not be empty" : "path: missing");
        else if (*path == kDeletionListEnd)
            t.Error("path", Quote(*path) + " ends the rule list in the package and cannot be a rule");
        else
            deletion.path = ToString(*path);
        uint64_t condition = t.Name("when", DeletionConditionNames(), "condition").value_or(0);
        deletion.condition = static_cast<uint8_t>(condition);
        std::optional<FileStampFields> date = t.Stamp("date");
        std::optional<int64_t> size = t.Integer("size", 0, INT64_MAX);
        if (condition >= 1 && condition <= 3) {
            if (!date || (*date)[1] == 0) {
                t.Error("date", "this condition compares with a date: give date = 2024-05-01 or 2024-05-01T12:00:00");
            } else {
                char text[32];
                if ((*date)[3] < 0)
                    snprintf(text, sizeof text, "%04d-%02d-%02d", (*date)[0], (*date)[1], (*date)[2]);
                else
                    snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", (*date)[0], (*date)[1], (*date)[2],
                             (*date)[3], (*date)[4], (*date)[5]);
                deletion.value = text;
            }
            if (size)
                t.Error("size", "this condition compares dates, not sizes");
        } else if (condition >= 4) {
            if (!size)
                t.Error("size", "this condition compares with a size: give size = <bytes>");
            else
                deletion.value = String(static_cast<int64_t>(*size));
            if (date)
                t.Error("date", "this condition compares sizes, not dates");
        } else if (date || size) {
            t.Error(date ? "date" : "size", "the condition \"always\" compares with nothing");
        }
        if (t.Bool("at_restart").value_or(false))
            deletion.flags = kDeletionAtRestart;
        t.Finish();
        m_manifest.settings.deletions.Append(deletion);
    }
}

void ManifestReader::ReadAssociations(const toml::table& root)
{
    int line = 0;
    const toml::array* list = ArrayOfTables(root, "associations", line);
    if (!list)
        return;
    if (static_cast<int>(list->size()) > kMaxRecords) {
        Error(line, "", "[[associations]]", std::to_string(list->size()) + " associations; a package holds at most " +
                                                std::to_string(kMaxRecords));
        return;
    }
    const Settings& s = m_manifest.settings;
    int index = 0;
    for (const toml::node& node : *list) {
        ++index;
        TableReader t(*this, node.as_table(), "[[associations]] #" + std::to_string(index),
                      static_cast<int>(node.source().begin.line));
        FileAssociation a;
        struct Field {
            const char* key;
            String* text;
            bool required;
        } fields[] = {
            { "extension", &a.extension, true }, { "type", &a.typeName, false },   { "description", &a.description, false },
            { "verb", &a.verb, true },           { "caption", &a.verbCaption, false }, { "command", &a.command, true },
            { "language", &a.language, false },  { "icon", &a.icon, false },
        };
        for (const Field& field : fields) {
            std::optional<std::string> text = t.Text(field.key);
            if (field.required && (!text || text->empty()))
                t.Error(text ? field.key : nullptr,
                        text ? "must not be empty" : std::string(field.key) + ": missing");
            if (text)
                *field.text = ToString(*text);
        }
        if (!a.language.IsEmpty()) {
            bool known = false;
            for (int32_t i = 0; i < s.languages.Count(); ++i)
                known = known || s.languages[i] == a.language;
            if (!known)
                t.Error("language", Quote(a.language.Text()) + " is not one of the package's languages");
        }
        if (t.Bool("default_verb").value_or(false))
            a.flags = kAssociationDefaultVerb;
        t.Finish();
        m_manifest.settings.associations.Append(a);
    }
}

void ManifestReader::ReadUninstallValues(const toml::table& root)
{
    int line = 0;
    const toml::array* list = ArrayOfTables(root, "uninstall_values", line);
    if (!list)
        return;
    if (static_cast<int>(list->size()) > kMaxRecords) {
        Error(line, "", "[[uninstall_values]]", std::to_string(list->size()) + " values; a package holds at most " +
                                                    std::to_string(kMaxRecords));
        return;
    }
    int index = 0;
    for (const toml::node& node : *list) {
        ++index;
        TableReader t(*this, node.as_table(), "[[uninstall_values]] #" + std::to_string(index),
                      static_cast<int>(node.source().begin.line));
        UninstallData record;
        std::optional<std::string> name = t.Text("name");
        if (!name || name->empty())
            t.Error(name ? "name" : nullptr, name ? "must not be empty" : "name: missing");
        else
            record.name = ToString(*name);
        record.type = static_cast<uint8_t>(t.Name("type", UninstallValueTypeNames(), "value type").value_or(1));
        if (record.type == 4) {
            if (std::optional<int64_t> number = t.Integer("value", INT32_MIN, UINT32_MAX))
                record.value = String(*number);
            else if (!t.Node("value"))
                t.Error(nullptr, "value: missing");
        } else if (std::optional<std::string> value = t.Text("value")) {
            record.value = ToString(*value);
        } else if (!t.Node("value")) {
            t.Error(nullptr, "value: missing");
        }
        t.Finish();
        m_manifest.settings.uninstallData.Append(record);
    }
}

void ManifestReader::ReadStrings(const toml::table& root)
{
    Settings& s = m_manifest.settings;
    TableReader t = Table(root, "strings");
    // The names as written (UTF-8) find the language tables; the converted names are stored.
    std::vector<std::string> languages = { "English" };
    if (std::optional<std::vector<std::string>> names = t.TextList("languages", false)) {
        if (names->empty() || static_cast<int>(names->size()) > kMaxLanguages)
            t.Error("languages", std::to_string(names->size()) + " languages; a package holds 1 to " +
                                     std::to_string(kMaxLanguages));
        else
            languages = *names;
    }
    std::set<std::string> seen;
    for (const std::string& name : languages) {
        if (name.empty())
            t.Error("languages", "a language name must not be empty");
        else if (!seen.insert(name).second)
            t.Error("languages", Quote(name) + " is named twice");
        std::string problem;
        std::optional<std::string> converted = ToCodePage(name, CodePage(), problem);
        if (!converted)
            t.Error("languages", problem);
        s.languages.Append(ToString(converted.value_or(name)));
    }

    // number -> text, one map per language.
    std::vector<std::map<int, std::string>> given(languages.size());
    int rows = kDefaultStringRows;
    std::vector<std::string> tables;
    const toml::node* stringsNode = root.get("strings");
    const toml::table* strings = stringsNode ? stringsNode->as_table() : nullptr;
    static const toml::table kNoStrings;
    for (auto&& [key, node] : strings ? *strings : kNoStrings) {
        std::string language(key.str());
        if (language == "languages")
            continue;
        tables.push_back(language);
        int keyLine = static_cast<int>(key.source().begin.line);
        std::string label = "[strings." + language + "]";
        auto found = std::find(languages.begin(), languages.end(), language);
        if (!node.is_table()) {
            Error(keyLine, "[strings]", language, "expected a table [strings." + language + "] of numbered texts");
            continue;
        }
        if (found == languages.end()) {
            std::string list;
            for (const std::string& name : languages)
                list += (list.empty() ? "" : ", ") + name;
            Error(keyLine, "[strings]", language,
                  "not one of the package's languages (" + list + "); list it in [strings] languages");
            continue;
        }
        std::map<int, std::string>& texts = given[found - languages.begin()];
        TableReader table(*this, node.as_table(), label, keyLine);
        for (auto&& [numberKey, value] : *node.as_table()) {
            std::string number(numberKey.str());
            int numberLine = static_cast<int>(numberKey.source().begin.line);
            table.Node(number.c_str());
            if (number.empty() || number.size() > 4 || number.find_first_not_of("0123456789") != std::string::npos) {
                Error(numberLine, label, number,
                      "unknown string number: keys are message numbers 0 to " + std::to_string(kMaxRecords - 1));
                continue;
            }
            std::optional<std::string> text = table.Text(number.c_str());
            if (!text)
                continue;
            int n = std::stoi(number);
            std::string problem = CheckMessageConversions(n, *text);
            if (!problem.empty())
                Error(numberLine, label, number, problem);
            texts[n] = *text;
            rows = std::max(rows, n + 1);
        }
    }
    t.Finish(tables);

    s.stringRows = rows;
    s.strings.Clear();
    for (int row = 0; row < rows; ++row) {
        for (size_t column = 0; column < languages.size(); ++column) {
            auto found = given[column].find(row);
            if (found != given[column].end()) {
                s.strings.Append(ToString(found->second));
            } else {
                // A language that does not give a text gets the English one, so that no
                // message of the installer is ever blank.
                const char* text = DefaultEnglishString(row);
                s.strings.Append(text ? String(text) : String());
            }
        }
    }
}

}

bool ParseManifest(const std::string& text, const std::filesystem::path& path, Manifest& manifest,
                   Diagnostics& diagnostics)
{
    manifest = Manifest();
    manifest.path = path;
    manifest.directory = path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
    toml::table root;
    try {
        root = toml::parse(text, path.string());
    } catch (const toml::parse_error& error) {
        diagnostics.Add({ path.string(), static_cast<int>(error.source().begin.line), "", "",
                          "not valid TOML: " + std::string(error.description()) });
        return false;
    }
    size_t before = diagnostics.Items().size();
    ManifestReader reader(manifest, diagnostics);
    reader.Read(root);
    return diagnostics.Items().size() == before;
}

bool LoadManifest(const std::filesystem::path& path, Manifest& manifest, Diagnostics& diagnostics)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        diagnostics.Add({ path.string(), 0, "", "", "cannot open the manifest" });
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    return ParseManifest(content.str(), path, manifest, diagnostics);
}
