#pragma once
#include "payload/PayloadCursor.h"
#include <cstdint>

// One packaged file of the file data: the one definition of an entry's fields and of the
// values its destination and flags take, shared by the builder that writes entries, its
// inspector and the installer that reads them.
//
// The file data holds one entry for each size-table entry, in that order. Integers are
// 32-bit little-endian, texts zero-terminated:
//
//   #   field        width
//   1   name         text, not empty; may hold a relative subpath
//   2   destination  4     FileDestination
//   3   flags        4     kEntry* bits and the install condition
//   4   attributes   4     Windows attributes set after writing; -1 leaves them
//   5   data         the entry's size from the size table
//   6   checksum     4     the program's additive checksum of the data
//   7   date         24    FileStamp: year, month, day, hour, minute, second
//   8   text1        text  version (system destinations, install-versioned), font face
//                          (fonts) or shortcut name (install, startup)
//   9   icon         text  only with kEntryHasIcon: relative to the uninstall directory
//   10  arguments    text  of the shortcut
//   11  target       text  empty, a new file name, or a path with a backslash
//   12  workdir      text  of the shortcut

// Where an entry is installed.
enum FileDestination : int32_t {
    kDestinationInstall = 0,            // the install directory, always overwritten
    kDestinationShared = 1,             // the shared directory, date rule
    kDestinationTarget = 2,             // only its target path
    kDestinationTargetOther = 3,        // only its target path
    kDestinationFonts = 4,              // the fonts folder, registered as a font
    kDestinationStartup = 5,            // the install directory, with a Startup shortcut
    kDestinationSystem = 6,             // the system directory, shared, version rule
    kDestinationSystemCom = 7,          // ... and registered with DllRegisterServer
    kDestinationSystemTypeLibrary = 8,  // ... and registered as a type library
    kDestinationInstallVersioned = 9,   // the install directory, version rule
};

// Flags word.
constexpr int32_t kEntryDesktopShortcut = 0x1;
constexpr int32_t kEntryStartMenuShortcut = 0x2;
constexpr int32_t kEntryConditionMask = 0xC;      // the install condition, two bits
constexpr int32_t kEntryPermanent = 0x20;         // never uninstalled
constexpr int32_t kEntryUninstallDirectory = 0x40; // goes beside the uninstaller
// The icon field is stored only when one of these is set.
constexpr int32_t kEntryHasIcon = kEntryDesktopShortcut | kEntryStartMenuShortcut;

// Install conditions, the value of flags & kEntryConditionMask.
constexpr int32_t kInstallAlways = 0x0;
constexpr int32_t kInstallNever = 0x4;
constexpr int32_t kInstallIfExists = 0x8;
constexpr int32_t kInstallIfMissing = 0xC;

// The date is a FileStamp of six 32-bit fields.
constexpr int32_t kEntryDateFields = 6;

// One entry as it lies in the loaded file data: texts and data point into the cursor's
// bytes, so the entry is valid while they are.
struct FileEntry {
    const char* name = "";
    int32_t destination = 0;
    int32_t flags = 0;
    int32_t attributes = -1;
    const uint8_t* data = nullptr;
    int32_t dataLength = 0;
    uint32_t checksum = 0;
    int32_t date[kEntryDateFields] = {};
    const char* text1 = "";
    const char* icon = "";          // "" when not stored
    const char* arguments = "";
    const char* target = "";
    const char* workdir = "";
};

// Reads the entry at the cursor, whose data is `size` bytes long (from the size table).
// Answers 0 or the corrupt-installer code of the first fault: an empty name, a negative
// or too large size, or an entry that runs past the end of the bytes. The checksum is
// left to the caller, who has the data at hand when it writes the file.
int ReadFileEntry(PayloadCursor& cursor, int32_t size, FileEntry& entry);

// Whether the entry has somewhere to go: a known destination, a target path, or the
// uninstall directory. An entry without one is corrupt (kCodeUnknownGroup).
bool FileEntryHasPlace(int32_t destination, int32_t flags, const char* target);
