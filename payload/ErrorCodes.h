#pragma once

// The codes of the corrupt-installer report: every fault in a package's payload ends
// the installer with one "FATAL ERROR" box that names one of these numbers. This is
// the one table of them; the README lists them for the people who meet them.
enum CorruptCode : int {
    kCodeNegativeFileLength = 5,    // a file to be written has a negative length
    kCodeNoRawData = 9,             // the payload section's raw-data offset is 0
    kCodeCannotSeekPayload = 10,    // the own file cannot be positioned at the section
    kCodeStepDelay = 19,            // StepDelay above 9999
    kCodeMagic = 20,                // wrong magic at the payload start
    kCodeVolumeName = 21,           // empty volume base name
    kCodeSettingsLength = 22,       // settings block length below 1 or above 0x9FFFFF
    kCodePatchOffset = 23,          // uninstaller patch offset outside the own file
    kCodeLicenseCount = 24,         // licence texts below 0 or above 20
    kCodeSettingsChecksum = 25,     // decoded settings block does not match its key
    kCodeReadmeCount = 26,          // readme texts below 0 or above 20
    kCodeSizeCount = 27,            // negative size-table count
    kCodeSizeEntry = 28,            // size-table entry below 0 or above 0x40000000
    kCodeFileDataLength = 29,       // negative total file-data length
    kCodeLanguageCount = 30,        // languages 0 or above 100
    kCodeStringCount = 31,          // string-table rows below 1 or above 10000
    kCodeEndMarker = 32,            // settings stream does not end with its marker
    kCodeStubRead = 35,             // the program's bytes before the payload are unreadable
    kCodeAssociationCount = 36,     // file-association records below 0 or above 10000
    kCodeUninstallDataCount = 37,   // uninstall-data records below 0 or above 10000
    kCodeDeletionCount = 38,        // more than 1001 deletion records
    kCodeBitmapSize = 39,           // BitmapSize below 0 or above 100
    kCodeStubChecksum = 40,         // the stub's checksum differs (CheckStub)
    kCodeStubTailRead = 42,         // the bytes after the payload section are unreadable
    kCodePeHeader = 43,             // PE header pointer unreadable, below 64 or above 4096
    kCodeSectionCount = 44,         // section count unreadable, below 4 or above 99
    kCodeFileDataEnd = 45,          // negative file-data end offset
    kCodeSettingsDecompress = 47,   // the settings block does not decompress
    kCodePayloadOverrun = 48,       // a read would pass the end of the payload or its buffer
    kCodeVolumeRead = 50,           // a volume file's data cannot be read
    kCodeFileDataChecksum = 55,     // checksum of the file data differs
    kCodeFileDataDecompress = 60,   // the file data does not decompress
    kCodeFileSpec = 65,             // a deletion rule's date (its file specification) does not read
    kCodeEmptyName = 70,            // a file entry has an empty name
    kCodeNegativeSize = 71,         // a file's size from the size table is negative
    kCodeSizeTooLarge = 72,         // a file's size from the size table is above 0x40000000
    kCodeFileChecksum = 100,        // a file's checksum differs
    kCodeUnknownGroup = 110,        // a file group of an unknown kind
};
