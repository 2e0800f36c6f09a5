#pragma once
#include "core/String.h"
#include "core/Vector.h"
#include "payload/FileAssociation.h"
#include "payload/FileDeletion.h"
#include "payload/PayloadLayout.h"
#include "payload/ProductFlags.h"
#include "payload/UninstallData.h"
#include <cstdint>

// The decoded settings of a package, in the order of the settings stream. The stub reads
// them once and keeps them for the whole run; the builder writes them; `quox inspect`
// prints them. Fields with defaults hold the settled value (after the default was
// applied) once the stub has read them; the builder stores what the manifest says.
struct Settings {
    uint64_t productFlags = 0;
    uint16_t stepDelay = 0;
    uint8_t shortcutMode = 0;                // 1: shortcuts for all users
    int32_t uninstallerStamp[6] = {};        // FileStamp of the uninstaller copy
    String publisher;
    String productName;
    String displayName;                      // product name, or the /n: override
    String sharedDir;
    String productStartMenu;
    String defaultDirectory;
    String displayVersion;
    String productRegistry;
    int32_t bitmapSize = 0;
    Vector<String> licenseTexts;
    Vector<String> readmeTexts;
    String uninstallSubdir;
    String volumeBaseName;
    String uninstallerFileName;
    String uninstallName;
    int32_t titleColor = 0;
    uint8_t titleShadow = 0;
    uint8_t titlePosition = 0;
    int32_t topColor = 0;
    int32_t bottomColor = 0;
    bool monoColor = false;
    String backgroundPicture;                // packed DIB, empty for none
    String masterName;                       // only with RequiresMaster
    String desktopFolder;
    String preInstallScript;
    String postInstallScript;
    String closingScript;
    String uninstallBatch1;
    String uninstallBatch2;
    int32_t excludedVersions = 0;
    uint8_t externalData = 0;
    int32_t volumeTag = 0;
    int32_t patchOffset = 0;                 // only with UninstallSupport
    String patch;
    Vector<FileDeletion> deletions;
    Vector<FileAssociation> associations;
    Vector<UninstallData> uninstallData;
    Vector<String> languages;
    int32_t stringRows = 0;
    Vector<String> strings;                  // stringRows x languages, row by row
    int32_t englishLanguage = 0;             // index of "English", or 0

    // Whether the product flag (payload/ProductFlags.h) is set.
    bool Has(uint64_t flag) const { return (productFlags & flag) != 0; }
    // Text `number` in `language`; empty outside the table.
    String StringAt(int number, int language) const;
};
