#pragma once
#include "core/String.h"

// The two texts every install step reports to, which end in Install.LOG:
// - the detailed log: what was done (and, with VerboseLog, each file and shortcut);
// - the error report: what went wrong. It alone decides whether the installation
//   succeeded; a step that fails adds its lines here and the installation goes on.
// Each line the steps write has its method, so that the texts of the log are defined
// in this one place. Texts of the package's string table (messages 25 and 31) and the
// system's error text come in from the caller.
class InstallLog {
public:
    const String& DetailedLog() const { return m_detailedLog; }
    const String& ErrorReport() const { return m_errorReport; }
    bool Succeeded() const { return m_errorReport.IsEmpty(); }

    // Texts made elsewhere (the PATH edit's result, a write failure report).
    void AddDetail(const String& text) { m_detailedLog += text; }
    void AddError(const String& text) { m_errorReport += text; }

    // Deletion rules.
    void FileDeleted(const String& path);
    void DeletionAtRestart(const String& path, const String& systemError);
    void DeletionAtRestartFailed(const String& path, const String& systemError); // error
    void DeletionFailed(const String& path, const String& systemError);

    // The install decision for a file that exists.
    void UpToDate(const String& target);
    void OutOfDate(const String& target);
    void VersionNotNewer(const String& target);
    void DateNotNewer(const String& target);

    // Writing files (also links and Uninstall.DAT for FileNotWritten).
    void DirectoryNotCreated(const String& message25, const String& directory, const String& systemError,
                             const String& target); // error
    void FileNotWritten(const String& message31, const String& path, const String& systemError); // error
    void FileInstalled(const String& name, const String& target);

    // A file that could not be written after three attempts: the report text, to which
    // the replacement at restart adds its outcome. A registered replacement sends it to
    // the detailed log; every other outcome to the error report (AddError when no
    // replacement was tried).
    static String WriteFailureReport(const String& message31, const String& path, const String& systemError);
    void ReplacementWithoutTemporary(const String& report, const String& path, const String& systemError);
    void ReplacementRegistered(const String& report, const String& path, const String& temporary);
    void ReplacementFailed(const String& report, const String& path, const String& temporary,
                           const String& systemError);

    // Shared counts and component registration.
    void SharedCountsFailed(); // error
    void RegisteringComServer(const String& path);
    void ComLoadFailed();
    void ComEntryMissing();
    void RegisteringTypeLibrary(const String& path);
    void RegistrationSucceeded();
    void TypeLibraryFailed(const String& systemError);

    // Shortcuts, folders, the product key and associations.
    enum ShortcutKind { kDesktop, kDesktopFolder, kStartMenu, kStartup };
    void ShortcutMade(ShortcutKind kind, const String& name, const String& link);
    void UninstallerShortcutMade(const String& link);
    void FolderNotCreated(const String& folder, const String& systemError); // error
    void ProductKeyFailed(const String& key);                              // error
    void AssociationFailed(const String& extension);                       // error

    // The uninstall record and the end of the installation.
    void UninstallRegistryFailed(); // error
    void LaunchOnExit(const String& program);

private:
    // Appends a write failure report and the replacement's outcome to `to`.
    static void AppendReport(String& to, const String& report, const char* format, ...)
        __attribute__((format(printf, 3, 4)));

    String m_detailedLog;
    String m_errorReport;
};
