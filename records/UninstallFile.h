#pragma once
#include "core/String.h"
#include "core/Vector.h"
#include "payload/FileAssociation.h"
#include "records/UninstallMessages.h"

// Uninstall.DAT: what the uninstaller removes, the messages it shows and the file
// associations it undoes. Plain text with CR LF line ends:
//
//   the uninstall file list (UninstallList)
//   CR LF CR LF "[Strings]" CR LF
//   for each of kUninstallMessageNumbers: "~" number CR LF, the text, CR LF
//     (a text may span several lines)
//   only when there are associations:
//   CR LF CR LF "[Associations]" CR LF
//   the association record: one "extension~!~type name~!~verb" CR LF per association
//
// The section names are matched without regard to case. The installer writes the
// file at the end of the installation; the uninstaller reads it, and when something
// could not be removed writes it again with the file list of what is left and the
// same messages, but no associations, which it has undone.

constexpr const char* kUninstallFileName = "Uninstall.DAT";
// The background picture saved beside it for the uninstaller's own background window.
constexpr const char* kBackgroundBitmapFileName = "Installer Background.BMP";

// One thing to remove, in the order of the file list.
struct UninstallItem {
    enum Kind : int32_t {
        kFile, // a file; the uninstaller shows `percent` while it removes it
        kKey,  // a key under HKEY_CLASSES_ROOT, deleted with its subkeys
    };
    Kind kind = kFile;
    String path;
    // 10 + 80 x (position among the non-empty lines of the list / their number).
    int32_t percent = 10;
};

// What the uninstaller reads from Uninstall.DAT.
struct UninstallFile {
    Vector<UninstallItem> items;
    // The directory lines, longest first (listed order among equal lengths), so that
    // subdirectories are removed before their parents.
    Vector<String> directories;
    UninstallMessages messages;
    // Extension, type name and verb only.
    Vector<FileAssociation> associations;
};

// What ReadUninstallFile found wrong; it drops or ignores the lines concerned and keeps
// reading, so the answer is what could be read and a bit set of these.
constexpr int32_t kUninstallFileBadPath = 0x01;      // a line naming no absolute path of more than 3
                                                     // characters, or a key line naming no key
constexpr int32_t kUninstallFileNoStrings = 0x02;    // no [Strings] section: the file was cut short,
                                                     // and a last line without line break was dropped
constexpr int32_t kUninstallFileBadMessage = 0x04;   // a message number outside 1-1000, or text
                                                     // before the first message number
constexpr int32_t kUninstallFileTooManyMessages = 0x08; // more than kMaxUninstallMessages numbers
constexpr int32_t kUninstallFileBadAssociation = 0x10;  // an association line without its three parts
constexpr int32_t kUninstallFileTooManyAssociations = 0x20; // more than kMaxAssociationLines lines

// How much of each section the uninstaller looks at.
constexpr int32_t kMaxUninstallMessages = 500;
constexpr int32_t kMaxAssociationLines = 500;

// Appends one association's line to the association record.
void AppendAssociationLine(String& record, const String& extension, const String& typeName, const String& verb);

// The whole text of Uninstall.DAT from the file list (UninstallList::Text), the messages
// and the association record (empty: no [Associations] section).
String BuildUninstallFile(const String& fileList, const UninstallMessages& messages, const String& associations);

// Reads the text of Uninstall.DAT into `file` (emptied first). Any bytes are safe: a
// damaged file yields what can be read, and the answer says what was wrong (0 for a
// sound file).
int32_t ReadUninstallFile(const String& text, UninstallFile& file);
