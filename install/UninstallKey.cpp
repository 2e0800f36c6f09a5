#include "install/UninstallKey.h"
#include "system/Path.h"
#include "system/RegistryKey.h"

namespace {

bool OpenEntry(RegistryKey& key, const String& uninstallName, uint32_t options)
{
    String path = JoinPath(kUninstallKeyPath, uninstallName);
    return key.OpenProductKey(path.Text(), false, options) != RegistryKey::kOpenFailed;
}

}

bool OpenUninstallEntry(RegistryKey& key, const String& uninstallName)
{
    // No name would open the Uninstall key itself, as if it were a product's.
    if (IsBlank(uninstallName))
        return false;
    return OpenEntry(key, uninstallName, RegistryKey::kExistingOnly);
}

bool CreateUninstallEntry(RegistryKey& key, const String& uninstallName)
{
    // A backslash would make the entry a key below another one, which the uninstaller
    // refuses to open: the product could never be removed.
    if (IsBlank(uninstallName) || uninstallName.FindChar('\\') >= 0)
        return false;
    return OpenEntry(key, uninstallName, 0);
}
