#include "TestStub.h"
#include "builder/Builder.h"
#include "builder/Inspect.h"
#include "builder/PackageReader.h"
#include "core/Checksum.h"
#include "payload/PayloadLayout.h"
#include "payload/PeImage.h"
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string RandomBytes(size_t count, uint32_t seed)
{
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes)
        c = static_cast<char>(generator());
    return bytes;
}

uint32_t U32(const std::string& bytes, size_t at)
{
    uint32_t value;
    memcpy(&value, bytes.data() + at, 4);
    return value;
}

uint16_t U16(const std::string& bytes, size_t at)
{
    uint16_t value;
    memcpy(&value, bytes.data() + at, 2);
    return value;
}

bool ReadAt(void* context, int64_t offset, void* destination, int32_t count)
{
    const std::string& image = *static_cast<const std::string*>(context);
    if (offset < 0 || offset + count > static_cast<int64_t>(image.size()))
        return false;
    memcpy(destination, image.data() + offset, static_cast<size_t>(count));
    return true;
}

std::string Str(const String& text)
{
    return std::string(text.Text(), static_cast<size_t>(text.Length()));
}

// A folder of source files for the manifests of these tests.
class BuilderPackage : public testing::Test {
public:
    static void SetUpTestSuite()
    {
        s_directory = fs::temp_directory_path() / ("quox-package-test-" + std::to_string(getpid()));
        WriteFile(s_directory / "app/app.exe", RandomBytes(3000, 1));
        WriteFile(s_directory / "app/readme.txt", std::string(5000, 'r'));
        WriteFile(s_directory / "sys.dll", RandomBytes(700, 2));
        WriteFile(s_directory / "f.ttf", "font bytes");
        WriteFile(s_directory / "empty.dat", "");
        WriteFile(s_directory / "lic1.txt", "First licence\nline two\n");
        WriteFile(s_directory / "lic2.txt", "Second licence");
        WriteFile(s_directory / "readme.txt", "Read me\r\nplease");
        WriteFile(s_directory / "patch.bin", "PATCH");
        WriteFile(s_directory / "big/one.bin", RandomBytes(60000, 3));
        WriteFile(s_directory / "big/two.bin", RandomBytes(50000, 4));
        std::string bmp = "BM" + std::string(12, '\0');
        std::string info(40 + 16, '\x7F');
        uint32_t size = 40;
        memcpy(&info[0], &size, 4);
        WriteFile(s_directory / "pic.bmp", bmp + info);
    }
    static void TearDownTestSuite() { fs::remove_all(s_directory); }

    static Manifest Parse(const std::string& text)
    {
        Manifest manifest;
        Diagnostics diagnostics;
        EXPECT_TRUE(ParseManifest(text, s_directory / "manifest.toml", manifest, diagnostics)) << diagnostics.Text();
        return manifest;
    }

    static BuildReport Build(const std::string& text, const std::string& stub = MakeTestStub())
    {
        BuildReport report;
        Diagnostics diagnostics;
        EXPECT_TRUE(BuildInMemory(Parse(text), stub, "setup", std::nullopt, report, diagnostics)) << diagnostics.Text();
        return report;
    }

    static VolumeLoader Loader(const BuiltPackage& built)
    {
        return [&built](const std::string& name) -> std::optional<std::string> {
            for (const VolumeFile& volume : built.volumes) {
                if (volume.name == name)
                    return volume.bytes;
            }
            return std::nullopt;
        };
    }

    static fs::path s_directory;
};

fs::path BuilderPackage::s_directory;

const char kFullManifest[] = R"TOML(
[product]
name = "Full Product"
publisher = "Pub"
version = "2.15b"
uninstall_name = "FullUninstall"
registry_key = "Pub\\Full"
master = "Master Product"
excluded_windows = ["Win32s", "WinME"]
flags = ["UninstallSupport", "AskDirectory", "CheckStub", "FullScreen", "VerboseLog", "ConfirmDirectory"]

[directories]
default = "Pub\\Full"
shared = "Pub Shared"
start_menu = "Pub Menu\\Full"
desktop_folder = "Full Desk"
uninstall_subdir = "uninst"

[install]
step_delay = 1234
all_users = true
licenses = ["lic1.txt", "lic2.txt"]
readmes = "readme.txt"

[uninstaller]
file_name = "Remove Full.exe"
date = 2023-02-03T04:05:06
patch = "patch.bin"
patch_offset = 128

