#pragma once
#include <cstdint>

// The bits of the 64-bit ProductFlags word, the first field of the settings stream: the
// one definition that the stub tests, the builder sets by name and the inspector prints.
// The word's high 32-bit half holds the later flags; their constants carry the bit
// already shifted up, so every test is `flags & kFlagName` on the whole word.

constexpr uint64_t HighFlag(uint32_t bit)
{
    return static_cast<uint64_t>(bit) << 32;
}

// Low half.
constexpr uint64_t kFlagRefuseReinstall = 0x00000001;      // a found installation ends the installer
constexpr uint64_t kFlagStartMenuUninstaller = 0x00000002; // an uninstaller shortcut in the Start menu
constexpr uint64_t kFlagUninstallSupport = 0x00000004;     // the product gets an uninstaller and its records
constexpr uint64_t kFlagAskFontRemoval = 0x00000010;
constexpr uint64_t kFlagCompressedFileData = 0x00000020;   // set by the builder from its compression
constexpr uint64_t kFlagAlwaysWriteLog = 0x00000040;
constexpr uint64_t kFlagAskDirectory = 0x00000080;
constexpr uint64_t kFlagForceAutomatic = 0x00000100;       // as if /a were given
constexpr uint64_t kFlagAutomaticUninstall = 0x00000200;
constexpr uint64_t kFlagRemoveInstallDirTree = 0x00000400;
constexpr uint64_t kFlagReplaceAtRestartAlways = 0x00000800;
constexpr uint64_t kFlagAddToPath = 0x00001000;
constexpr uint64_t kFlagRestartRequired = 0x00004000;      // the installer's own, set while it runs
constexpr uint64_t kFlagSaveBackgroundBitmap = 0x00008000;
constexpr uint64_t kFlagRequiresMaster = 0x00010000;       // the stream holds the master product's name
constexpr uint64_t kFlagAskSharedRemoval = 0x00020000;
constexpr uint64_t kFlagVerifyWrites = 0x00040000;
constexpr uint64_t kFlagClearAttributesOnRetry = 0x00080000;
constexpr uint64_t kFlagVerboseLog = 0x00100000;
constexpr uint64_t kFlagNoCancel = 0x00200000;
constexpr uint64_t kFlagNoSuccessMessage = 0x00400000;
constexpr uint64_t kFlagHideBatchBefore = 0x00800000;
constexpr uint64_t kFlagHideBatchAfter = 0x01000000;
constexpr uint64_t kFlagHideBatchFinal = 0x02000000;
constexpr uint64_t kFlagHideUninstallBatch1 = 0x04000000;
constexpr uint64_t kFlagHideUninstallBatch2 = 0x08000000;
constexpr uint64_t kFlagNoReinstallQuestion = 0x10000000;
constexpr uint64_t kFlagNoBackground = 0x20000000;
constexpr uint64_t kFlagConfirmDirectory = 0x80000000;

// High half.
constexpr uint64_t kFlagCheckStub = HighFlag(0x00000001);  // the stub's checksum is verified
constexpr uint64_t kFlagDesktopUninstaller = HighFlag(0x00000002);
constexpr uint64_t kFlagShowErrorsInAutomatic = HighFlag(0x00000008);
constexpr uint64_t kFlagShowVersionComparison = HighFlag(0x00000010);
constexpr uint64_t kFlagNoNetworkPaths = HighFlag(0x00000020);
constexpr uint64_t kFlagSubdirUninstaller = HighFlag(0x00000040);
constexpr uint64_t kFlagFullScreen = HighFlag(0x00000100);
constexpr uint64_t kFlagAskRestartInAutomatic = HighFlag(0x00000200);
