// An add-on installs only over its master product, and by default into its folder.
#include "install/InstallerState.h"
#include "install/UninstallKey.h"
#include "install/steps/InstallStep.h"
#include "system/RegistryKey.h"

StepResult CheckMasterProduct(InstallerState& state, InstallLog&)
{
    if (!state.Has(kFlagRequiresMaster))
        return StepResult::GoOn;
    Settings& settings = state.payload.settings;
    String master = settings.masterName.IsEmpty() ? state.DisplayName() : settings.masterName;
    RegistryKey key;
    // An entry without an uninstall command is what is left of a removed product.
    if (!OpenUninstallEntry(key, master) ||
        (!key.ValueExists("UninstallString") && !key.ValueExists("QuietUninstallString")))
        state.StopWithError(state.TextWith(12, master.Text()));
    if (settings.defaultDirectory.Compare("<master>", false) == 0)
        settings.defaultDirectory = key.ReadText("InstallLocation");
    return StepResult::GoOn;
}
