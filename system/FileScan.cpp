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

namespace {

// The masks of one line: separated by ";", each trimmed, empty ones dropped.
void SplitMasks(const String& line, Vector<String>& masks)
{
    int32_t start = 0;
    for (int32_t i = 0; i <= line.Length(); ++i) {
        if (i == line.Length() || line.CharAt(i) == ';') {
            String mask(line.Text() + start, i - start);
            mask.Trim();
            if (!mask.IsEmpty())
                masks.Append(std::move(mask));
            start = i + 1;
        }
    }
}

// One parse: the options, the names listed so far and the list being filled.
class SpecificationParser {
public:
    SpecificationParser(const char* defaultDirectory, uint32_t options, FileSpecificationList& list)
        : m_defaultDirectory(defaultDirectory), m_options(options), m_list(list),
          m_listed(AllowsDuplicates() ? 0 : list.names.Count())
    {
        if (!AllowsDuplicates()) {
            for (const String& name : list.names)
                m_listed.Add(name);
        }
    }

    const String& DefaultDirectory() const { return m_defaultDirectory; }

    void ParseLine(const String& text, int32_t lineIndex)
    {
        String line(text);
        line.Trim();
        if (line.IsEmpty())
            return;
        String lineDirectory = DirectoryPart(line);
        if (IsBlank(lineDirectory))
            lineDirectory = m_defaultDirectory;
        else
            MakeAbsolute(lineDirectory, m_defaultDirectory.Text());

        Vector<String> masks;
        SplitMasks(line, masks);
        for (int32_t i = 0; i < masks.Count(); ++i) {
            // The line's directory came from its first mask, whose own directory must
            // not be added to it a second time.
            AddMask(masks[i], i == 0 ? m_defaultDirectory : lineDirectory, lineIndex);
        }
    }

private:
    bool AllowsDuplicates() const { return (m_options & kSpecAllowDuplicates) != 0; }

    void AddMask(String& mask, const String& directory, int32_t lineIndex)
    {
        bool absolute = IsAbsolutePath(mask.Text()) ||
                        (IsAbsolutePath(directory.Text()) && MakeAbsolute(mask, directory.Text()));
        if (!absolute) {
            Report(mask, lineIndex, "is not an absolute path.  Please include the drive and directory.\r\n");
            return;
        }
        Vector<String> found;
        uint64_t size = ScanFiles(mask, m_options & (kScanDirectories | kScanRecurse), found);
        if (found.IsEmpty()) {
            Report(mask, lineIndex, "did not match any files.\r\n");
            return;
        }
        m_list.totalSize += size;
        for (String& name : found) {
            if (AllowsDuplicates()) {
                m_list.names.Append(name);
                m_list.lineIndexes.Append(lineIndex);
            } else if (m_listed.Add(name)) {
                m_list.names.Append(name);
            } else {
                m_list.messages.Append("The file \"");
                m_list.messages.Append(name);
                m_list.messages.Append("\" occurs more than once.\r\n");
            }
        }
    }

    // "The file specification "<mask>" on line <n> <problem>".
    void Report(const String& mask, int32_t lineIndex, const char* problem)
    {
        String& messages = m_list.messages;
        messages.Append("The file specification \"");
        messages.Append(mask);
        messages.Append("\" ");
        if (!(m_options & kSpecNoLineNumbers))
            messages.AppendFormat("on line %d ", lineIndex + 1);
        messages.Append(problem);
    }

    String m_defaultDirectory;
    uint32_t m_options;
    FileSpecificationList& m_list;
    NameSet m_listed;
};

} // namespace

void ParseFileSpecifications(const String& text, const char* defaultDirectory, uint32_t options,
                             FileSpecificationList& list)
{
    if (options & kSpecClearMessages)
        list.messages.Clear();
    if (options & kSpecClearNames)
        list.names.Clear();
    if (options & kSpecClearLineIndexes)
        list.lineIndexes.Clear();
    list.totalSize = 0;

    SpecificationParser parser(defaultDirectory, options, list);
    const String& directory = parser.DefaultDirectory();
    if (!directory.IsEmpty() && !DirectoryExists(directory)) {
        list.messages.Append("The default directory \"");
        list.messages.Append(directory);
        list.messages.Append("\" does not exist.\r\n");
    }
    if ((options & kSpecBlankIsError) && IsBlank(text)) {
        list.messages = "No files were specified.\r\n";
        return;
    }
    Vector<String> lines;
    SplitIntoLines(text, lines);
    for (int32_t lineIndex = 0; lineIndex < lines.Count(); ++lineIndex)
        parser.ParseLine(lines[lineIndex], lineIndex);
}
