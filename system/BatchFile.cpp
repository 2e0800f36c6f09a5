#include "system/BatchFile.h"
#include "system/FileOperations.h"
#include "system/Path.h"
#include "system/ProcessLauncher.h"
#include "system/ScriptText.h"
#include "system/SystemFolders.h"
#include "system/SystemPaths.h"
#include <windows.h>

namespace {

constexpr const char* kBatchName = "QUOXBAT.BAT";
// The environment size asked of COMMAND.COM (/e:): room for the SET lines and the
// author's own variables; CMD.EXE ignores it.
constexpr int kEnvironmentSize = 5000;

// The folders in the order of their SET lines after SystemDir. kBootDrive stands for
// the boot drive, which is no folder.
constexpr int kBootDrive = -1;
struct FolderLine {
    const char* name;
    int folder;
};
constexpr FolderLine kFolderLines[] = {
    { "DeviceDir", static_cast<int>(SystemFolder::DevicePath) },
    { "MediaDir", static_cast<int>(SystemFolder::Media) },
    { "FavoritesDir", static_cast<int>(SystemFolder::Favorites) },
    { "FavoritesAllDir", static_cast<int>(SystemFolder::CommonFavorites) },
    { "FontDir", static_cast<int>(SystemFolder::Fonts) },
    { "DesktopDir", static_cast<int>(SystemFolder::Desktop) },
    { "DesktopAllDir", static_cast<int>(SystemFolder::CommonDesktop) },
    { "DocumentDir", static_cast<int>(SystemFolder::Documents) },
    { "DocumentAllDir", static_cast<int>(SystemFolder::CommonDocuments) },
    { "ProgramsDir", static_cast<int>(SystemFolder::ProgramFiles) },
    { "StartMenuDir", static_cast<int>(SystemFolder::StartMenu) },
    { "StartMenuAllDir", static_cast<int>(SystemFolder::CommonStartMenu) },
    { "SMProgramsDir", static_cast<int>(SystemFolder::Programs) },
    { "SMProgramsAllDir", static_cast<int>(SystemFolder::CommonPrograms) },
    { "StartupDir", static_cast<int>(SystemFolder::Startup) },
    { "StartupAllDir", static_cast<int>(SystemFolder::CommonStartup) },
    { "BootDrive", kBootDrive },
    { "CommonDir", static_cast<int>(SystemFolder::CommonFiles) },
};

// "C:" for a path on drive C, "" for one without a drive letter (a network path).
String DriveForm(const String& path)
{
    char letter = DriveLetter(path);
    char text[] = { letter, ':', 0 };
    return String(letter ? text : "");
}

void SetLine(String& text, const char* name, const String& value)
{
    text.AppendFormat("SET %s=%s\r\n", name, value.Text());
}

}

String BatchText(const String& installDir, const String& sharedDir, const String& commands, uint32_t options)
{
    String text("@echo off\r\n");
    if (!installDir.IsEmpty()) {
        SetLine(text, "InstallDir", installDir);
        SetLine(text, "InstallDrive", DriveForm(installDir));
    }
    SetLine(text, "SharedDir", sharedDir);
    SetLine(text, "InstallerFilepath", ProgramFile());
    SetLine(text, "InstallerDir", ProgramDirectory());
    SetLine(text, "InstallerFilename", ProgramName());
    SetLine(text, "InstallerDrive", DriveForm(ProgramFile()));
    SetLine(text, "SystemDir", SystemDirectory());
    for (const FolderLine& line : kFolderLines) {
        String value;
        if (line.folder == kBootDrive) {
            char boot[] = { BootDrive(), ':', 0 };
            value = boot;
        } else {
            value = FolderPath(static_cast<SystemFolder>(line.folder));
        }
        SetLine(text, line.name, value);
    }
    String author(commands);
    // A PAUSE in a window nobody sees, or with nobody at the machine, would wait forever.
    if (options & (kBatchHidden | kBatchUnattended))
        RemovePauses(author);
    text += author;
    text.NormalizeLineBreaks();
    return text;
}

bool RunBatch(const String& installDir, const String& sharedDir, const String& commands, uint32_t options,
              bool (*pump)())
{
    if (IsBlank(commands.Text()))
        return false;
    String path = JoinPath(installDir, kBatchName);
    if (!WriteWholeFile(path.Text(), BatchText(installDir, sharedDir, commands, options)))
        return false;
    String commandLine;
    commandLine.Format("%s /e:%d /c \"%s\"", CommandInterpreter().Text(), kEnvironmentSize, path.Text());
    LauncherHooks hooks;
    hooks.pump = pump;
    uint32_t run = kRunWait | kRunPumpMessages | ((options & kBatchHidden) ? kRunHidden : 0);
    bool started = RunProgram(commandLine.Text(), run, installDir.Text(), hooks) != kRunNotStarted;
    // Whatever the batch did to its own file, it is not left behind.
    (void)ClearAttributes(path.Text(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    (void)DeleteOneFile(path.Text(), 0);
    return started;
}
