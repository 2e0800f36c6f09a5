// The product's own registry key, under the machine and under the user, with the
// vendor's keys it leaves empty.
#include "records/UninstallValue.h"
#include "uninstall/Uninstall.h"
#include "uninstall/Uninstaller.h"

namespace {

constexpr int kMostDeletions = 20;

}

bool DeleteKeyAndEmptyParents(HKEY root, const String& key)
{
    String path("Software\\");
    String name(key);
    // "Vendor\Product\" must not name "Software\Vendor\Product" with an empty last part.
    name.Trim();
    name.TrimLeft("\\");
    name.TrimRight("\\");
    if (name.IsEmpty())
        return false;
    path += name;
    uint32_t options = 0;
    for (int deleted = 0; deleted < kMostDeletions; ++deleted) {
        int32_t slash = path.FindCharReverse('\\');
        // "Software" itself has no parent left and is never deleted.
        if (slash < 0)
            return true;
        String parent = path.Mid(0, slash);
        if (RegistryKey::DeleteKeyAt(root, parent.Text(), path.Text() + slash + 1, options) != RegistryKey::kDeleted)
            return deleted > 0;
        path = parent;
        options = RegistryKey::kOnlyIfEmpty;
    }
    return true;
}

bool RemoveProductKeys(Uninstaller& u)
{
    const String& key = u.entry.productRegistry;
    if (IsBlank(key))
        return true;
    u.Step(69, 95);
    (void)DeleteKeyAndEmptyParents(HKEY_LOCAL_MACHINE, key);
    (void)DeleteKeyAndEmptyParents(HKEY_CURRENT_USER, key);
    (void)u.key.DeleteValue(UninstallValueName::kProductRegistry);
    return true;
}
