#include "system/FileScan.h"
#include "core/HashTable.h"
#include "core/Memory.h"
#include "system/Directory.h"
#include "system/FileFinder.h"
#include "system/Path.h"
#include <cstdlib>
#include <utility>

namespace {

struct TimedEntry {
    FileStamp stamp;
    int32_t index;
};

int CompareOldestFirst(const void* a, const void* b)
{
    return static_cast<const TimedEntry*>(a)->stamp.Compare(static_cast<const TimedEntry*>(b)->stamp);
}

int CompareNewestFirst(const void* a, const void* b)
{
    return -CompareOldestFirst(a, b);
}

// Each entry's time is looked up once, not again for every comparison.
void SortByTime(Vector<String>& entries, bool oldestFirst)
{
    int32_t count = entries.Count();
    if (count < 2)
        return;
    TimedEntry* timed = static_cast<TimedEntry*>(Allocate(sizeof(TimedEntry) * static_cast<size_t>(count)));
    for (int32_t i = 0; i < count; ++i) {
        timed[i].stamp = LastWriteTimeOf(entries[i].Text());
        timed[i].index = i;
    }
    qsort(timed, static_cast<size_t>(count), sizeof(TimedEntry), oldestFirst ? CompareOldestFirst : CompareNewestFirst);
    Vector<String> sorted;
    sorted.Reserve(count);
    for (int32_t i = 0; i < count; ++i)
        sorted.Append(std::move(entries[timed[i].index]));
    Free(timed);
    entries = std::move(sorted);
}

bool IsDotEntry(const String& name)
{
    return name == "." || name == "..";
}

uint64_t ScanDirectory(const String& mask, uint32_t options, Vector<String>& list)
{
    String directory = DirectoryPart(mask);
    Vector<String> found;
    uint64_t total = 0;
    FileFinder finder;
    FileInfo info;
    for (bool more = finder.First(mask.Text(), info); more; more = finder.Next(info)) {
        if (info.IsDirectory() && (!(options & kScanDirectories) || IsDotEntry(info.name)))
            continue;
        found.Append(JoinPath(directory, info.name));
        total += info.size;
    }

    bool reverse = (options & kScanReverse) != 0;
    uint32_t sort = options & kScanSortMask;
    if (sort == kScanSortByTime)
        SortByTime(found, reverse);
    else if (sort == kScanSortByPath)
        found.Sort(reverse);
    if (options & (kScanNameOnly | kScanNoExtension)) {
        for (String& entry : found) {
            if (options & kScanNameOnly)
                StripToName(entry);
            if (options & kScanNoExtension)
                StripExtension(entry);
        }
    }
    if (sort == kScanSortByText)
        found.Sort(reverse);
    for (String& entry : found)
        list.Append(std::move(entry));

    if (options & kScanRecurse) {
        String fileMask = FileNamePart(mask);
        for (bool more = finder.First(JoinPath(directory, "*.*").Text(), info); more; more = finder.Next(info)) {
            // A linked directory may lead back up the tree; it is listed, not entered.
            if (!info.IsDirectory() || IsDotEntry(info.name) || (info.attributes & FileInfo::kReparsePoint))
                continue;
            total += ScanDirectory(JoinPath(JoinPath(directory, info.name), fileMask), options, list);
        }
    }
    return total;
}

void AddLinePart(String& messages, uint32_t options, int32_t lineNumber)
{
    if (!(options & kSpecNoLineNumbers))
        messages.AppendFormat("on line %d ", lineNumber);
}

// The lines of the text: each ends at CR, LF, CR LF, LF CR or the end.
void SplitIntoLines(const String& text, Vector<String>& lines)
{
    int32_t start = 0;
    int32_t length = text.Length();
    const char* bytes = text.Text();
    for (int32_t i = 0;; ++i) {
        if (i == length) {
            lines.Append(String(bytes + start, i - start));
            return;
        }
        char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.Append(String(bytes + start, i - start));
        if (i + 1 < length && (bytes[i + 1] == '\r' || bytes[i + 1] == '\n') && bytes[i + 1] != c)
            ++i;
        start = i + 1;
    }
}

// Case-insensitive set of the names listed so far.
class NameSet {
public:
    explicit NameSet(int32_t expected) { m_table.SetBucketCount(expected < 64 ? 64 : expected); }
    // True when the name was not there yet.
    bool Add(const String& name)
    {
        String key(name);
        key.ToUpper();
        return m_table.Insert(key, 1);
    }

private:
    HashTable<uint8_t, String> m_table;
};

} // namespace

