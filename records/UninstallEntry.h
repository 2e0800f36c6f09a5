#pragma once
#include "core/String.h"
#include "records/UninstallValue.h"
#include <cstdint>

// Where ReadUninstallEntry gets the values: the uninstaller answers from the opened
// registry key, the tests from a table.
class UninstallValueSource {
public:
    virtual ~UninstallValueSource() = default;
    // The text of value `name`; false when it is missing or not a text.
    virtual bool ReadText(const char* name, String& text) = 0;
    // The number of value `name`; false when it is missing or not a number.
    virtual bool ReadNumber(const char* name, uint32_t& number) = 0;
};

// The product's Uninstall entry as the uninstaller reads it. Missing values take the
// defaults below; the two system colours are the caller's to give, as only Windows
// knows them.
struct UninstallEntry {
    String displayName;      // the uninstall name when the value is blank
    String installLocation;  // never blank once read successfully
    uint64_t productFlags = 0;
    String displayTitle;
    uint32_t titleColor = 0; // default: the window text colour
    uint32_t titleShadow = 1;
    uint32_t topColor = 0;   // default: the window colour
    uint32_t bottomColor = 0;
    bool monoColor = true;
    uint32_t bitmapSize = 0;
    uint32_t titlePosition = 0;
    String uninstallSubdir;
    String productFonts;
    uint32_t shortcutMode = 0;
    String sharedPath;
    String uninstallBatch1;
    String productStartMenu;
    String sharedFiles;
    String productRegistry;
    String uninstallBatch2;

    uint32_t FlagsLow() const { return static_cast<uint32_t>(productFlags); }
    uint32_t FlagsHigh() const { return static_cast<uint32_t>(productFlags >> 32); }
};

// Reads every value the uninstaller acts on into `entry`. False when InstallLocation is
// blank: the entry is then too damaged to uninstall from.
bool ReadUninstallEntry(UninstallValueSource& source, const String& uninstallName, uint32_t windowTextColor,
                        uint32_t windowColor, UninstallEntry& entry);
