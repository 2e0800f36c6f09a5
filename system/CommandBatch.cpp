#include "system/CommandBatch.h"
#include "system/File.h"
#include "system/FileOperations.h"
#include "system/Path.h"
#include "system/ProcessLauncher.h"
#include "system/SystemFolders.h"
#include "system/SystemPaths.h"
#include <windows.h>

// The folders behind the variables from DeviceDir to StartupAllDir, in the variables'
// order.
static const SystemFolder kFolderOf[] = {
    SystemFolder::DevicePath,      SystemFolder::Media,         SystemFolder::Favorites,
    SystemFolder::CommonFavorites, SystemFolder::Fonts,         SystemFolder::Desktop,
    SystemFolder::CommonDesktop,   SystemFolder::Documents,     SystemFolder::CommonDocuments,
    SystemFolder::StartMenu,       SystemFolder::CommonStartMenu, SystemFolder::Programs,
    SystemFolder::CommonPrograms,  SystemFolder::Startup,       SystemFolder::CommonStartup,
};
static_assert(sizeof kFolderOf / sizeof kFolderOf[0] ==
                  static_cast<int>(PathVariable::StartupAllDir) - static_cast<int>(PathVariable::DeviceDir) + 1,
              "one folder for each variable from DeviceDir to StartupAllDir");

String MachinePathValues::Value(PathVariable variable) const
{
    switch (variable) {
    case PathVariable::BootDrive: {
        char drive[] = { BootDrive(), ':', 0 };
        return String(drive);
    }
    case PathVariable::CommonDir:
        return FolderPath(SystemFolder::CommonFiles);
    case PathVariable::InstallDir:
        return m_installDir;
    case PathVariable::InstallDrive:
        return DriveText(m_installDir);
    case PathVariable::ProgramsDir:
        return FolderPath(SystemFolder::ProgramFiles);
    case PathVariable::SharedDir:
        return m_sharedDir;
    case PathVariable::SystemDir:
        return SystemDirectory();
    case PathVariable::InstallerDir:
        return ProgramDirectory();
    case PathVariable::InstallerDrive:
        return ProgramDrive() ? String(ProgramDrive()) : String();
    case PathVariable::InstallerFilename:
        return ProgramName();
    case PathVariable::InstallerFilepath:
        return ProgramFile();
    case PathVariable::Temp:
        return TemporaryDirectory();
    case PathVariable::WinDir:
        return WindowsDirectory();
    default:
        return FolderPath(kFolderOf[static_cast<int>(variable) - static_cast<int>(PathVariable::DeviceDir)]);
    }
}

void RunBatch(const String& installDir, const String& sharedDir, const String& commands, uint32_t options,
              bool (*pump)())
{
    if (!HasCommands(commands))
        return;
    String path = JoinPath(installDir, kBatchFileName);
    MachinePathValues values(installDir, sharedDir);
    if (!WriteWholeFile(path.Text(), BatchText(commands, values, options != 0)))
        return;
    String commandLine;
    commandLine.Format("%s /e:%d /c \"%s\"", CommandInterpreter().Text(), 5000, path.Text());
    LauncherHooks hooks;
    hooks.pump = pump;
    (void)RunProgram(commandLine.Text(), kRunWait | kRunPumpMessages | ((options & kBatchHidden) ? kRunHidden : 0),
                     installDir.Text(), hooks);
    // The script may have marked its own file; it goes all the same.
    (void)ClearAttributes(path.Text(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    (void)DeleteOneFile(path.Text(), 0);
}