uint64_t ScanFiles(const String& mask, uint32_t options, Vector<String>& list)
{
    if (!(options & kScanAppend))
        list.Clear();
    String pattern(mask);
    if (pattern.RemoveSuffix(" /s"))
        options |= kScanRecurse;
    if (pattern.IsEmpty())
        return 0;
    return ScanDirectory(pattern, options, list);
}

void ParseFileSpecifications(const String& text, const char* defaultDirectory, uint32_t options,
                             Vector<String>& names, Vector<int32_t>& lineIndexes, uint64_t& totalSize,
                             String& messages)
{
    if (options & kSpecClearMessages)
        messages.Clear();
    if (options & kSpecClearNames)
        names.Clear();
    if (options & kSpecClearLineIndexes)
        lineIndexes.Clear();
    totalSize = 0;

    String defaultDir(defaultDirectory);
    if (!defaultDir.IsEmpty() && !DirectoryExists(defaultDir)) {
        messages.Append("The default directory \"");
        messages.Append(defaultDir);
        messages.Append("\" does not exist.\r\n");
    }
    if ((options & kSpecBlankIsError) && IsBlank(text.Text())) {
        messages = "No files were specified.\r\n";
        return;
    }

    bool allowDuplicates = (options & kSpecAllowDuplicates) != 0;
    NameSet listed(allowDuplicates ? 0 : names.Count());
    if (!allowDuplicates) {
        for (const String& name : names)
            listed.Add(name);
    }
    uint32_t scanOptions = options & (kScanDirectories | kScanRecurse);

    Vector<String> lines;
    SplitIntoLines(text, lines);
    for (int32_t lineIndex = 0; lineIndex < lines.Count(); ++lineIndex) {
        int32_t lineNumber = lineIndex + 1;
        String line = lines[lineIndex];
        line.Trim();
        if (line.IsEmpty())
            continue;
        String lineDirectory = DirectoryPart(line);
        if (IsBlank(lineDirectory.Text()))
            lineDirectory = defaultDir;
        else
            MakeAbsolute(lineDirectory, defaultDir.Text());

        Vector<String> pieces;
        int32_t start = 0;
        for (int32_t i = 0; i <= line.Length(); ++i) {
            if (i == line.Length() || line.CharAt(i) == ';') {
                String piece(line.Text() + start, i - start);
                piece.Trim();
                if (!piece.IsEmpty())
                    pieces.Append(std::move(piece));
                start = i + 1;
            }
        }

        bool firstPiece = true;
        for (String& piece : pieces) {
            // The line's directory came from its first mask, whose own directory must
            // not be added to it a second time.
            const String& directory = firstPiece ? defaultDir : lineDirectory;
            firstPiece = false;
            bool absolute = IsAbsolutePath(piece.Text()) ||
                            (IsAbsolutePath(directory.Text()) && MakeAbsolute(piece, directory.Text()));
            if (!absolute) {
                messages.Append("The file specification \"");
                messages.Append(piece);
                messages.Append("\" ");
                AddLinePart(messages, options, lineNumber);
                messages.Append("is not an absolute path.  Please include the drive and directory.\r\n");
                continue;
            }

            Vector<String> found;
            uint64_t size = ScanFiles(piece, scanOptions, found);
            if (found.IsEmpty()) {
                messages.Append("The file specification \"");
                messages.Append(piece);
                messages.Append("\" ");
                AddLinePart(messages, options, lineNumber);
                messages.Append("did not match any files.\r\n");
                continue;
            }
            totalSize += size;
            for (String& name : found) {
                if (allowDuplicates) {
                    names.Append(name);
                    lineIndexes.Append(lineIndex);
                } else if (listed.Add(name)) {
                    names.Append(name);
                } else {
                    messages.Append("The file \"");
                    messages.Append(name);
                    messages.Append("\" occurs more than once.\r\n");
                }
            }
        }
    }
}
