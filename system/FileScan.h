#pragma once
#include "core/String.h"
#include "core/Vector.h"
#include <cstdint>

// Turning file masks into lists of files.

// Options of ScanFiles.
constexpr uint32_t kScanDirectories = 0x01; // list directories as well ("." and ".." never)
constexpr uint32_t kScanRecurse = 0x02;     // also every subdirectory, at any depth
constexpr uint32_t kScanNameOnly = 0x04;    // keep only the file-name part of each path
constexpr uint32_t kScanNoExtension = 0x08; // remove each path's extension
constexpr uint32_t kScanAppend = 0x10;      // add to the list instead of replacing it
constexpr uint32_t kScanReverse = 0x20;     // reverse the sort order
constexpr uint32_t kScanSortByTime = 0x40;  // newest first
constexpr uint32_t kScanSortByPath = 0x80;  // full paths, before the trimming of 0x04 and 0x08
constexpr uint32_t kScanSortByText = 0xC0;  // the listed texts, after that trimming
constexpr uint32_t kScanSortMask = 0xC0;

// Lists the entries that match `mask` ("c:\dir\*.txt"; a trailing " /s" also turns on
// kScanRecurse) as the mask's directory joined with each name. Each directory's
// entries are sorted among themselves; those of its subdirectories follow them. Names
// sort ignoring ASCII case. Answers the total size of the listed entries.
uint64_t ScanFiles(const String& mask, uint32_t options, Vector<String>& list);

// Options of ParseFileSpecifications.
constexpr uint32_t kSpecDirectories = 0x001;      // scans list directories too
constexpr uint32_t kSpecRecurse = 0x002;          // scans recurse
constexpr uint32_t kSpecNoLineNumbers = 0x100;    // messages do not say "on line n"
constexpr uint32_t kSpecAllowDuplicates = 0x200;  // add every name, with its line index
constexpr uint32_t kSpecBlankIsError = 0x400;     // a blank text is an error
constexpr uint32_t kSpecClearMessages = 0x800;
constexpr uint32_t kSpecClearNames = 0x1000;
constexpr uint32_t kSpecClearLineIndexes = 0x2000;

// What ParseFileSpecifications finds.
struct FileSpecificationList {
    Vector<String> names;
    Vector<int32_t> lineIndexes; // with kSpecAllowDuplicates: the 0-based line of each name
    uint64_t totalSize = 0;      // the sum of the scans' sizes
    String messages;             // one line per problem; empty when every line was good
};

// Reads a list of file specifications: lines (ending at CR, LF, CR LF or LF CR) of
// masks separated by ";". Relative masks are taken in the line's directory (that of its
// first mask) or, for the first mask, in `defaultDirectory` (null or "" for none).
// Found names are added to the list's names, each once unless kSpecAllowDuplicates;
// what the list held before stays unless the kSpecClear options clear it.
void ParseFileSpecifications(const String& text, const char* defaultDirectory, uint32_t options,
                             FileSpecificationList& list);