[look]
title_color = "#102030"
title_shadow = 3
title_position = "bottom-right"
top_color = "#405060"
bottom_color = 0x00112233
picture = "pic.bmp"
picture_size = 55

[scripts]
pre_install = "echo pre\n"
post_install = "echo post"
closing = "echo closing"
uninstall_first = "echo u1"
uninstall_last = "echo u2"

[package]
compression = "fast"
volume_base = "FULLDISK"
volume_tag = 77

[files.app]
source = "app/*"
subdir = "bin"
destination = "install"
flags = ["DesktopShortcut", "StartMenuShortcut", "Permanent"]
install_if = "missing"
attributes = ["ReadOnly", "Archive"]
shortcut = "Full App"
icon = "app.ico"
arguments = "/x"
workdir = "%InstallDir%\\work"
date = 2020-01-02T03:04:05

[files.sys]
source = "sys.dll"
destination = "system-com"
version = "1.2.3.4"
target = "%SystemDir%\\"
date = 2020-01-02

[files.font]
source = "f.ttf"
destination = "fonts"
font = "Full Font (TrueType)"
flags = ["UninstallDirectory"]
target = "full.ttf"
date = 10:11:12

[files.empty]
source = "empty.dat"
destination = "shared"
attributes = []

[[deletions]]
path = "old\\*.tmp"
when = "date-not-later"
date = 2019-05-06T07:08:09
at_restart = true

[[deletions]]
path = "*.bak"
when = "size-at-least"
size = 1024

[[associations]]
extension = ".full"
type = "Full.Document"
description = "Full document"
verb = "open"
caption = "&Open"
command = "\"%InstallDir%\\bin\\app.exe\" \"%1\""
language = "Deutsch"
icon = "%InstallDir%\\bin\\app.exe,0"
default_verb = true

[[uninstall_values]]
name = "HelpLink"
value = "http://example.invalid"

[[uninstall_values]]
name = "Path"
type = "expand"
value = "%InstallDir%"

[[uninstall_values]]
name = "EstimatedSize"
type = "number"
value = 42

[strings]
languages = ["Deutsch", "English"]

[strings.English]
0 = "Full Title"
100 = "extra"

[strings.Deutsch]
0 = "Voller Titel"
1 = "Über <product>"
)TOML";

