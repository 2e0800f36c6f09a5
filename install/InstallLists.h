#pragma once
#include "core/String.h"
#include "core/Vector.h"
#include "records/UninstallList.h"

// What the file installation collects for the steps that come after it, in one place:
// the shared counts and component registration read the shared, COM and type-library
// lists; the shortcuts step reads the requests; the uninstall record takes the
// uninstall file list and the fonts. Entries are in file-entry order.

// A shortcut that a file entry asks for; the shortcuts step makes it.
struct ShortcutRequest {
    String name;       // the entry's text1, else message 38 with the target's file name
    String target;     // the installed file
    String arguments;  // as packaged: path variables not yet expanded
    String workdir;    // likewise
    String icon;       // in the uninstall directory; empty for none
    bool desktop = false;
    bool startMenu = false;
    bool startup = false;
    bool permanent = false; // not to be listed for removal
};

struct InstallLists {
    // What the uninstaller removes (Uninstall.DAT); emptied once, after the deletion
    // rules, then it only grows.
    UninstallList uninstallFiles;
    // Destinations 1, 6, 7 and 8, whether written or not (an up-to-date file keeps its
    // count): the path with its marker byte appended, if any (records/SharedFileList.h).
    Vector<String> sharedFiles;
    Vector<String> comServers;     // destination 7: DllRegisterServer
    Vector<String> typeLibraries;  // destination 8
    Vector<ShortcutRequest> shortcuts;
    String fonts;                  // the ProductFonts text (records/FontList.h)
    // The SharedFiles value (records/SharedFileList.h): the entries whose counts the
    // shared counts step raised, which the uninstaller takes back.
    String sharedFilesValue;
    // The association record of Uninstall.DAT (records/UninstallFile.h), filled by the
    // associations step.
    String associations;
    bool fontsChanged = false;     // a font was installed: Windows is told once
};
