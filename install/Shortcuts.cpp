#include "install/Shortcuts.h"
#include "install/InstallerState.h"
#include "records/InstallLog.h"
#include "system/Path.h"
#include "system/ShellLink.h"
#include "system/SystemError.h"
#include "system/SystemFolders.h"

String UninstallerPath(const InstallerState& state)
{
    return JoinPath(state.UninstallDirectory(), state.PackageSettings().uninstallerFileName);
}

String UninstallerArguments(const InstallerState& state)
{
    String arguments("/u:");
    String name(state.UninstallName());
    name.Quote();
    arguments += name;
    return arguments;
}

String ProductProgramsFolder(const InstallerState& state)
{
    const Settings& settings = state.PackageSettings();
    return JoinPath(FolderPath(settings.shortcutMode == 1 ? SystemFolder::CommonPrograms : SystemFolder::Programs),
                    settings.productStartMenu);
}

bool SaveShortcut(const InstallerState& state, InstallLog& log, const String& link, const String& target,
                  const String& arguments, const String& workdir, const String& icon)
{
    if (CreateLink(link.Text(), target.Text(), arguments.Text(), workdir.Text(), icon.Text()))
        return true;
    String reason = LastErrorText();
    log.FileNotWritten(state.Text(31), link, reason);
    return false;
}