TEST_F(BuilderPackage, InspectReadsBackEveryField)
{
    Manifest manifest = Parse(kFullManifest);
    BuildReport report = Build(kFullManifest);
    Package package;
    std::string problem;
    ASSERT_TRUE(ReadPackage(report.package.installer, Loader(report.package), package, problem)) << problem;

    const Settings& want = manifest.settings;
    const Settings& got = package.settings;
    EXPECT_EQ(got.productFlags, want.productFlags | kFlagRequiresMaster | kFlagCompressedFileData);
    EXPECT_EQ(got.productFlags & kFlagRequiresMaster, kFlagRequiresMaster);
    EXPECT_EQ(got.stepDelay, 1234);
    EXPECT_EQ(got.shortcutMode, 1);
    EXPECT_EQ(std::vector<int32_t>(got.uninstallerStamp, got.uninstallerStamp + 6),
              (std::vector<int32_t>{ 2023, 2, 3, 4, 5, 6 }));
    std::pair<const String*, const char*> texts[] = {
        { &got.publisher, "Pub" },
        { &got.productName, "Full Product" },
        { &got.displayName, "Full Product" },
        { &got.sharedDir, "Pub Shared" },
        { &got.productStartMenu, "Pub Menu\\Full" },
        { &got.defaultDirectory, "Pub\\Full" },
        { &got.displayVersion, "2.15b" },
        { &got.productRegistry, "Pub\\Full" },
        { &got.uninstallSubdir, "uninst" },
        { &got.volumeBaseName, "FULLDISK" },
        { &got.uninstallerFileName, "Remove Full.exe" },
        { &got.uninstallName, "FullUninstall" },
        { &got.masterName, "Master Product" },
        { &got.desktopFolder, "Full Desk" },
        { &got.preInstallScript, "echo pre\r\n" },
        { &got.postInstallScript, "echo post" },
        { &got.closingScript, "echo closing" },
        { &got.uninstallBatch1, "echo u1" },
        { &got.uninstallBatch2, "echo u2" },
    };
    for (auto& [field, text] : texts)
        EXPECT_EQ(Str(*field), text);
    EXPECT_EQ(got.bitmapSize, 55);
    ASSERT_EQ(got.licenseTexts.Count(), 2);
    EXPECT_EQ(Str(got.licenseTexts[0]), "First licence\r\nline two\r\n");
    EXPECT_EQ(Str(got.licenseTexts[1]), "Second licence");
    ASSERT_EQ(got.readmeTexts.Count(), 1);
    EXPECT_EQ(Str(got.readmeTexts[0]), "Read me\r\nplease");
    EXPECT_EQ(got.titleColor, 0x302010);
    EXPECT_EQ(got.titleShadow, 3);
    EXPECT_EQ(got.titlePosition, 6);
    EXPECT_EQ(got.topColor, 0x605040);
    EXPECT_EQ(got.bottomColor, 0x112233);
    EXPECT_FALSE(got.monoColor);
    EXPECT_EQ(Str(got.backgroundPicture), Str(want.backgroundPicture));
    EXPECT_EQ(got.backgroundPicture.Length(), 56);
    EXPECT_EQ(got.excludedVersions, 2 | 16);
    EXPECT_EQ(got.externalData, 0);
    EXPECT_EQ(got.volumeTag, 77);
    EXPECT_EQ(got.patchOffset, 128);
    EXPECT_EQ(Str(got.patch), "PATCH");

    ASSERT_EQ(got.deletions.Count(), 2);
    EXPECT_EQ(Str(got.deletions[0].path), "old\\*.tmp");
    EXPECT_EQ(got.deletions[0].condition, 3);
    EXPECT_EQ(Str(got.deletions[0].value), "2019-05-06 07:08:09");
    EXPECT_EQ(got.deletions[0].flags, 2);
    EXPECT_EQ(got.deletions[1].condition, 5);
    EXPECT_EQ(Str(got.deletions[1].value), "1024");
    EXPECT_EQ(got.deletions[1].flags, 0);

    ASSERT_EQ(got.associations.Count(), 1);
    const FileAssociation& a = got.associations[0];
    EXPECT_EQ(a.flags, 1);
    EXPECT_EQ(Str(a.extension), ".full");
    EXPECT_EQ(Str(a.typeName), "Full.Document");
    EXPECT_EQ(Str(a.description), "Full document");
    EXPECT_EQ(Str(a.verb), "open");
    EXPECT_EQ(Str(a.verbCaption), "&Open");
    EXPECT_EQ(Str(a.command), "\"%InstallDir%\\bin\\app.exe\" \"%1\"");
    EXPECT_EQ(Str(a.language), "Deutsch");
    EXPECT_EQ(Str(a.icon), "%InstallDir%\\bin\\app.exe,0");

    ASSERT_EQ(got.uninstallData.Count(), 3);
    EXPECT_EQ(Str(got.uninstallData[0].name), "HelpLink");
    EXPECT_EQ(got.uninstallData[0].type, 1);
    EXPECT_EQ(Str(got.uninstallData[1].value), "%InstallDir%");
    EXPECT_EQ(got.uninstallData[1].type, 2);
    EXPECT_EQ(got.uninstallData[2].type, 4);
    EXPECT_EQ(Str(got.uninstallData[2].value), "42");

    ASSERT_EQ(got.languages.Count(), 2);
    EXPECT_EQ(got.englishLanguage, 1);
    EXPECT_EQ(got.stringRows, 101);
    EXPECT_EQ(Str(got.StringAt(0, 0)), "Voller Titel");
    EXPECT_EQ(Str(got.StringAt(0, 1)), "Full Title");
    EXPECT_EQ(Str(got.StringAt(1, 0)), "\xDC" "ber <product>"); // in code page 1252
    EXPECT_EQ(Str(got.StringAt(100, 1)), "extra");
    EXPECT_EQ(Str(got.StringAt(100, 0)), "");
    // A language without its own text of a message gets the English default.
    EXPECT_EQ(Str(got.StringAt(48, 0)), "OK");
    EXPECT_EQ(Str(got.StringAt(2, 1)), "<product> Is Already Installed");

    // The files, in manifest order of the groups and sorted order within a glob.
    ASSERT_EQ(package.files.size(), 5u);
    const PackedFile& exe = package.files[0];
    EXPECT_EQ(exe.name, "bin\\app.exe");
    EXPECT_EQ(exe.destination, 0);
    EXPECT_EQ(exe.flags, 0x1 | 0x2 | 0x20 | 12);
    EXPECT_EQ(exe.attributes, 0x21);
    EXPECT_EQ(exe.data, RandomBytes(3000, 1));
    EXPECT_EQ(exe.checksum, Checksum(exe.data.data(), 3000));
    EXPECT_EQ(std::vector<int32_t>(exe.date.begin(), exe.date.end()), (std::vector<int32_t>{ 2020, 1, 2, 3, 4, 5 }));
    EXPECT_EQ(exe.text1, "Full App");
    EXPECT_EQ(exe.icon, "app.ico");
    EXPECT_EQ(exe.arguments, "/x");
    EXPECT_EQ(exe.target, "");
    EXPECT_EQ(exe.workdir, "%InstallDir%\\work");
    EXPECT_EQ(package.files[1].name, "bin\\readme.txt");
    const PackedFile& dll = package.files[2];
    EXPECT_EQ(dll.destination, 7);
    EXPECT_EQ(dll.text1, "1.2.3.4");
    EXPECT_EQ(dll.target, "%SystemDir%\\");
    EXPECT_EQ(dll.icon, "");
    EXPECT_EQ(std::vector<int32_t>(dll.date.begin(), dll.date.end()), (std::vector<int32_t>{ 2020, 1, 2, -1, 0, 0 }));
    const PackedFile& font = package.files[3];
    EXPECT_EQ(font.destination, 4);
    EXPECT_EQ(font.flags, 0x40);
    EXPECT_EQ(font.text1, "Full Font (TrueType)");
    EXPECT_EQ(font.target, "full.ttf");
    EXPECT_EQ(std::vector<int32_t>(font.date.begin(), font.date.end()), (std::vector<int32_t>{ 0, 0, 0, 10, 11, 12 }));
    const PackedFile& empty = package.files[4];
    EXPECT_EQ(empty.destination, 1);
    EXPECT_EQ(empty.attributes, 0);
    EXPECT_EQ(empty.data, "");
    EXPECT_EQ(package.header.header.sizeCount, 5);
    EXPECT_EQ(package.header.sizes[0], 3000);
    EXPECT_EQ(package.header.sizes[4], 0);

    // The printed form names the same things.
    std::string text = DescribePackage(package, true);
    for (const char* expected : { "product flags: 0x00000101801100A4 UninstallSupport CompressedFileData AskDirectory",
                                  "RequiresMaster VerboseLog ConfirmDirectory CheckStub FullScreen",
                                  "excluded Windows versions: 0x12 Win32s WinME", "volume tag: 0x0000004D",
                                  "\"bin\\\\app.exe\"", "install if: missing", "destination 7 (system-com)",
                                  "deletion 1: \"old\\\\*.tmp\" date-not-later \"2019-05-06 07:08:09\" at-restart",
                                  "100 [English]: \"extra\"", "uninstaller patch: offset 128, 5 bytes" })
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
}

