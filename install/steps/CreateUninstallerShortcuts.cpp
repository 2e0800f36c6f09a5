// The uninstaller's own shortcuts, after those of the files: one in the product's Start
// Menu folder and one in the uninstall directory, as the product flags ask. They go
// with the product. The bar then stands at 95 percent.
#include "install/InstallerState.h"
#include "install/Shortcuts.h"
#include "install/steps/InstallStep.h"
#include "records/InstallLog.h"
#include "system/Path.h"
#include "system/ShellLink.h"

StepResult CreateUninstallerShortcuts(InstallerState& state, InstallLog& log)
{
    if (state.Has(kFlagUninstallSupport)) {
        String target = UninstallerPath(state);
        String arguments = UninstallerArguments(state);
        String name = state.Text(33);
        const String folders[] = {
            state.Has(kFlagStartMenuUninstaller) ? ProductProgramsFolder(state) : String(),
            state.Has(kFlagSubdirUninstaller) ? state.UninstallDirectory() : String(),
        };
        for (const String& folder : folders) {
            if (folder.IsEmpty())
                continue;
            String link = LinkFilePath(JoinPath(folder, name).Text());
            if (!SaveShortcut(state, log, link, target, arguments, String(), String()))
                continue;
            if (state.Has(kFlagVerboseLog))
                log.UninstallerShortcutMade(link);
            (void)state.lists.uninstallFiles.AddUninstallLine(link, false);
        }
    }
    (void)state.progress.SetPosition(95);
    return StepResult::GoOn;
}
