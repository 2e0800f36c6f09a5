#include "builder/NamedValues.h"
#include <cstdio>

namespace {

constexpr uint64_t High(uint32_t bit) { return static_cast<uint64_t>(bit) << 32; }

}

const std::vector<ProductFlagName>& ProductFlagNames()
{
    static const std::vector<ProductFlagName> table = {
        { "RefuseReinstall", 0x00000001, nullptr },
        { "StartMenuUninstaller", 0x00000002, nullptr },
        { "UninstallSupport", 0x00000004, nullptr },
        { "AskFontRemoval", 0x00000010, nullptr },
        { "CompressedFileData", 0x00000020, "[package] compression" },
        { "AlwaysWriteLog", 0x00000040, nullptr },
        { "AskDirectory", 0x00000080, nullptr },
        { "ForceAutomatic", 0x00000100, nullptr },
        { "AutomaticUninstall", 0x00000200, nullptr },
        { "RemoveInstallDirTree", 0x00000400, nullptr },
        { "ReplaceAtRestartAlways", 0x00000800, nullptr },
        { "AddToPath", 0x00001000, nullptr },
        { "RestartRequired", 0x00004000, "the installer while it runs" },
        { "SaveBackgroundBitmap", 0x00008000, nullptr },
        { "RequiresMaster", 0x00010000, nullptr },
        { "AskSharedRemoval", 0x00020000, nullptr },
        { "VerifyWrites", 0x00040000, nullptr },
        { "ClearAttributesOnRetry", 0x00080000, nullptr },
        { "VerboseLog", 0x00100000, nullptr },
        { "NoCancel", 0x00200000, nullptr },
        { "NoSuccessMessage", 0x00400000, nullptr },
        { "HideBatchBefore", 0x00800000, nullptr },
        { "HideBatchAfter", 0x01000000, nullptr },
        { "HideBatchFinal", 0x02000000, nullptr },
        { "HideUninstallBatch1", 0x04000000, nullptr },
        { "HideUninstallBatch2", 0x08000000, nullptr },
        { "NoReinstallQuestion", 0x10000000, nullptr },
        { "NoBackground", 0x20000000, nullptr },
        { "ConfirmDirectory", 0x80000000, nullptr },
        { "CheckStub", High(0x00000001), nullptr },
        { "DesktopUninstaller", High(0x00000002), nullptr },
        { "ShowErrorsInAutomatic", High(0x00000008), nullptr },
        { "ShowVersionComparison", High(0x00000010), nullptr },
        { "NoNetworkPaths", High(0x00000020), nullptr },
        { "SubdirUninstaller", High(0x00000040), nullptr },
        { "FullScreen", High(0x00000100), nullptr },
        { "AskRestartInAutomatic", High(0x00000200), nullptr },
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
        { "always", 0 },
        { "never", 4 },
        { "exists", 8 },
        { "missing", 12 },
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
        { "always", 0 },
        { "date-equal", 1 },
        { "date-not-earlier", 2 },
        { "date-not-later", 3 },
        { "size-equal", 4 },
        { "size-at-least", 5 },
        { "size-at-most", 6 },
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