TEST_F(BuilderPackage, SameInputsGiveTheSameBytes)
{
    std::string manifest = std::string(kFullManifest) + "[files.big]\nsource = \"big/*\"\n";
    BuildReport first = Build(manifest);
    BuildReport second = Build(manifest);
    EXPECT_EQ(first.package.installer, second.package.installer);
    // And the settings key is the decoded stream's own checksum.
    Package package;
    std::string problem;
    ASSERT_TRUE(ReadPackage(first.package.installer, nullptr, package, problem)) << problem;
    EXPECT_EQ(package.header.header.settingsKey,
              Checksum(package.settingsStream.data(), static_cast<int32_t>(package.settingsStream.size())));
}

TEST_F(BuilderPackage, CompressionLevelsAllReadBack)
{
    std::map<std::string, int64_t> stored;
    for (const char* level : { "none", "fast", "best" }) {
        std::string manifest = std::string("[product]\nname = \"P\"\n[package]\ncompression = \"") + level +
                               "\"\n[files.all]\nsource = [\"app/*\", \"big/*\"]\n";
        BuildReport report = Build(manifest);
        Package package;
        std::string problem;
        ASSERT_TRUE(ReadPackage(report.package.installer, nullptr, package, problem)) << level << ": " << problem;
        EXPECT_EQ(package.files.size(), 4u);
        EXPECT_EQ((package.settings.productFlags & kFlagCompressedFileData) != 0, std::string(level) != "none");
        stored[level] = report.package.storedFileDataBytes;
    }
    // The readme of 5000 equal bytes compresses; the random files do not grow much.
    EXPECT_LT(stored["fast"], stored["none"]);
    EXPECT_LE(stored["best"], stored["fast"]);
}

