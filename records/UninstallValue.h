#pragma once
#include "core/String.h"
#include <cstdint>

// The product's entry under the system's Uninstall key:
//   HKEY_LOCAL_MACHINE\Software\<kUninstallKeyPath>\<uninstall name>
// The installer writes these values and the uninstaller reads them back; nothing else
// tells the uninstaller what to do, as it has no payload.
constexpr const char* kUninstallKeyPath = "Microsoft\\Windows\\CurrentVersion\\Uninstall";

namespace UninstallValueName {
constexpr const char* kUninstallString = "UninstallString";
constexpr const char* kQuietUninstallString = "QuietUninstallString";
constexpr const char* kDisplayName = "DisplayName";
constexpr const char* kInstallSource = "InstallSource";
constexpr const char* kDisplayVersion = "DisplayVersion";
constexpr const char* kPublisher = "Publisher";
constexpr const char* kVersionMajor = "VersionMajor";
constexpr const char* kVersionMinor = "VersionMinor";
constexpr const char* kProductRegistry = "ProductRegistry";
constexpr const char* kProductStartMenu = "ProductStartMenu";
constexpr const char* kSharedPath = "SharedPath";
constexpr const char* kProductFonts = "ProductFonts";
constexpr const char* kProductFlags = "ProductFlags";
constexpr const char* kUninstallBatch1 = "UninstallBatch1";
constexpr const char* kUninstallBatch2 = "UninstallBatch2";
constexpr const char* kSharedFiles = "SharedFiles";
constexpr const char* kUninstallSubdir = "UninstallSubdir";
constexpr const char* kShortcutMode = "ShortcutMode";
constexpr const char* kDisplayTitle = "DisplayTitle";
constexpr const char* kTitleColor = "TitleColor";
constexpr const char* kTopColor = "TopColor";
constexpr const char* kBottomColor = "BottomColor";
constexpr const char* kMonoColor = "MonoColor";
constexpr const char* kTitleShadow = "TitleShadow";
constexpr const char* kTitlePosition = "TitlePosition";
constexpr const char* kBitmapSize = "BitmapSize";
constexpr const char* kInstallLocation = "InstallLocation";
constexpr const char* kInstallDate = "InstallDate";
}

// One value as the installer is to leave it: written with its type, or deleted. The
// type numbers are the registry's own (REG_SZ, REG_EXPAND_SZ, REG_DWORD), so the
// install step hands them through unchanged.
struct UninstallValue {
    static constexpr int32_t kText = 1;
    static constexpr int32_t kExpandText = 2;
    static constexpr int32_t kNumber = 4;

    String name;
    int32_t type = kText;
    String text;         // kText, kExpandText
    uint32_t number = 0; // kNumber
    bool remove = false; // delete the value instead of writing it
};
