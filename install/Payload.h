#pragma once
#include "core/String.h"
#include "payload/PayloadHeaderReader.h"
#include "payload/PeImage.h"
#include "payload/Settings.h"
#include "system/File.h"

// The package this program carries, as the install sequence uses it: found in the
// program's own file and mapped image, checked, decoded. Part of the installer state,
// it lives for the whole run.
struct Payload {
    String ownFileName;
    File ownFile;
    int32_t ownFileSize = 0;
    PayloadSection section;
    const uint8_t* mapped = nullptr;   // the section in the mapped image
    int32_t mappedLength = 0;
    PayloadHeaderFields header;
    Settings settings;
    String stubImage;                  // the plain stub, later written as the uninstaller
    // The file data once loaded and checked (FileData.h): in place in the image, or in
    // `fileData` when it was read from disk or decompressed.
    const uint8_t* fileDataStart = nullptr;
    int32_t fileDataLength = 0;
    String fileData;
};

// The own file's name: the first token of the command line (quoted or up to the first
// space), with ".EXE" added when it has no extension.
String OwnFileNameFromCommandLine(const char* commandLine);

class InstallerState;

// Opens the own file, locates the payload section, reads and checks the header and the
// settings stream into the state's payload, settles the state from the product flags,
// then rebuilds the plain stub. Every fault ends the program with its message; with no
// payload section at all it ends with the "no installation archive" message.
void LoadPayload(InstallerState& state);
