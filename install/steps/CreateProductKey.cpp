// The product's own registry key, made empty under Software\ of both the machine and the
// user, so that the product finds it in place; the uninstaller deletes both.
#include "install/InstallerState.h"
#include "install/steps/InstallStep.h"
#include "records/InstallLog.h"
#include "system/RegistryKey.h"

StepResult CreateProductKey(InstallerState& state, InstallLog& log)
{
    const String& name = state.PackageSettings().productRegistry;
    if (name.IsEmpty())
        return StepResult::GoOn;
    bool made = true;
    for (int perUser = 0; perUser < 2; ++perUser) {
        RegistryKey key;
        made = key.OpenProductKey(name.Text(), perUser != 0) != RegistryKey::kOpenFailed && made;
    }
    if (!made)
        log.ProductKeyFailed(name);
    return StepResult::GoOn;
}
