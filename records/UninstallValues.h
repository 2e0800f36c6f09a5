#pragma once
#include "core/DateTime.h"
#include "core/String.h"
#include "core/Vector.h"
#include "payload/UninstallData.h"
#include "records/UninstallValue.h"
#include <cstdint>

// What the installer knows when it writes the product's Uninstall entry. The install
// step fills it; WriteUninstallValues turns it into the values in their order. Texts the
// installer keeps anyway are pointed to rather than copied (null: empty); the two it
// makes for the occasion are held here.
struct UninstallValuesInput {
    String uninstallerPath;                 // the uninstaller copy
    const String* uninstallName = nullptr;  // the entry's key name, also the /u: argument
    const String* displayName = nullptr;
    const String* installSource = nullptr;  // the installer's own path as its command line gave it
    const String* displayVersion = nullptr;
    const String* publisher = nullptr;
    const String* productRegistry = nullptr;
    const String* productStartMenu = nullptr;
    const String* sharedPath = nullptr;
    const String* productFonts = nullptr;   // FontList text
    uint64_t productFlags = 0;
    const String* uninstallBatch1 = nullptr;
    const String* uninstallBatch2 = nullptr;
    const String* sharedFiles = nullptr;    // SharedFileList text
    const String* uninstallSubdir = nullptr;
    int32_t shortcutMode = 0;               // 1: shortcuts for all users
    String displayTitle;                    // message 0 in the language in use
    int32_t titleColor = 0;
    int32_t topColor = 0;
    int32_t bottomColor = 0;
    bool monoColor = false;
    int32_t titleShadow = 0;
    int32_t titlePosition = 0;
    int32_t bitmapSize = 0;
    // The package's extra values as the settings hold them (null: none); their path
    // variables are expanded through the sink.
    const Vector<UninstallData>* uninstallData = nullptr;
    const String* installLocation = nullptr;
    DateTime installDate;                   // now, in local time
};

// Where the values go: the install step writes each through the registry key (or
// deletes it); the tests collect them.
class UninstallValueSink {
public:
    virtual ~UninstallValueSink() = default;
    virtual void Write(const UninstallValue& value) = 0;
    // The package's extra values may hold path variables, which only the installer
    // knows how to expand.
    virtual String ExpandPathVariables(const String& text) { return text; }
};

// Hands the values of the Uninstall entry to `sink` in the order they are written:
// UninstallString first, InstallDate last. Texts marked so are deleted when empty and
// numbers when 0; VersionMajor and VersionMinor are deleted when the version holds no
// point, so that a reinstall never leaves those of an earlier version behind.
void WriteUninstallValues(const UninstallValuesInput& input, UninstallValueSink& sink);

// The command line that starts the uninstaller for `uninstallName`: the uninstaller's
// path in double quotes (it usually holds blanks), then "/u:" and the name in double
// quotes; `quiet` puts "/a" before "/u:" (automatic mode).
String UninstallCommandLine(const String& uninstallerPath, const String& uninstallName, bool quiet);

// The major and minor number of a version text: the number at its start and the one
// right after its first point ("2.15b": 2 and 15). False, with both 0, when the text
// holds no point.
bool VersionNumbers(const String& version, uint32_t& major, uint32_t& minor);

// ProductFlags is stored as one signed decimal number of the whole 64-bit word, so a
// word with the top bit set reads as negative.
String ProductFlagsText(uint64_t flags);
uint64_t ParseProductFlags(const String& text);
