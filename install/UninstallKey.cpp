#include "install/UninstallKey.h"
#include "system/Path.h"
#include "system/RegistryKey.h"

bool OpenUninstallEntry(RegistryKey& key, const String& uninstallName)
{
    // No name would open the Uninstall key itself, as if it were a product's.
    if (IsBlank(uninstallName.Text()))
        return false;
    String path = JoinPath(kUninstallKeyPath, uninstallName);
    return key.OpenProductKey(path.Text(), false, RegistryKey::kExistingOnly) != RegistryKey::kOpenFailed;
}
