#include "uninstall/Uninstaller.h"
#include "system/Directory.h"
#include "system/FileOperations.h"
#include "system/Path.h"
#include "system/SystemFolders.h"
#include "system/SystemPaths.h"

namespace {

// The wording of the uninstaller's messages when Uninstall.DAT lacks one (an old or
// damaged record): the package's English defaults.
struct BuiltInMessage {
    int16_t number;
    const char* text;
};
constexpr BuiltInMessage kBuiltInMessages[] = {
    { 10, "Some parts of <product> could not be removed:\r\n\r\n%s" },
    { 15, "<product> Uninstall" },
    { 20, "<product>" },
    { 34, "<product> has been removed from your computer." },
    { 35, "Remove Shared File?" },
    { 49, "Cancel" },
    { 53, "Do you want to remove <product> and all of its components from your computer?" },
    { 55, "<product> Uninstall" },
    { 56, "Do you want to remove the font %s?" },
    { 57, "Remove Font?" },
    { 58, "Unable to remove the file" },
    { 59, "The shared file\r\n%s\r\nis no longer used by any program. Do you want to remove it?" },
    { 67, "Removing fonts..." },
    { 68, "Updating the uninstall information..." },
    { 69, "Removing registry entries..." },
    { 70, "Removing file associations..." },
    { 71, "Removing <product>..." },
};

// Each step stays on screen at least this long outside automatic mode.
constexpr uint32_t kStepDelay = 500;

// A directory removed by walking up from one listed in Uninstall.DAT can be no deeper
// than a path is long.
constexpr int kFolderLimit = 64;

}

String Uninstaller::Message(int number) const
{
    String text = record.messages.Text(number);
    if (text.IsEmpty()) {
        for (const BuiltInMessage& message : kBuiltInMessages) {
            if (message.number == number)
                text = message.text;
        }
    }
    text.Replace("<product>", entry.displayName, String::kIgnoreCase);
    return text;
}

void Uninstaller::Step(int message, int percent)
{
    (void)progress.Step(Message(message), percent);
}

void Uninstaller::Pace()
{
    if (!Automatic())
        progress.WaitForStep(kStepDelay);
}

const Vector<String>& Uninstaller::SystemFolders()
{
    if (m_systemFolders.IsEmpty()) {
        m_systemFolders.Append(WindowsDirectory());
        m_systemFolders.Append(SystemDirectory());
        for (int folder = 0; folder < kSystemFolderCount; ++folder)
            m_systemFolders.Append(FolderPath(static_cast<SystemFolder>(folder)));
        // A folder may be written in its 8.3 form as well ("C:\PROGRA~1").
        for (int32_t i = 0, count = m_systemFolders.Count(); i < count; ++i)
            m_systemFolders.Append(ShortName(m_systemFolders[i]));
        m_installDir = FullPathName(InstallDir());
        m_installDirShort = ShortName(m_installDir);
    }
    return m_systemFolders;
}

bool Uninstaller::IsKeptDirectory(const String& directory)
{
    const Vector<String>& folders = SystemFolders();
    String full = FullPathName(directory);
    String shortForm = ShortName(full);
    if (full.IsEmpty() || IsRootPath(full) || SameDirectory(full, m_installDir) ||
        SameDirectory(shortForm, m_installDirShort))
        return true;
    for (const String& folder : folders) {
        if (SameDirectory(full, folder) || SameDirectory(shortForm, folder))
            return true;
    }
    return false;
}

bool Uninstaller::HoldsSystemFolder(const String& directory)
{
    // Windows resolves "." and ".." (and a relative path) the way it will when deleting.
    String full = FullPathName(directory);
    if (full.IsEmpty() || IsRootPath(full))
        return true;
    String shortForm = ShortName(full);
    for (const String& folder : SystemFolders()) {
        if (PathHolds(full, folder) || PathHolds(shortForm, folder))
            return true;
    }
    return false;
}

bool IsDirectory(const String& path)
{
    int32_t attributes = FileAttributes(path.Text());
    return attributes != -1 && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void Uninstaller::RemoveDirectoryAndEmptyParents(String directory, int limit)
{
    if (limit <= 0)
        limit = kFolderLimit;
    for (int removed = 0; removed < limit && IsDirectory(directory); ++removed) {
        if (IsKeptDirectory(directory) || !RemoveEmptyDirectory(directory))
            return;
        directory = DirectoryPart(directory);
    }
}