TEST_F(BuilderPackage, VolumesSplitTheFileDataWithConsecutiveTags)
{
    const int64_t volumeSize = 40000;
    BuildReport report = Build("[product]\nname = \"P\"\n[package]\ncompression = \"none\"\nvolume_size = 40000\n"
                               "volume_base = \"DISK\"\nvolume_tag = -2\n[files.big]\nsource = \"big/*\"\n");
    const BuiltPackage& built = report.package;
    EXPECT_LE(static_cast<int64_t>(built.installer.size()), volumeSize);
    ASSERT_GE(built.volumes.size(), 2u);
    int64_t spread = 0;
    for (size_t i = 0; i < built.volumes.size(); ++i) {
        const VolumeFile& volume = built.volumes[i];
        EXPECT_EQ(volume.name, "DISK" + std::to_string(i + 2) + ".QOX");
        EXPECT_LE(static_cast<int64_t>(volume.bytes.size()), volumeSize);
        EXPECT_EQ(static_cast<int32_t>(U32(volume.bytes, 0)), static_cast<int32_t>(-2 + i)); // -2, -1, 0, ...
        spread += static_cast<int64_t>(volume.bytes.size()) - 4;
    }
    Package package;
    std::string problem;
    ASSERT_TRUE(ReadPackage(built.installer, Loader(built), package, problem)) << problem;
    EXPECT_EQ(package.volumeCount, static_cast<int>(built.volumes.size()));
    EXPECT_EQ(package.firstPartBytes + spread, package.header.header.fileDataLength);
    ASSERT_EQ(package.files.size(), 2u);
    EXPECT_EQ(package.files[0].data, RandomBytes(60000, 3));
    EXPECT_EQ(package.files[1].data, RandomBytes(50000, 4));

    // A volume that is missing or carries another tag stops the installation.
    BuiltPackage missing = built;
    missing.volumes.pop_back();
    EXPECT_FALSE(ReadPackage(missing.installer, Loader(missing), package, problem));
    EXPECT_NE(problem.find("error 50"), std::string::npos) << problem;
    BuiltPackage retagged = built;
    retagged.volumes[1].bytes[0] ^= 1;
    EXPECT_FALSE(ReadPackage(retagged.installer, Loader(retagged), package, problem));
    EXPECT_NE(problem.find("wrong tag"), std::string::npos) << problem;
}

TEST_F(BuilderPackage, ExternalDataFollowsTheImageAndStaysOutOfIt)
{
    for (const char* volumes : { "", "volume_size = 50000\n" }) {
        BuildReport report = Build(std::string("[product]\nname = \"P\"\n[package]\ncompression = \"none\"\n"
                                               "data = \"external\"\n") +
                                   volumes + "[files.big]\nsource = \"big/*\"\n");
        const BuiltPackage& built = report.package;
        std::string image = built.installer;
        PayloadSection section;
        ASSERT_EQ(LocatePayloadSection(ReadAt, &image, section), 0);
        // The mapped section holds the header and settings only; the data lies in the file.
        EXPECT_LT(section.rawSize, 0x2000);
        Package package;
        std::string problem;
        ASSERT_TRUE(ReadPackage(built.installer, Loader(built), package, problem)) << volumes << problem;
        EXPECT_EQ(package.settings.externalData, 1);
        EXPECT_EQ(package.files.size(), 2u);
        EXPECT_EQ(built.installer.size(),
                  static_cast<size_t>(section.rawOffset + package.header.fileDataOffset + package.firstPartBytes));
        EXPECT_EQ(built.volumes.empty(), *volumes == '\0');
    }
}

struct StubCase {
    const char* name;
    std::string stub;
};

class BuilderPeImage : public BuilderPackage, public testing::WithParamInterface<StubCase> {};

