#include "install/Payload.h"
#include "core/Fatal.h"
#include "install/CorruptInstaller.h"
#include "install/InstallerState.h"
#include "payload/Descrambler.h"
#include "payload/Decompressor.h"
#include "payload/ErrorCodes.h"
#include "payload/SettingsReader.h"
#include "core/Checksum.h"
#include "core/MemoryReader.h"
#include "system/Directory.h"
#include "system/Path.h"
#include "system/SystemFolders.h"
#include "system/SystemPaths.h"
#include "ui/BackgroundWindow.h"
#include "ui/ProgramWindows.h"
#include <cstring>
#include <windows.h>

static const char kNoArchiveText[] =
    "This program performs installations and uninstallations.\r\n"
    "There is no installation archive present.\r\n"
    "No Uninstallation parameters were specified.\r\n\r\n"
    "You should not delete this program or execute it directly.";

String OwnFileNameFromCommandLine(const char* commandLine)
{
    const char* p = commandLine ? commandLine : "";
    while (IsSpace(*p))
        ++p;
    String name;
    if (*p == '"') {
        const char* end = ++p;
        while (*end && *end != '"')
            ++end;
        name.Assign(p, static_cast<int32_t>(end - p));
    } else {
        const char* end = p;
        while (*end && *end != ' ')
            ++end;
        name.Assign(p, static_cast<int32_t>(end - p));
    }
    if (ExtensionIndex(name) < 0)
        name.Append(".EXE");
    return name;
}

static bool ReadOwnFileAt(void* context, int64_t offset, void* destination, int32_t count)
{
    auto* file = static_cast<File*>(context);
    return offset >= 0 && offset <= INT32_MAX && file->ReadAt(static_cast<int32_t>(offset), destination, count);
}

static void OpenOwnFile(Payload& payload)
{
    payload.ownFileName = OwnFileNameFromCommandLine(GetCommandLineA());
    if (payload.ownFile.Open(payload.ownFileName.Text(), File::kReadShared) != 0) {
        // A command line that does not name the program usefully (started with another
        // name, or from another directory) still leaves the module's own name.
        if (payload.ownFile.Open(ProgramFile().Text(), File::kReadShared) != 0)
            FatalMessage("Error code 1: the installation program could not open its own file.\r\n\r\nFilename:\n%s",
                         payload.ownFileName.Text());
        payload.ownFileName = ProgramFile();
    }
    payload.ownFileSize = payload.ownFile.Size();
}

namespace {

// What the settings stream asks of the running installer.
class InstallerSettingsHost final : public SettingsHost {
public:
    InstallerSettingsHost(InstallerState& state, const String& decoded, uint32_t key)
        : m_state(state), m_decoded(decoded), m_key(key)
    {
    }

    String DisplayNameOverride() override { return m_state.commandLine.displayName; }
    int64_t OwnFileSize() override { return m_state.payload.ownFileSize; }

    // The flags are in the settings already: the reader stored them before calling.
    int AfterProductFlags(uint64_t flags) override
    {
        m_state.SettleAutomaticMode();
        // The background window stands behind every later message, the checksum's
        // included. It shows its colours once the rest of the look has been read.
        if (!(flags & kFlagNoBackground)) {
            m_state.look.fullScreen = (flags & kFlagFullScreen) != 0;
            TheProgramWindows().background = CreateBackgroundWindow(GetModuleHandleA(nullptr), m_state.look);
        }
        if (Checksum(m_decoded) != m_key)
            return kCodeSettingsChecksum;
        return 0;
    }

    void SettleSharedDirectory(String& directory) override
    {
        if (!IsAbsolutePath(directory.Text()))
            directory = JoinPath(FolderPath(SystemFolder::CommonFiles), directory);
        // A folder that cannot be made shows later, as the failure of each file that
        // goes there, in the log where the person can read it.
        (void)CreateDirectories(directory);
    }

