// Where the product goes: over an earlier installation (asked, or refused), else /d:
// or the default directory, which the person may change in ChooseDirDlg until a
// directory passes every check and exists.
#include "core/NumberWords.h"
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "system/Directory.h"
#include "system/Path.h"
#include "system/SystemError.h"
#include "system/SystemFolders.h"
#include "system/SystemPaths.h"
#include "ui/ChooseDirDlg.h"
#include "ui/ProgramWindows.h"
#include "ui/WaitCursor.h"

namespace {

// "Already installed", with the comparison of the two versions when the package asks
// for it and both are known.
bool AskReinstall(InstallerState& state)
{
    const String& before = state.previous.displayVersion;
    const String& now = state.PackageSettings().displayVersion;
    int first = 3;
    if (state.Has(kFlagShowVersionComparison) && !before.IsEmpty() && !now.IsEmpty()) {
        int order = String::CompareVersionText(before.Text(), now.Text());
        first = order == 0 ? 4 : order < 0 ? 5 : 6;
    }
    String text = state.Text(first) + "\r\n" + state.previous.location + "\r\n\r\n" + state.Text(7);
    return state.Ask().AskYesNo(text, state.Text(2), BoxIcon::Question, QuestionKind::GoOn);
}

// The room the files take on the drive: each size rounded up to whole clusters.
int64_t SpaceNeeded(const Vector<int32_t>& sizes, int32_t cluster)
{
    int64_t sum = 0;
    for (int32_t size : sizes)
        sum += cluster > 0 ? RoundUpToMultiple(size, cluster) : size;
    return sum;
}

// Message 25 with the directory and the system's reason.
void ShowNotCreated(InstallerState& state, const String& directory)
{
    String reason = LastErrorText();
    state.ShowError(state.Text(25) + "\r\n" + directory + "\r\n\r\n" + reason);
}

// True when the person accepts the directory (the text, already trimmed). Every refusal
// has told why.
bool Accept(InstallerState& state, String& directory)
{
    String path = directory;
    path.TrimUnquote();
    if (!IsValidPath(path, 0) || !IsAbsolutePath(path.Text())) {
        state.ShowError(state.Text(14) + "\r\n" + directory);
        return false;
    }
    // A directory text ends without a backslash, but for a drive's root.
    while (path.Length() > 3 && path.Last() == '\\')
        path.Shrink(1);
    directory = path;
    if (state.Has(kFlagNoNetworkPaths) && path.StartsWith("\\\\")) {
        state.ShowError(state.Text(66));
        return false;
    }
    char letter = DriveLetter(path);
    char drive[] = { letter, 0 };
    if (letter && !DriveExists(letter)) {
        state.ShowError(state.TextWith(16, drive));
        return false;
    }
    if (path.Length() <= 3) {
        state.ShowError(state.Text(17));
        return false;
    }
    String programFiles = FolderPath(SystemFolder::ProgramFiles);
    if (SameDirectory(path, programFiles)) {
        state.ShowError(state.TextWith(18, programFiles.Text()));
        return false;
    }
    uint64_t freeBytes = 0;
    uint64_t totalBytes = 0;
    if (letter && DriveFreeSpace(path, freeBytes, totalBytes) == 1) {
        int64_t needed = SpaceNeeded(state.payload.header.sizes, ClusterSize(path));
        // Exactly as much room as needed leaves none for the log and the uninstaller.
        if (static_cast<uint64_t>(needed) >= freeBytes &&
            !state.Ask().AskYesNo(state.TextWith(19, SizeText(needed).Text(), drive,
                                                 SizeText(static_cast<int64_t>(freeBytes)).Text()),
                                  state.Text(20), BoxIcon::Stop, QuestionKind::GoOn))
            return false;
    }
    bool exists;
    {
        WaitCursor waiting;
        exists = DirectoryExists(path);
    }
    if (state.Has(kFlagConfirmDirectory) &&
        !state.Ask().AskYesNo(state.TextWith(exists ? 22 : 23, path.Text()), state.Text(24), BoxIcon::Question,
                              QuestionKind::GoOn))
        return false;
    if (exists || CreateDirectories(path))
        return true;
    ShowNotCreated(state, path);
    return false;
}

}

StepResult ChooseDirectory(InstallerState& state, InstallLog&)
{
    if (state.Has(kFlagUninstallSupport) && !state.previous.location.IsEmpty()) {
        if (state.Has(kFlagRefuseReinstall)) {
            state.LeaveAutomaticMode();
            state.StopWithError(state.Text(9));
        }
        if (!state.Has(kFlagNoReinstallQuestion) && !AskReinstall(state))
            return StepResult::Stop;
        state.installDir = state.previous.location;
        state.previous.reinstall = true;
        return StepResult::GoOn;
    }
    String& directory = state.installDir;
    if (directory.IsEmpty())
        directory = state.PackageSettings().defaultDirectory;
    else if (!IsAbsolutePath(directory.Text()))
        // "/d:app" means the folder below where the person stands, not wherever the
        // files' writes would resolve it later.
        (void)MakeAbsolute(directory, CurrentDirectory().Text());
    if (state.AutomaticMode() || !state.Has(kFlagAskDirectory)) {
        if (CreateDirectories(directory))
            return StepResult::GoOn;
        // Without its directory no file could be written: nothing is begun.
        ShowNotCreated(state, directory);
        return StepResult::Stop;
    }
    for (;;) {
        if (!ShowChooseDirDlg(TheProgramWindows().background, state, state.currentLanguage, directory))
            return StepResult::Stop;
        directory.Trim();
        if (!directory.IsEmpty() && Accept(state, directory))
            return StepResult::GoOn;
    }
}
