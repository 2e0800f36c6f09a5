#pragma once
#include "core/String.h"

class RegistryKey;

// A product's entry under the Uninstall key of the local machine, which the master
// product, an earlier installation and the uninstaller are all found by.
constexpr char kUninstallKeyPath[] = "Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Opens an existing entry; never creates one. False when there is none.
[[nodiscard]] bool OpenUninstallEntry(RegistryKey& key, const String& uninstallName);