    void SettleDefaultDirectory(String& directory) override
    {
        directory.Replace("<os>", WindowsDirectory(), String::kIgnoreCase);
        m_state.ExpandPathVariables(directory);
        if (!IsAbsolutePath(directory.Text()))
            directory = JoinPath(FolderPath(SystemFolder::ProgramFiles), directory);
    }

private:
    InstallerState& m_state;
    const String& m_decoded;
    uint32_t m_key;
};

void CheckOrReport(const InstallerState& state, int code)
{
    if (code)
        ReportCorruptInstaller(state, code);
}

void ReadSettingsBlock(InstallerState& state, PayloadCursor& cursor)
{
    Payload& payload = state.payload;
    const PayloadHeader& h = payload.header.header;
    String block;
    if (!cursor.ReadBlock(block, h.settingsLength))
        ReportCorruptInstaller(state, kCodePayloadOverrun);
    Descramble(block, h.settingsKey);
    if (!Decompress(block))
        ReportCorruptInstaller(state, kCodeSettingsDecompress);

    InstallerSettingsHost host(state, block, h.settingsKey);
    MemoryReader stream(block);
    CheckOrReport(state, ReadSettings(stream, payload.settings, host));
    state.currentLanguage = payload.settings.englishLanguage;
    state.stringTableRead = true;
}

// The background's look from the settings; the title waits for the language.
void SettleLook(InstallerState& state)
{
    const Settings& s = state.payload.settings;
    BackgroundLook& look = state.look;
    look.titleColor = static_cast<uint32_t>(s.titleColor);
    look.titleShadow = s.titleShadow;
    look.titlePosition = s.titlePosition;
    look.topColor = static_cast<uint32_t>(s.topColor);
    look.bottomColor = static_cast<uint32_t>(s.bottomColor);
    look.monoColor = s.monoColor;
    look.bitmapSize = s.bitmapSize;
    // A picture that does not parse is simply not drawn.
    (void)look.picture.Load(s.backgroundPicture.Text(), s.backgroundPicture.Length());
    if (HWND background = TheProgramWindows().background)
        RepaintBackground(background);
}

// The plain stub: the own file without the payload section, with the uninstaller patch.
void BuildStubImage(const InstallerState& state, Payload& payload)
{
    const PayloadSection& section = payload.section;
    String& image = payload.stubImage;
    if (!image.TrySetLength(section.rawOffset) ||
        !payload.ownFile.ReadAt(0, image.Buffer(), section.rawOffset))
        ReportCorruptInstaller(state, kCodeStubRead);
    if (payload.settings.Has(kFlagCheckStub) && Checksum(image) != payload.header.header.stubChecksum)
        ReportCorruptInstaller(state, kCodeStubChecksum);

    // Only the image's own sections follow the payload: file data stored after the image
    // belongs to the package and is left out of the uninstaller.
    int64_t tailStart = static_cast<int64_t>(section.rawOffset) + section.rawSize;
    int64_t tailEnd = payload.settings.externalData ? tailStart : payload.ownFileSize;
    if (tailEnd > tailStart) {
        int32_t tailLength = static_cast<int32_t>(tailEnd - tailStart);
        char* tail = image.TryExtend(tailLength);
        if (!tail || !payload.ownFile.ReadAt(static_cast<int32_t>(tailStart), tail, tailLength))
            ReportCorruptInstaller(state, kCodeStubTailRead);
    }
    // The section table was read from these bytes before; one that does not fit them
    // now means the file changed under the program.
    if (!RemovePayloadSection(image, section))
        ReportCorruptInstaller(state, kCodeStubRead);

    const Settings& s = payload.settings;
    if (s.Has(kFlagUninstallSupport) && s.patchOffset > 0 &&
        static_cast<int64_t>(s.patchOffset) + s.patch.Length() <= image.Length() && !s.patch.IsEmpty())
        memcpy(image.Buffer() + s.patchOffset, s.patch.Text(), static_cast<size_t>(s.patch.Length()));
}

}

void LoadPayload(InstallerState& state)
{
    Payload& payload = state.payload;
    OpenOwnFile(payload);

    int located = LocatePayloadSection(ReadOwnFileAt, &payload.ownFile, payload.section);
    if (located == kNoPayloadSection)
        FatalStop(kNoArchiveText);
    CheckOrReport(state, located);
    if (!payload.ownFile.Seek(payload.section.rawOffset))
        ReportCorruptInstaller(state, kCodeCannotSeekPayload);

    // From here on the payload is read from the mapped image, never past the section.
    const PayloadSection& section = payload.section;
    payload.mapped = reinterpret_cast<const uint8_t*>(GetModuleHandleA(nullptr)) + section.virtualAddress;
    uint32_t mappedLength = section.virtualSize < static_cast<uint32_t>(section.rawSize) ? section.virtualSize
                                                                                          : section.rawSize;
    payload.mappedLength = static_cast<int32_t>(mappedLength);
    PayloadCursor cursor(payload.mapped, payload.mappedLength);

    int code = ReadPayloadHeader(cursor, payload.header);
    if (code == kHeaderVersionMismatch)
        FatalStop(VersionMismatchText(payload.header.header.builderVersion).Text());
    CheckOrReport(state, code);
    ReadSettingsBlock(state, cursor);
    SettleLook(state);
    BuildStubImage(state, payload);
}
