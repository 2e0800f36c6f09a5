// The shortcuts the package's files ask for (and the uninstaller's desktop shortcut), at
// 90 percent: on the desktop or in the package's desktop folder, in the product's Start
// Menu folder and in the Startup folder; all users' folders with ShortcutMode 1, the
// user's otherwise. Each link the product owns is listed for removal.
#include "install/InstallerState.h"
#include "install/Shortcuts.h"
#include "install/steps/InstallStep.h"
#include "records/InstallLog.h"
#include "system/Directory.h"
#include "system/Path.h"
#include "system/ShellLink.h"
#include "system/SystemError.h"
#include "system/SystemFolders.h"

namespace {

// The desktop folder of the package, made with its parents on the first shortcut that
// needs it and listed for removal once, whether or not it could be made (a folder that
// is missing fails the shortcuts, which say so).
class DesktopPlace {
public:
    explicit DesktopPlace(bool common)
        : m_desktop(FolderPath(common ? SystemFolder::CommonDesktop : SystemFolder::Desktop))
    {
    }

    String Folder(InstallerState& state, InstallLog& log)
    {
        const String& name = state.PackageSettings().desktopFolder;
        if (name.IsEmpty())
            return m_desktop;
        if (m_folder.IsEmpty()) {
            m_folder = JoinPath(m_desktop, name);
            if (!CreateDirectories(m_folder)) {
                String reason = LastErrorText();
                log.FolderNotCreated(m_folder, reason);
            }
            (void)state.lists.uninstallFiles.AddUninstallLine(m_folder, true);
        }
        return m_folder;
    }

private:
    String m_desktop;
    String m_folder;
};

void AddUninstallerRequest(InstallerState& state)
{
    ShortcutRequest& request = *state.lists.shortcuts.AppendNew();
    request.name = state.Text(33);
    request.target = UninstallerPath(state);
    request.arguments = UninstallerArguments(state);
    request.desktop = true;
}

// One link of the request in `folder`: saved, logged with VerboseLog, and listed for
// removal unless the request is permanent.
void MakeLink(InstallerState& state, InstallLog& log, const ShortcutRequest& request, InstallLog::ShortcutKind kind,
              const String& folder)
{
    String link = LinkFilePath(JoinPath(folder, request.name).Text());
    if (!SaveShortcut(state, log, link, request.target, request.arguments, request.workdir, request.icon))
        return;
    if (state.Has(kFlagVerboseLog))
        log.ShortcutMade(kind, request.name, link);
    if (!request.permanent)
        (void)state.lists.uninstallFiles.AddUninstallLine(link, false);
}

}

StepResult CreateShortcuts(InstallerState& state, InstallLog& log)
{
    state.WaitForStep();
    state.Step(32, 90);
    if (state.Has(kFlagUninstallSupport) && state.Has(kFlagDesktopUninstaller))
        AddUninstallerRequest(state);
    bool common = state.PackageSettings().shortcutMode == 1;
    InstallLog::ShortcutKind desktopKind =
        state.PackageSettings().desktopFolder.IsEmpty() ? InstallLog::kDesktop : InstallLog::kDesktopFolder;
    DesktopPlace desktop(common);
    String programs = ProductProgramsFolder(state);
    String startup = FolderPath(common ? SystemFolder::CommonStartup : SystemFolder::Startup);
    for (ShortcutRequest& request : state.lists.shortcuts) {
        state.ExpandPathVariables(request.arguments);
        state.ExpandPathVariables(request.workdir);
        if (request.workdir.IsEmpty() || !DirectoryExists(request.workdir))
            request.workdir = state.installDir;
        if (request.desktop) {
            state.lists.desktopShortcuts = true;
            MakeLink(state, log, request, desktopKind, desktop.Folder(state, log));
        }
        if (request.startMenu)
            MakeLink(state, log, request, InstallLog::kStartMenu, programs);
        if (request.startup)
            MakeLink(state, log, request, InstallLog::kStartup, startup);
    }
    return StepResult::GoOn;
}
