#include "records/InstallLog.h"

void InstallLog::AppendReport(String& to, const String& report, const char* format, ...)
{
    to += report;
    va_list arguments;
    va_start(arguments, format);
    to.AppendFormatList(format, arguments);
    va_end(arguments);
}

void InstallLog::FileDeleted(const String& path)
{
    m_detailedLog.AppendFormat("Deleted file: %s\r\n", path.Text());
}

void InstallLog::DeletionAtRestart(const String& path, const String& systemError)
{
    m_detailedLog.AppendFormat("File '%s' will be deleted after rebooting: %s\r\n", path.Text(), systemError.Text());
}

void InstallLog::DeletionAtRestartFailed(const String& path, const String& systemError)
{
    m_errorReport.AppendFormat("Failed to register '%s' for deletion: %s\r\n", path.Text(), systemError.Text());
}

void InstallLog::DeletionFailed(const String& path, const String& systemError)
{
    m_detailedLog.AppendFormat("Failed to delete file '%s': %s\r\n", path.Text(), systemError.Text());
}

void InstallLog::UpToDate(const String& target)
{
    m_detailedLog += target;
    m_detailedLog += " is up to date.\r\n";
}

void InstallLog::OutOfDate(const String& target)
{
    m_detailedLog += target;
    m_detailedLog += " is out of date and will be replaced.\r\n";
}

void InstallLog::VersionNotNewer(const String& target)
{
    m_detailedLog += target;
    m_detailedLog += " was not installed because its version is not newer.\r\n";
}

void InstallLog::DateNotNewer(const String& target)
{
    m_detailedLog += target;
    m_detailedLog += " was not installed because its date is not newer.\r\n";
}

void InstallLog::DirectoryNotCreated(const String& message25, const String& directory, const String& systemError,
                                     const String& target)
{
    m_errorReport.AppendFormat("%s %s\r\n%s\r\nNot installed: %s\r\n\r\n", message25.Text(), directory.Text(),
                               systemError.Text(), target.Text());
}

void InstallLog::FileNotWritten(const String& message31, const String& path, const String& systemError)
{
    m_errorReport.AppendFormat("%s %s\r\n%s\r\n", message31.Text(), path.Text(), systemError.Text());
}

void InstallLog::FileInstalled(const String& name, const String& target)
{
    m_detailedLog.AppendFormat("%s -> %s\r\n", name.Text(), target.Text());
}

String InstallLog::WriteFailureReport(const String& message31, const String& path, const String& systemError)
{
    String report;
    report.Format("\r\n%s %s\r\n", message31.Text(), path.Text());
    if (!systemError.IsEmpty()) {
        report += systemError;
        report += "\r\n";
    }
    return report;
}

void InstallLog::ReplacementWithoutTemporary(const String& report, const String& path, const String& systemError)
{
    AppendReport(m_errorReport, report,
                 "Failed to register '%s' for replacement because no temporary file could be created.\r\n%s\r\n",
                 path.Text(), systemError.Text());
}

void InstallLog::ReplacementRegistered(const String& report, const String& path, const String& temporary)
{
    AppendReport(m_detailedLog, report,
                 "\"%s\" has been successfully registered for replacement.\r\nTemporary file is \"%s\"\r\n"
                 "Reboot will be required.\r\n\r\n",
                 path.Text(), temporary.Text());
}

void InstallLog::ReplacementFailed(const String& report, const String& path, const String& temporary,
                                   const String& systemError)
{
    AppendReport(m_errorReport, report, "Failed to register '%s' for replacement with temporary file '%s'\r\n%s\r\n",
                 path.Text(), temporary.Text(), systemError.Text());
}

void InstallLog::SharedCountsFailed()
{
    m_errorReport += "Registry error: unable to increment shared file reference counts.\r\n\r\n";
}

void InstallLog::RegisteringComServer(const String& path)
{
    m_detailedLog.AppendFormat("Registering COM File \"%s\"...", path.Text());
}

void InstallLog::ComLoadFailed()
{
    m_detailedLog += "LoadLibrary() Failed\r\n";
}

void InstallLog::ComEntryMissing()
{
    m_detailedLog += "GetProcAddress() Failed\r\n";
}

void InstallLog::RegisteringTypeLibrary(const String& path)
{
    m_detailedLog.AppendFormat("Registering Type Library \"%s\"...", path.Text());
}

void InstallLog::RegistrationSucceeded()
{
    m_detailedLog += "OK\r\n";
}

void InstallLog::TypeLibraryFailed(const String& systemError)
{
    m_detailedLog += "FAILED\r\n";
    m_detailedLog += systemError;
    m_detailedLog.EnsureLineBreak();
}

void InstallLog::ShortcutMade(ShortcutKind kind, const String& name, const String& link)
{
    static const char* const kFormats[] = {
        "Desktop Shortcut(%s) -> %s\r\n",
        "Desktop Folder Shortcut(%s) -> %s\r\n",
        "Start Menu Shortcut(%s) -> %s\r\n",
        "Startup Shortcut(%s) -> %s\r\n",
    };
    m_detailedLog.AppendFormat(kFormats[kind], name.Text(), link.Text());
}

void InstallLog::UninstallerShortcutMade(const String& link)
{
    m_detailedLog.AppendFormat("Uninstaller Shortcut -> %s\r\n", link.Text());
}

void InstallLog::FolderNotCreated(const String& folder, const String& systemError)
{
    m_errorReport.AppendFormat("Failed to create directory %s: %s\r\n", folder.Text(), systemError.Text());
}

void InstallLog::ProductKeyFailed(const String& key)
{
    m_errorReport.AppendFormat("Error creating registry keys:\r\n%s\r\n\r\n", key.Text());
}

void InstallLog::AssociationFailed(const String& extension)
{
    m_errorReport.AppendFormat("Failed to associate file type:  \"%s\".\r\n\r\n", extension.Text());
}

void InstallLog::UninstallRegistryFailed()
{
    m_errorReport += "Unable to save the uninstall information to the registry.  Uninstall will not work properly."
                     "\r\n\r\n";
}

void InstallLog::LaunchOnExit(const String& program)
{
    m_detailedLog.AppendFormat("Launch on exit: %s\r\n", program.Text());
}
