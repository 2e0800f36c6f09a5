#pragma once
#include "core/String.h"
#include "core/Vector.h"
#include "payload/ProductFlags.h"
#include "records/UninstallEntry.h"
#include "records/UninstallFile.h"
#include "records/UninstallList.h"
#include "system/RegistryKey.h"
#include "ui/ProgressDlg.h"
#include "ui/Questions.h"
#include "ui/TextSource.h"
#include <cstdint>

// The uninstaller's one object: the product's record as read (its Uninstall key, open
// from the first step to the last, and Uninstall.DAT), what could not be removed, and
// who answers. Uninstall makes it and hands it to every step of uninstall/steps/; each
// step adds its failures to `errors`, whose emptiness alone decides whether the product
// is gone. Steps never roll back.
class Uninstaller final : public TextSource {
public:
    Uninstaller(const String& productName, AutomaticQuestions& answers)
        : name(productName), questions(answers)
    {
    }
    Uninstaller(const Uninstaller&) = delete;
    Uninstaller& operator=(const Uninstaller&) = delete;

    const String name;             // the product's key under the Uninstall key (/u:)
    AutomaticQuestions& questions;
    RegistryKey key;               // that key, open for reading and writing
    UninstallEntry entry;          // its values
    String uninstallDir;           // install directory + UninstallSubdir
    UninstallFile record;          // Uninstall.DAT as read
    UninstallList remaining;       // what could not be removed, for the record left behind
    String errors;                 // one line per failure; empty means success
    ProgressDlg progress;

    bool Has(uint64_t productFlag) const { return (entry.productFlags & productFlag) != 0; }
    bool Automatic() const { return questions.IsAutomatic(); }
    const String& InstallDir() const { return entry.installLocation; }

    // Message `number` of the record, or the built-in wording when the record has none,
    // with "<product>" replaced by the product's display name.
    String Message(int number) const;
    // The progress dialog asks through here (it has a single language).
    String Text(int number, int) const override { return Message(number); }

    // Starts a step on the progress dialog: status message and position.
    void Step(int message, int percent);
    // Outside automatic mode, holds the current step on screen for half a second.
    void Pace();

    // Directories that are never removed, even when empty: the install directory (left
    // to the self-removal script) and the system's own folders.
    bool IsKeptDirectory(const String& directory);
    // Whether deleting the tree of `directory` would take a system folder, a drive root
    // or the Windows or system directory with it, however the path is written.
    bool HoldsSystemFolder(const String& directory);
    // Removes the directory when it is empty, then its parents while that succeeds, at
    // most `limit` directories, stopping at a kept one.
    void RemoveDirectoryAndEmptyParents(String directory, int limit);

private:
    // The system's folders in their long and short forms, found once, and the install
    // directory's full and short forms beside them.
    const Vector<String>& SystemFolders();

    Vector<String> m_systemFolders;
    String m_installDir;
    String m_installDirShort;
};

// A directory is there (not a file of that name).
bool IsDirectory(const String& path);

// One step of the procedure, in a file of its own under uninstall/steps/. False ends the
// uninstallation at once with nothing more removed: only the opening of the record and
// the confirmation answer it.
using UninstallStep = bool (*)(Uninstaller& uninstaller);

bool OpenRecord(Uninstaller& uninstaller);
bool ConfirmUninstall(Uninstaller& uninstaller);
bool RunFirstBatch(Uninstaller& uninstaller);
bool RestoreAssociations(Uninstaller& uninstaller);
bool RemoveFonts(Uninstaller& uninstaller);
bool RemoveFiles(Uninstaller& uninstaller);
bool RewriteRecord(Uninstaller& uninstaller);
bool RemoveStartMenuFolder(Uninstaller& uninstaller);
bool ReleaseSharedFiles(Uninstaller& uninstaller);
bool RemoveProductKeys(Uninstaller& uninstaller);
bool RemoveInstallTree(Uninstaller& uninstaller);
bool FinishRecord(Uninstaller& uninstaller);
