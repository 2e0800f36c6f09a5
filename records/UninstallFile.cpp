#include "records/UninstallFile.h"
#include "records/UninstallList.h"
#include <cstdlib>

// The reader goes through the text once, line by line, and never looks outside it: a
// section starts at a line that holds only its name, so a file path or a message that
// merely contains "[Strings]" cannot move a section boundary, and every part of the
// file is read from the line it starts on. Lines end at CR LF, CR, LF or a zero byte;
// a zero byte inside a path would silently cut it short where Windows reads it.

namespace {

constexpr const char* kStringsSection = "[Strings]";
constexpr const char* kAssociationsSection = "[Associations]";
constexpr const char kAssociationSeparator[] = "~!~";
constexpr int32_t kAssociationSeparatorLength = sizeof(kAssociationSeparator) - 1;

class LineCursor {
public:
    explicit LineCursor(const String& text) : m_text(text.Text()), m_end(text.Length()) {}

    // Moves to the next line; false at the end of the text.
    bool Next()
    {
        if (m_next >= m_end)
            return false;
        m_start = m_next;
        int32_t i = m_start;
        while (i < m_end && m_text[i] != '\r' && m_text[i] != '\n' && m_text[i] != 0)
            ++i;
        m_length = i - m_start;
        m_terminated = i < m_end;
        if (m_terminated)
            i += (m_text[i] == '\r' && i + 1 < m_end && m_text[i + 1] == '\n') ? 2 : 1;
        m_next = i;
        return true;
    }

    int32_t Start() const { return m_start; }
    int32_t Length() const { return m_length; }
    bool Terminated() const { return m_terminated; }
    // Where the line after this one starts.
    int32_t NextStart() const { return m_next; }
    char First() const { return m_length > 0 ? m_text[m_start] : 0; }

    String Line(int32_t skip = 0) const { return String(m_text + m_start + skip, m_length - skip); }

    // The line, without the blanks around it, equals `name` ignoring case.
    bool Is(const char* name) const
    {
        int32_t from = m_start;
        int32_t to = m_start + m_length;
        while (from < to && (m_text[from] == ' ' || m_text[from] == '\t'))
            ++from;
        while (to > from && (m_text[to - 1] == ' ' || m_text[to - 1] == '\t'))
            --to;
        if (to - from != SafeLength(name))
            return false;
        for (int32_t i = from; i < to; ++i, ++name) {
            if (ToLowerChar(m_text[i]) != ToLowerChar(*name))
                return false;
        }
        return true;
    }

private:
    const char* m_text;
    int32_t m_end;
    int32_t m_start = 0;
    int32_t m_length = 0;
    int32_t m_next = 0;
    bool m_terminated = false;
};

// A path the uninstaller may act on: absolute (drive or network share) and longer than
// a drive root. Anything else can only come from a damaged file, and a relative path
// would be taken against whatever the current directory happens to be.
bool IsRemovablePath(const String& path)
{
    if (path.Length() <= 3)
        return false;
    const char* p = path.Text();
    return (IsLetter(p[0]) && p[1] == ':' && p[2] == '\\') || (p[0] == '\\' && p[1] == '\\');
}

// A key line must name a key: an empty name would mean HKEY_CLASSES_ROOT itself.
bool IsRemovableKey(const String& key)
{
    return !IsBlank(key) && key.First() != '\\';
}

// The number after the "~" of a message line: its digits, commas ignored, up to the
// first other byte. 0 when there is none, or when it passes the last message number.
int32_t MessageNumber(const String& line)
{
    int32_t number = 0;
    for (int32_t i = 1; i < line.Length(); ++i) {
        char c = line.CharAt(i);
        if (c == ',')
            continue;
        if (!IsDigit(c))
            break;
        number = number * 10 + (c - '0');
        if (number > UninstallMessages::kLastNumber)
            return 0;
    }
    return number;
}

class FileReader {
public:
    FileReader(const String& text, UninstallFile& file) : m_text(text), m_lines(text), m_file(file) {}

    int32_t Read()
    {
        while (m_lines.Next()) {
            if (m_section != kAssociations && m_lines.Is(kAssociationsSection)) {
                EndMessage(m_lines.Start());
                m_section = kAssociations;
            } else if (m_section == kFiles && m_lines.Is(kStringsSection)) {
                m_section = kStrings;
                m_sawStrings = true;
            } else if (m_section == kFiles) {
                FileLine();
            } else if (m_section == kStrings) {
                StringsLine();
            } else {
                AssociationLine();
            }
        }
        EndMessage(m_text.Length());
        if (!m_sawStrings)
            m_problems |= kUninstallFileNoStrings;
        SetPercents();
        SortDirectories();
        return m_problems;
    }

private:
    enum Section { kFiles, kStrings, kAssociations };

    void FileLine()
    {
        if (m_lines.Length() == 0)
            return;
        // Only the last line of a file cut short lacks its line break: its path may be
        // cut as well and name something else entirely.
        if (!m_lines.Terminated()) {
            m_problems |= kUninstallFileNoStrings;
            return;
        }
        int32_t position = m_lineCount++;
        char mark = m_lines.First();
        String path = m_lines.Line(mark == UninstallList::kDirectoryMark || mark == UninstallList::kKeyMark ? 1 : 0);
        bool sound = mark == UninstallList::kKeyMark ? IsRemovableKey(path) : IsRemovablePath(path);
        if (!sound) {
            m_problems |= kUninstallFileBadPath;
            return;
        }
        if (mark == UninstallList::kDirectoryMark) {
            m_file.directories.Append(static_cast<String&&>(path));
            return;
        }
        UninstallItem* item = m_file.items.AppendNew();
        item->kind = mark == UninstallList::kKeyMark ? UninstallItem::kKey : UninstallItem::kFile;
        item->path = static_cast<String&&>(path);
        item->percent = position; // made a percentage once the lines are counted
    }

