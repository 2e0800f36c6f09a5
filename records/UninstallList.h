#pragma once
#include "core/HashTable.h"
#include "core/String.h"

// The uninstall file list: what the uninstaller is to remove, one line each, in the
// order the installation made them. It becomes the first part of Uninstall.DAT.
//
//   path CR LF          a file
//   ~path CR LF         a directory, listed once (compared without regard to case)
//   !key CR LF          a key under HKEY_CLASSES_ROOT, deleted with its subkeys (the
//                       installer writes none; the uninstaller honours them)
//
// The installer fills one list for the whole run and empties it once, after the
// deletion rules; the uninstaller refills one with what it could not remove and writes
// it back as the partial record.
class UninstallList {
public:
    static constexpr char kDirectoryMark = '~';
    static constexpr char kKeyMark = '!';
    // The set of listed directories is a hash table of this many chains.
    static constexpr int32_t kDirectoryBuckets = 40;

    UninstallList() { m_directories.SetBucketCount(kDirectoryBuckets); }

    // Adds the line for `path`. Paths of 3 characters or fewer (a drive root, or
    // nothing) are never listed; neither is a path holding a line break or zero byte,
    // which would split into lines of its own. A directory already listed is not listed
    // again. True when a line was added.
    bool AddUninstallLine(const String& path, bool isDirectory);

    // Empties the list and the set of listed directories.
    void Clear();

    const String& Text() const { return m_text; }
    bool IsEmpty() const { return m_text.IsEmpty(); }

private:
    String m_text;
    // Keys upper-cased, so that the set ignores case; the value is unused (the same table
    // type as the file scanner's name set, so the stub carries its code once).
    HashTable<uint8_t> m_directories;
};
