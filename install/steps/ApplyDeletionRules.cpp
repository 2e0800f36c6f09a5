// The package's deletion rules: files of an earlier version that must go before the new
// files come, chosen by mask and by a date or size condition. A file in use is left for
// the next start of Windows when the rule says so.
#include "core/DateTime.h"
#include "install/CorruptInstaller.h"
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "payload/ErrorCodes.h"
#include "records/InstallLog.h"
#include "system/FileAtRestart.h"
#include "system/FileFinder.h"
#include "system/FileOperations.h"
#include "system/Path.h"
#include "system/SystemError.h"
#include <windows.h>

namespace {

bool ComparesDates(const FileDeletion& rule)
{
    return rule.condition >= kDeletionDateEqual && rule.condition <= kDeletionDateNotLater;
}

// The rule's date; false when it holds no time of day. A date that does not read is a
// fault of the package.
bool RuleDate(const InstallerState& state, const FileDeletion& rule, DateTime& date)
{
    bool withTime = date.Parse(rule.value.Text());
    if (date.IsInvalid())
        ReportCorruptInstaller(state, kCodeFileSpec);
    return withTime;
}

bool ConditionHolds(const InstallerState& state, const FileDeletion& rule, const FileInfo& file)
{
    int order = 0;
    if (ComparesDates(rule)) {
        DateTime value;
        bool withTime = RuleDate(state, rule, value);
        DateTime changed;
        file.lastWrite.ToDateTime(changed);
        // A rule without a time of day means the whole day.
        order = withTime ? changed.Compare(value) : changed.Date::Compare(value);
    } else if (rule.condition >= kDeletionSizeEqual && rule.condition <= kDeletionSizeAtMost) {
        int64_t size = static_cast<int64_t>(file.size);
        int64_t value = rule.value.ToInt64IgnoringCommas();
        order = size < value ? -1 : size > value ? 1 : 0;
    } else {
        return true;
    }
    switch (rule.condition) {
    case kDeletionDateEqual:
    case kDeletionSizeEqual:
        return order == 0;
    case kDeletionDateNotEarlier:
    case kDeletionSizeAtLeast:
        return order >= 0;
    default:
        return order <= 0;
    }
}

void DeleteFound(InstallerState& state, InstallLog& log, const FileDeletion& rule, const String& path)
{
    (void)ClearAttributes(path.Text(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    if (DeleteFileA(path.Text())) {
        log.FileDeleted(path);
        return;
    }
    String reason = LastErrorText();
    if (!(rule.flags & kDeletionAtRestart)) {
        log.DeletionFailed(path, reason);
        return;
    }
    log.DeletionAtRestart(path, reason);
    if (DeleteFileAtRestart(path.Text()))
        state.SetRestartRequired();
    else
        log.DeletionAtRestartFailed(path, LastErrorText());
}

// The files that a rule's masks name: lines of masks separated by ";", each relative
// one taken in the directory of its line's first mask, the first one in the install
// directory. Directories are never among them.
void FindFiles(const String& masks, const String& installDir, Vector<String>& files)
{
    String lineDirectory;
    bool firstOfLine = true;
    int32_t start = 0;
    for (int32_t i = 0; i <= masks.Length(); ++i) {
        char c = masks.CharAt(i);
        bool lineEnd = c == '\r' || c == '\n';
        if (i < masks.Length() && c != ';' && !lineEnd)
            continue;
        String mask = masks.Mid(start, i - start);
        start = i + 1;
        mask.Trim();
        if (!mask.IsEmpty()) {
            (void)MakeAbsolute(mask, (firstOfLine ? installDir : lineDirectory).Text());
            String directory = DirectoryPart(mask);
            if (firstOfLine)
                lineDirectory = directory;
            firstOfLine = false;
            FileFinder finder;
            FileInfo file;
            for (bool more = finder.First(mask.Text(), file); more; more = finder.Next(file)) {
                if (!file.IsDirectory())
                    files.Append(JoinPath(directory, file.name));
            }
        }
        firstOfLine = firstOfLine || lineEnd;
    }
}

}

StepResult ApplyDeletionRules(InstallerState& state, InstallLog& log)
{
    const Vector<FileDeletion>& rules = state.PackageSettings().deletions;
    // Every date is read before the first file goes: a damaged rule stops the
    // installation before it has changed anything.
    for (const FileDeletion& rule : rules) {
        DateTime date;
        if (ComparesDates(rule))
            (void)RuleDate(state, rule, date);
    }
    for (const FileDeletion& rule : rules) {
        String mask = rule.path;
        state.ExpandPathVariables(mask);
        Vector<String> found;
        FindFiles(mask, state.installDir, found);
        for (const String& path : found) {
            FileInfo file;
            if (FindFirstEntry(path.Text(), file) && ConditionHolds(state, rule, file))
                DeleteFound(state, log, rule, path);
        }
    }
    // The uninstall file list starts here, with the files about to be installed.
    state.lists.uninstallFiles.Clear();
    return StepResult::GoOn;
}
