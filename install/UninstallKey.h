#pragma once
#include "core/String.h"
#include "records/UninstallValue.h"

class RegistryKey;

// A product's entry under the Uninstall key of the local machine (kUninstallKeyPath),
// which the master product, an earlier installation and the uninstaller are all found
// by.

// Opens an existing entry; never creates one. False when there is none or the name is
// blank.
[[nodiscard]] bool OpenUninstallEntry(RegistryKey& key, const String& uninstallName);

// Opens the entry, creating it when missing. False when Windows refuses, or when the
// name is blank or holds a backslash (it would not name a product's own key).
[[nodiscard]] bool CreateUninstallEntry(RegistryKey& key, const String& uninstallName);
