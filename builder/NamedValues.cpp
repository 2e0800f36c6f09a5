#include "builder/NamedValues.h"
#include <cstdio>

const std::vector<ProductFlagName>& ProductFlagNames()
{
    static const std::vector<ProductFlagName> table = {
        { "RefuseReinstall", kFlagRefuseReinstall, nullptr },
        { "StartMenuUninstaller", kFlagStartMenuUninstaller, nullptr },
        { "UninstallSupport", kFlagUninstallSupport, nullptr },
        { "AskFontRemoval", kFlagAskFontRemoval, nullptr },
        { "CompressedFileData", kFlagCompressedFileData, "[package] compression" },
        { "AlwaysWriteLog", kFlagAlwaysWriteLog, nullptr },
        { "AskDirectory", kFlagAskDirectory, nullptr },
        { "ForceAutomatic", kFlagForceAutomatic, nullptr },
        { "AutomaticUninstall", kFlagAutomaticUninstall, nullptr },
        { "RemoveInstallDirTree", kFlagRemoveInstallDirTree, nullptr },
        { "ReplaceAtRestartAlways", kFlagReplaceAtRestartAlways, nullptr },
        { "AddToPath", kFlagAddToPath, nullptr },
        { "RestartRequired", kFlagRestartRequired, "the installer while it runs" },
        { "SaveBackgroundBitmap", kFlagSaveBackgroundBitmap, nullptr },
        { "RequiresMaster", kFlagRequiresMaster, nullptr },
        { "AskSharedRemoval", kFlagAskSharedRemoval, nullptr },
        { "VerifyWrites", kFlagVerifyWrites, nullptr },
        { "ClearAttributesOnRetry", kFlagClearAttributesOnRetry, nullptr },
        { "VerboseLog", kFlagVerboseLog, nullptr },
        { "NoCancel", kFlagNoCancel, nullptr },
        { "NoSuccessMessage", kFlagNoSuccessMessage, nullptr },
        { "HideBatchBefore", kFlagHideBatchBefore, nullptr },
        { "HideBatchAfter", kFlagHideBatchAfter, nullptr },
        { "HideBatchFinal", kFlagHideBatchFinal, nullptr },
        { "HideUninstallBatch1", kFlagHideUninstallBatch1, nullptr },
        { "HideUninstallBatch2", kFlagHideUninstallBatch2, nullptr },
        { "NoReinstallQuestion", kFlagNoReinstallQuestion, nullptr },
        { "NoBackground", kFlagNoBackground, nullptr },
        { "ConfirmDirectory", kFlagConfirmDirectory, nullptr },
        { "CheckStub", kFlagCheckStub, nullptr },
        { "DesktopUninstaller", kFlagDesktopUninstaller, nullptr },
        { "ShowErrorsInAutomatic", kFlagShowErrorsInAutomatic, nullptr },
        { "ShowVersionComparison", kFlagShowVersionComparison, nullptr },
        { "NoNetworkPaths", kFlagNoNetworkPaths, nullptr },
        { "SubdirUninstaller", kFlagSubdirUninstaller, nullptr },
        { "FullScreen", kFlagFullScreen, nullptr },
        { "AskRestartInAutomatic", kFlagAskRestartInAutomatic, nullptr },
    };
    return table;
}

const ProductFlagName* FindProductFlag(const std::string& name)
{
    for (const ProductFlagName& flag : ProductFlagNames()) {
        if (name == flag.name)
            return &flag;
    }
    return nullptr;
}

const std::vector<NamedValue>& DestinationNames()
{
    static const std::vector<NamedValue> table = {
        { "install", kDestinationInstall },
        { "shared", kDestinationShared },
        { "target", kDestinationTarget },
        { "fonts", kDestinationFonts },
        { "startup", kDestinationStartup },
        { "system", kDestinationSystem },
        { "system-com", kDestinationSystemCom },
        { "system-typelib", kDestinationSystemTypeLibrary },
        { "install-versioned", kDestinationInstallVersioned },
    };
    return table;
}

const std::vector<NamedValue>& FileFlagNames()
{
    static const std::vector<NamedValue> table = {
        { "DesktopShortcut", kEntryDesktopShortcut },
        { "StartMenuShortcut", kEntryStartMenuShortcut },
        { "Permanent", kEntryPermanent },
        { "UninstallDirectory", kEntryUninstallDirectory },
    };
    return table;
}