    void StringsLine()
    {
        if (m_lines.First() != '~') {
            // Text lines belong to the message above them; before the first there is none.
            if (m_messages == 0 && !IsBlank(m_lines.Line().Text()))
                m_problems |= kUninstallFileBadMessage;
            return;
        }
        EndMessage(m_lines.Start());
        if (++m_messages > kMaxUninstallMessages) {
            m_problems |= kUninstallFileTooManyMessages;
            return;
        }
        int32_t number = MessageNumber(m_lines.Line());
        if (number < UninstallMessages::kFirstNumber) {
            m_problems |= kUninstallFileBadMessage;
            return;
        }
        m_number = number;
        m_textStart = m_lines.NextStart();
    }

    // Ends the message being read at `end`: its lines joined with their breaks, without
    // trailing blanks and breaks.
    void EndMessage(int32_t end)
    {
        if (m_number == 0)
            return;
        String text = m_text.Mid(m_textStart, end > m_textStart ? end - m_textStart : 0);
        text.TrimRight(" \t\r\n");
        m_file.messages.Set(m_number, text);
        m_number = 0;
    }

    void AssociationLine()
    {
        if (m_lines.Length() == 0)
            return;
        if (++m_associationLines > kMaxAssociationLines) {
            m_problems |= kUninstallFileTooManyAssociations;
            return;
        }
        String line = m_lines.Line();
        int32_t first = line.Find(kAssociationSeparator, kAssociationSeparatorLength);
        int32_t second = first < 0 ? -1 : line.Find(kAssociationSeparator, kAssociationSeparatorLength,
                                                     first + kAssociationSeparatorLength);
        if (first <= 0 || second <= first + kAssociationSeparatorLength ||
            second + kAssociationSeparatorLength >= line.Length()) {
            m_problems |= kUninstallFileBadAssociation;
            return;
        }
        FileAssociation* association = m_file.associations.AppendNew();
        association->extension = line.Mid(0, first);
        association->typeName = line.Mid(first + kAssociationSeparatorLength,
                                         second - first - kAssociationSeparatorLength);
        association->verb = line.Mid(second + kAssociationSeparatorLength);
    }

    void SetPercents()
    {
        for (UninstallItem& item : m_file.items)
            item.percent = static_cast<int32_t>(10 + int64_t(80) * item.percent / m_lineCount);
    }

    // Longest first; equal lengths keep their listed order, so the result never depends
    // on how the sort treats ties.
    void SortDirectories()
    {
        int32_t count = m_file.directories.Count();
        if (count < 2)
            return;
        struct Key {
            int32_t length;
            int32_t index;
        };
        String keys;
        keys.SetLength(count * static_cast<int32_t>(sizeof(Key)));
        Key* key = reinterpret_cast<Key*>(keys.Buffer());
        for (int32_t i = 0; i < count; ++i)
            key[i] = Key{ m_file.directories[i].Length(), i };
        qsort(key, static_cast<size_t>(count), sizeof(Key), [](const void* a, const void* b) {
            const Key& left = *static_cast<const Key*>(a);
            const Key& right = *static_cast<const Key*>(b);
            if (left.length != right.length)
                return left.length > right.length ? -1 : 1;
            return left.index < right.index ? -1 : (left.index > right.index ? 1 : 0);
        });
        Vector<String> sorted;
        sorted.Reserve(count);
        for (int32_t i = 0; i < count; ++i)
            sorted.Append(static_cast<String&&>(m_file.directories[key[i].index]));
        m_file.directories = static_cast<Vector<String>&&>(sorted);
    }

    const String& m_text;
    LineCursor m_lines;
    UninstallFile& m_file;
    Section m_section = kFiles;
    bool m_sawStrings = false;
    int32_t m_problems = 0;
    int32_t m_lineCount = 0;
    int32_t m_messages = 0;
    int32_t m_number = 0; // the message being read, 0 for none
    int32_t m_textStart = 0;
    int32_t m_associationLines = 0;
};

}

void AppendAssociationLine(String& record, const String& extension, const String& typeName, const String& verb)
{
    record += extension;
    record += kAssociationSeparator;
    record += typeName;
    record += kAssociationSeparator;
    record += verb;
    record += "\r\n";
}

String BuildUninstallFile(const String& fileList, const UninstallMessages& messages, const String& associations)
{
    String text(fileList);
    text += "\r\n\r\n";
    text += kStringsSection;
    text += "\r\n";
    for (int32_t number : kUninstallMessageNumbers) {
        text.AppendFormat("~%d\r\n", number);
        text += messages.Text(number);
        text += "\r\n";
    }
    if (!associations.IsEmpty()) {
        text += "\r\n\r\n";
        text += kAssociationsSection;
        text += "\r\n";
        text += associations;
    }
    return text;
}

int32_t ReadUninstallFile(const String& text, UninstallFile& file)
{
    file.items.Clear();
    file.directories.Clear();
    file.messages.Clear();
    file.associations.Clear();
    return FileReader(text, file).Read();
}
