#include "system/FileOperations.h"
#include "system/ProcessLauncher.h"
#include "system/SystemPaths.h"
#include "uninstall/Uninstall.h"

namespace {

// A fixed place every Windows has and the script can delete itself from.
constexpr const char* kScriptPath = "c:\\delunins.bat";

}

bool RemoveSelf(const ProductPlace& place)
{
    const char* self = ProgramFile().Text();
    // The loop waits for this program to end, when its file can be deleted; a read-only
    // attribute would keep it waiting for ever.
    (void)ClearAttributes(self, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    String script;
    script.Format(":Repeat\r\ndel \"%s\"\r\nif exist \"%s\" goto Repeat\r\n", self, self);
    if (!place.uninstallDir.IsEmpty())
        script.AppendFormat("rd \"%s\"\r\n", place.uninstallDir.Text());
    script.AppendFormat("rd \"%s\"\r\ndel \"%s\"\r\n", place.installDir.Text(), kScriptPath);
    if (!WriteWholeFile(kScriptPath, script))
        return false;

    // The interpreter's path comes quoted already when it holds a blank.
    String commandLine(CommandInterpreter());
    if (commandLine.First() != '"')
        commandLine.Quote();
    commandLine += " /c ";
    commandLine += kScriptPath;
    // Started in the root: a current directory inside the product would keep the script
    // from removing it.
    return RunProgram(commandLine.Text(), kRunMinimized | kRunNewConsole, "c:\\") != kRunNotStarted;
}