const std::vector<NamedValue>& InstallConditionNames()
{
    static const std::vector<NamedValue> table = {
        { "always", kInstallAlways },
        { "never", kInstallNever },
        { "exists", kInstallIfExists },
        { "missing", kInstallIfMissing },
    };
    return table;
}

const std::vector<NamedValue>& AttributeNames()
{
    // The installer keeps only these bits when it sets a file's attributes.
    static const std::vector<NamedValue> table = {
        { "ReadOnly", 0x1 },
        { "Hidden", 0x2 },
        { "System", 0x4 },
        { "Archive", 0x20 },
        { "Temporary", 0x100 },
        { "Offline", 0x1000 },
    };
    return table;
}

const std::vector<NamedValue>& DeletionConditionNames()
{
    static const std::vector<NamedValue> table = {
        { "always", kDeletionAlways },
        { "date-equal", kDeletionDateEqual },
        { "date-not-earlier", kDeletionDateNotEarlier },
        { "date-not-later", kDeletionDateNotLater },
        { "size-equal", kDeletionSizeEqual },
        { "size-at-least", kDeletionSizeAtLeast },
        { "size-at-most", kDeletionSizeAtMost },
    };
    return table;
}

const std::vector<NamedValue>& TitlePositionNames()
{
    static const std::vector<NamedValue> table = {
        { "none", 0 },
        { "top-left", 1 },
        { "top-center", 2 },
        { "top-right", 3 },
        { "bottom-left", 4 },
        { "bottom-center", 5 },
        { "bottom-right", 6 },
    };
    return table;
}

const std::vector<NamedValue>& WindowsVersionNames()
{
    // One bit per Windows version as the installer classifies the running system.
    static const std::vector<NamedValue> table = {
        { "Other", 1 },
        { "Win32s", 2 },
        { "Win95", 4 },
        { "Win98", 8 },
        { "WinME", 16 },
        { "NT3", 32 },
        { "NT4", 64 },
        { "Win2000", 128 },
        { "WinXP", 256 },
        { "Win2003", 512 },
    };
    return table;
}

const std::vector<NamedValue>& UninstallValueTypeNames()
{
    static const std::vector<NamedValue> table = {
        { "text", 1 },
        { "expand", 2 },
        { "number", 4 },
    };
    return table;
}

const std::vector<NamedValue>& CompressionNames()
{
    static const std::vector<NamedValue> table = {
        { "none", 0 },
        { "fast", 1 },
        { "best", 2 },
    };
    return table;
}

const std::vector<NamedValue>& DataPlacementNames()
{
    static const std::vector<NamedValue> table = {
        { "section", 0 },
        { "external", 1 },
    };
    return table;
}

const NamedValue* FindNamedValue(const std::vector<NamedValue>& table, const std::string& name)
{
    for (const NamedValue& entry : table) {
        if (name == entry.name)
            return &entry;
    }
    return nullptr;
}

const char* NameOfValue(const std::vector<NamedValue>& table, uint64_t value)
{
    for (const NamedValue& entry : table) {
        if (entry.value == value)
            return entry.name;
    }
    return nullptr;
}

std::string JoinNames(const std::vector<NamedValue>& table)
{
    std::string text;
    for (const NamedValue& entry : table) {
        if (!text.empty())
            text += ", ";
        text += entry.name;
    }
    return text;
}

namespace {

std::string AppendUnnamed(std::string text, uint64_t rest)
{
    if (rest) {
        char hex[32];
        snprintf(hex, sizeof hex, "0x%llX", static_cast<unsigned long long>(rest));
        text += text.empty() ? "" : " ";
        text += hex;
    }
    return text;
}

}

std::string NamesOfBits(const std::vector<NamedValue>& table, uint64_t value)
{
    std::string text;
    uint64_t rest = value;
    for (const NamedValue& entry : table) {
        if (entry.value && (value & entry.value) == entry.value && (rest & entry.value)) {
            text += text.empty() ? "" : " ";
            text += entry.name;
            rest &= ~entry.value;
        }
    }
    return AppendUnnamed(text, rest);
}

std::string NamesOfProductFlags(uint64_t flags)
{
    std::string text;
    uint64_t rest = flags;
    for (const ProductFlagName& flag : ProductFlagNames()) {
        if (flags & flag.bit) {
            text += text.empty() ? "" : " ";
            text += flag.name;
            rest &= ~flag.bit;
        }
    }
    return AppendUnnamed(text, rest);
}
