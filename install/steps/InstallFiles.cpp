// Every packaged file, in order (45 to 85 percent): where it goes, whether an existing
// copy is replaced (by install condition, date, or version and date), its directory,
// the write, and the font registration. On the way it collects what the later steps
// need: the uninstall file list, the shared, COM and type-library lists, the shortcut
// requests and the fonts (state.lists). Each entry stands alone: a failure is a line
// in the log and the next entry follows.
//
// The entries were checked whole when the file data was loaded, so reading them again
// here cannot fail on a sound machine.
#include "install/CorruptInstaller.h"
#include "install/InstalledFile.h"
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "payload/ErrorCodes.h"
#include "payload/FileEntry.h"
#include "records/FontList.h"
#include "records/InstallLog.h"
#include "records/SharedFileList.h"
#include "system/Directory.h"
#include "system/File.h"
#include "system/FileFinder.h"
#include "system/FileVersion.h"
#include "system/Path.h"
#include "system/SystemError.h"
#include "system/SystemFolders.h"
#include "system/SystemPaths.h"
#include "ui/MessagePump.h"
#include <windows.h>

namespace {

// The bar and the status line follow the files at a pace the eye can take: a repaint
// for every small file would cost more than writing it.
constexpr DWORD kShowInterval = 50;

// The destinations whose files belong to the product and are removed with it.
bool InInstallDirectory(int32_t destination)
{
    return destination == kDestinationInstall || destination == kDestinationStartup ||
           destination == kDestinationInstallVersioned;
}

bool IsSystemDestination(int32_t destination)
{
    return destination >= kDestinationSystem && destination <= kDestinationInstallVersioned;
}

// A file in use by someone else exists too.
bool TargetExists(const String& path)
{
    File file;
    int code = file.Open(path.Text(), File::kProbe);
    return code == File::kOpened || code == File::kLocked || code == File::kAccessDenied;
}

FileStamp PackagedStamp(const FileEntry& entry)
{
    FileStamp stamp;
    int32_t* fields[] = { &stamp.year, &stamp.month, &stamp.day, &stamp.hour, &stamp.minute, &stamp.second };
    for (int i = 0; i < kEntryDateFields; ++i)
        *fields[i] = entry.date[i];
    return stamp;
}

// One entry on its way: its name (after a rename), its target, and whether that
// target's directory is the entry's own to make and list.
struct Placement {
    String name;
    String target;
    bool ownDirectory = true;
};

// The shared directory. A product without an uninstaller has none (nothing would ever
// count its files down): its shared files go to the install directory, never to a
// directory relative to wherever the installer happened to be started.
const String& SharedDirectory(const InstallerState& state)
{
    const String& shared = state.PackageSettings().sharedDir;
    return shared.IsEmpty() ? state.installDir : shared;
}

Placement PlaceEntry(const InstallerState& state, const FileEntry& entry)
{
    Placement place;
    place.name = entry.name;
    String target(entry.target);
    if (!target.IsEmpty() && target.FindChar('\\') < 0) {
        place.name = target; // a new name in the usual place
        target.Clear();
    }
    if (!target.IsEmpty()) {
        state.ExpandPathVariables(target);
        const String& base = entry.destination == kDestinationShared ? SharedDirectory(state) : state.installDir;
        (void)MakeAbsolute(target, base.Text());
        if (target.Last() == '\\')
            target += FileNamePart(place.name);
        place.target = target;
        return place;
    }
    String directory;
    if (entry.flags & kEntryUninstallDirectory) {
        directory = state.UninstallDirectory();
    } else if (InInstallDirectory(entry.destination)) {
        directory = state.installDir;
    } else {
        place.ownDirectory = false;
        switch (entry.destination) {
        case kDestinationShared:
            directory = SharedDirectory(state);
            break;
        case kDestinationFonts:
            directory = FolderPath(SystemFolder::Fonts);
            break;
        case kDestinationSystem:
        case kDestinationSystemCom:
        case kDestinationSystemTypeLibrary:
            directory = SystemDirectory();
            break;
        default:
            ReportCorruptInstaller(state, kCodeUnknownGroup);
        }
    }
    if (entry.flags & kEntryUninstallDirectory)
        place.ownDirectory = false;
    place.target = JoinPath(directory, place.name);
    return place;
}

// The shared, COM and type-library lists take their entries whether or not the file is
// then written: a file that is up to date keeps its count and its registration.
void CollectShared(InstallLists& lists, const FileEntry& entry, const String& target)
{
    int32_t destination = entry.destination;
    if (destination == kDestinationSystemCom)
        lists.comServers.Append(target);
    else if (destination == kDestinationSystemTypeLibrary)
        lists.typeLibraries.Append(target);
    if (destination != kDestinationShared && destination != kDestinationSystem &&
        destination != kDestinationSystemCom && destination != kDestinationSystemTypeLibrary)
        return;
    String shared = target;
    if (char marker = SharedFileMarker(destination, entry.flags))
        shared += marker;
    lists.sharedFiles.Append(shared);
}

void ListForRemoval(InstallerState& state, const FileEntry& entry, const String& path, bool isDirectory)
{
    if (InInstallDirectory(entry.destination) && !(entry.flags & kEntryPermanent) &&
        !state.Has(kFlagRemoveInstallDirTree))
        state.lists.uninstallFiles.AddUninstallLine(path, isDirectory);
}

// Whether the entry is written: its install condition, then for an existing target the
// date rule (shared files, fonts) or the version and date rule (system files,
// install-versioned). `existed` tells the writer that a locked target may be replaced
// at the next start.
bool ShouldInstall(InstallerState& state, InstallLog& log, const FileEntry& entry, const String& target,
                   bool& existed)
{
    int32_t destination = entry.destination;
    int32_t condition = entry.flags & kEntryConditionMask;
    existed = false;
    if (condition == kInstallNever)
        return false;
    bool dateRule = destination == kDestinationShared || destination == kDestinationFonts;
    // Most files are written whatever is there: no need to look.
    if (condition == kInstallAlways && !dateRule && !IsSystemDestination(destination))
        return true;
    bool exists = TargetExists(target);
    if (condition == kInstallIfExists && !exists)
        return false;
    if (condition == kInstallIfMissing && exists) {
        // The product's copy stays, and goes with the product.
        if (InInstallDirectory(destination) && !(entry.flags & kEntryPermanent))
            state.lists.uninstallFiles.AddUninstallLine(target, false);
        return false;
    }
    if (!exists || (!dateRule && !IsSystemDestination(destination)))
        return true;
    existed = true;
    FileStamp packaged = PackagedStamp(entry);
    FileStamp present = LastWriteTimeOf(target.Text());
    if (dateRule) {
        bool outOfDate = !packaged.HasDate() || !present.HasDate() || present.Compare(packaged) < 0;
        if (outOfDate)
            log.OutOfDate(target);
        else
            log.UpToDate(target);
        return outOfDate;
    }
    bool kept = false;
    if (!IsBlank(entry.text1)) {
        String version = FileVersion(target.Text(), false);
        if (!version.IsEmpty() && String::CompareVersionText(entry.text1, version.Text()) <= 0) {
            log.VersionNotNewer(target);
            kept = true;
        }
    }
    // The order of dates puts "no date" last, so a packaged file without one is always
    // newer here, and equal dates never replace.
    if (!kept && present.HasDate() && present.Compare(packaged) >= 0) {
        log.DateNotNewer(target);
        kept = true;
    }
    if (kept) {
        if (destination == kDestinationInstallVersioned)
            state.lists.uninstallFiles.AddUninstallLine(target, false);
        return false;
    }
    log.OutOfDate(target);
    return true;
}

void RequestShortcut(InstallerState& state, const FileEntry& entry, const String& target)
{
    bool startup = entry.destination == kDestinationStartup;
    if (!startup && !(entry.destination == kDestinationInstall && (entry.flags & kEntryHasIcon)))
        return;
    ShortcutRequest& request = *state.lists.shortcuts.AppendNew();
    request.name = entry.text1;
    if (request.name.IsEmpty())
        request.name = state.TextWith(38, FileNamePart(target).Text());
    request.target = target;
    request.arguments = entry.arguments;
    request.workdir = entry.workdir;
    if (!IsBlank(entry.icon))
        request.icon = JoinPath(state.UninstallDirectory(), entry.icon);
    request.desktop = (entry.flags & kEntryDesktopShortcut) != 0;
    request.startMenu = (entry.flags & kEntryStartMenuShortcut) != 0;
    request.startup = startup;
    request.permanent = (entry.flags & kEntryPermanent) != 0;
}

// The target's directory, made when missing; the product's own directories are listed
// for removal. False (reported) when it cannot be made. `made` is the last directory
// made, which the files that follow in it need not make again.
bool MakeDirectory(InstallerState& state, InstallLog& log, const FileEntry& entry, const Placement& place,
                   String& made)
{
    String directory = DirectoryPart(place.target);
    if (SameDirectory(directory, state.installDir))
        return true;
    if (directory != made) {
        made.Clear();
        if (!CreateDirectories(directory)) {
            String reason = LastErrorText();
            log.DirectoryNotCreated(state.Text(25), directory, reason, place.target);
            return false;
        }
        made = directory;
    }
    if (place.ownDirectory)
        ListForRemoval(state, entry, directory, true);
    return true;
}

void RegisterInstalledFont(InstallerState& state, const FileEntry& entry, const String& target)
{
    String fileName = FileNamePart(target);
    // A registration that fails leaves the file in the fonts folder, where Windows
    // finds it at its next start.
    (void)RegisterFont(entry.text1, fileName.Text());
    AddFontResourceA(fileName.Text());
    if (!(entry.flags & kEntryPermanent))
        AppendFont(state.lists.fonts, entry.text1, fileName);
    state.lists.fontsChanged = true;
}

void InstallEntry(InstallerState& state, InstallLog& log, const FileEntry& entry, String& madeDirectory, bool show)
{
    Placement place = PlaceEntry(state, entry);
    const String& target = place.target;
    CollectShared(state.lists, entry, target);
    bool existed = false;
    if (!ShouldInstall(state, log, entry, target, existed))
        return;
    RequestShortcut(state, entry, target);
    if (!MakeDirectory(state, log, entry, place, madeDirectory))
        return;
    // Listed before the write: a file that fails now may still land at the restart.
    ListForRemoval(state, entry, target, false);
    if (!WriteInstalledFile(state, log, target, entry.data, entry.dataLength, PackagedStamp(entry), entry.attributes,
                            existed))
        return;
    if (entry.destination == kDestinationFonts)
        RegisterInstalledFont(state, entry, target);
    if (show) {
        String status;
        status.Format("%s -> %s", place.name.Text(), target.Text());
        (void)state.progress.SetStepText(status);
    }
    if (state.Has(kFlagVerboseLog))
        log.FileInstalled(place.name, target);
}

}

StepResult InstallFiles(InstallerState& state, InstallLog& log)
{
    const Payload& payload = state.payload;
    const Vector<int32_t>& sizes = payload.header.sizes;
    PayloadCursor cursor(payload.fileDataStart, payload.fileDataLength);
    String madeDirectory;
    DWORD shown = GetTickCount() - kShowInterval;
    for (int32_t i = 0; i < sizes.Count(); ++i) {
        bool show = GetTickCount() - shown >= kShowInterval;
        if (show) {
            shown = GetTickCount();
            (void)state.progress.SetPosition(45 + i * 40 / sizes.Count());
        } else {
            (void)PumpMessages();
        }
        FileEntry entry;
        if (int code = ReadFileEntry(cursor, sizes[i], entry))
            ReportCorruptInstaller(state, code);
        InstallEntry(state, log, entry, madeDirectory, show);
    }
    return StepResult::GoOn;
}