TEST_P(BuilderPeImage, SectionIsAddedAsAValidPeAndRemovesCleanly)
{
    const std::string& stub = GetParam().stub;
    if (stub.empty())
        GTEST_SKIP() << "the stub is not built in this tree";
    BuildReport report = Build(std::string(kFullManifest) + "[files.big]\nsource = \"big/*\"\n", stub);
    const std::string& installer = report.package.installer;

    uint32_t pe = U32(stub, 0x3C);
    uint16_t count = U16(stub, pe + 6);
    uint32_t table = pe + 24 + U16(stub, pe + 20);
    uint32_t fileAlignment = U32(stub, pe + 60), sectionAlignment = U32(stub, pe + 56);
    ASSERT_EQ(U16(installer, pe + 6), count + 1);
    uint32_t entry = table + count * 40;
    EXPECT_EQ(installer.substr(entry, 8), std::string(".quox\0\0\0", 8));
    uint32_t virtualSize = U32(installer, entry + 8), virtualAddress = U32(installer, entry + 12);
    uint32_t rawSize = U32(installer, entry + 16), rawOffset = U32(installer, entry + 20);
    uint32_t lastEnd = 0;
    for (uint16_t i = 0; i < count; ++i)
        lastEnd = std::max(lastEnd, U32(stub, table + i * 40 + 12) + U32(stub, table + i * 40 + 8));
    EXPECT_EQ(virtualAddress, (lastEnd + sectionAlignment - 1) / sectionAlignment * sectionAlignment);
    EXPECT_EQ(virtualAddress % sectionAlignment, 0u);
    EXPECT_EQ(rawOffset % fileAlignment, 0u);
    EXPECT_EQ(rawSize % sectionAlignment, 0u);
    EXPECT_EQ(virtualSize, rawSize);
    EXPECT_EQ(U32(installer, entry + 36), 0x40000040u); // initialized, readable data
    EXPECT_EQ(U32(installer, pe + 80), virtualAddress + rawSize);              // size of image
    EXPECT_EQ(U32(installer, pe + 32), U32(stub, pe + 32) + rawSize);          // size of initialized data
    EXPECT_EQ(installer.size(), static_cast<size_t>(rawOffset) + rawSize);
    EXPECT_EQ(U32(installer, rawOffset), kPayloadMagic);
    // The stub checksum covers every byte before the section, its header entry included.
    EXPECT_EQ(U32(installer, rawOffset + 16), Checksum(installer.data(), static_cast<int32_t>(rawOffset)));

    // Taking the section out again gives the stub back byte for byte.
    std::string copy = installer;
    PayloadSection section;
    ASSERT_EQ(LocatePayloadSection(ReadAt, &copy, section), 0);
    String plain(installer.data(), section.rawOffset);
    ASSERT_TRUE(RemovePayloadSection(plain, section));
    std::string back = Str(plain);
    ASSERT_EQ(back.size(), stub.size());
    auto differ = std::mismatch(back.begin(), back.end(), stub.begin());
    EXPECT_EQ(differ.first, back.end()) << "first difference at offset " << (differ.first - back.begin());
}

std::string RealStub()
{
    std::optional<std::string> stub = ReadWholeFile(QUOX_TEST_STUB);
    return stub.value_or(std::string());
}

INSTANTIATE_TEST_SUITE_P(, BuilderPeImage,
                         testing::Values(StubCase{ "TestStub", MakeTestStub() }, StubCase{ "RealStub", RealStub() }),
                         [](const testing::TestParamInfo<StubCase>& info) { return std::string(info.param.name); });

TEST_F(BuilderPackage, ProblemsKnownOnlyAtBuildTimeAreReported)
{
    struct Case {
        const char* manifest;
        std::string stub;
        const char* message;
    } cases[] = {
        { "[product]\nname = \"P\"\nflags = [\"UninstallSupport\"]\n[uninstaller]\npatch = \"patch.bin\"\n"
          "patch_offset = 3070\n",
          MakeTestStub(),
          "[uninstaller] patch_offset: the patch (5 bytes at 3070) reaches past the end of the uninstaller (2560 bytes)" },
        { "[product]\nname = \"P\"\n", MakeTestStub(2), "the stub has 2 sections; it needs 3 to 98" },
        { "[product]\nname = \"P\"\n", "MZ not a program", "the stub is not a 32-bit Windows program quox can extend" },
    };
    for (const Case& c : cases) {
        BuildReport report;
        Diagnostics diagnostics;
        EXPECT_FALSE(BuildInMemory(Parse(c.manifest), c.stub, "setup", std::nullopt, report, diagnostics));
        EXPECT_NE(diagnostics.Text().find(c.message), std::string::npos) << diagnostics.Text();
    }
}

TEST_F(BuilderPackage, TheExamplePackageBuilds)
{
    Manifest manifest;
    Diagnostics diagnostics;
    ASSERT_TRUE(LoadManifest(fs::path(QUOX_SOURCE_DIR) / "examples/hello/manifest.toml", manifest, diagnostics))
        << diagnostics.Text();
    BuildReport report;
    ASSERT_TRUE(BuildInMemory(manifest, MakeTestStub(), "hello-setup", std::nullopt, report, diagnostics))
        << diagnostics.Text();
    EXPECT_EQ(report.fileCount, 3u);
}

}
