// Drives File, the whole-file helpers, the system paths, directories and file lists for
// the Wine tests. It runs a script of commands, one a line, fields separated by "|",
// and prints one line per command: "<command>: <result>". Two File objects, A and B,
// live for the whole script, so that one can hold a file while the other opens it.
// Texts are printed in brackets with bytes outside printable ASCII as \xNN.
//
//   filesdriver.exe <script file>
//
// Fields that carry free text (written bytes, appended text, file-specification lists) take
// the escapes \r \n \t \\ and \xNN; path fields are taken as they are. "<null>" stands
// for a null pointer where an operation accepts one.
#include "core/String.h"
#include "core/Vector.h"
#include "system/Directory.h"
#include "system/File.h"
#include "system/FileOperations.h"
#include "system/FileFinder.h"
#include "system/FileScan.h"
#include "system/Path.h"
#include "system/RuntimeLoader.h"
#include "system/SystemError.h"
#include "system/SystemPaths.h"
#include <cstdio>
#include <windows.h>

namespace {

String Escaped(const String& text)
{
    String out("[");
    for (int32_t i = 0; i < text.Length(); ++i) {
        unsigned char c = static_cast<unsigned char>(text.CharAt(i));
        if (c < 32 || c > 126)
            out.AppendFormat("\\x%02X", c);
        else
            out += static_cast<char>(c);
    }
    out += ']';
    return out;
}

int HexDigit(char c)
{
    if (IsDigit(c))
        return c - '0';
    c = ToLowerChar(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

String Unescaped(const String& text)
{
    String out;
    for (int32_t i = 0; i < text.Length(); ++i) {
        char c = text.CharAt(i);
        if (c != '\\' || i + 1 >= text.Length()) {
            out += c;
            continue;
        }
        char next = text.CharAt(++i);
        if (next == 'r')
            out += '\r';
        else if (next == 'n')
            out += '\n';
        else if (next == 't')
            out += '\t';
        else if (next == 'x' && i + 2 < text.Length()) {
            out += static_cast<char>(HexDigit(text.CharAt(i + 1)) * 16 + HexDigit(text.CharAt(i + 2)));
            i += 2;
        } else
            out += next;
    }
    return out;
}

String Stamp(const FileStamp& stamp)
{
    String text;
    text.Format("%04d-%02d-%02d %02d:%02d:%02d", stamp.year, stamp.month, stamp.day, stamp.hour, stamp.minute,
                stamp.second);
    return text;
}

struct Fields {
    Vector<String> items;

    String Str(int32_t i)
    {
        String* item = items.ElementOrNull(i);
        return item ? *item : String();
    }
    // Null for "<null>".
    const char* Text(int32_t i)
    {
        String* item = items.ElementOrNull(i);
        if (!item)
            return "";
        return *item == "<null>" ? nullptr : item->Text();
    }
    int64_t Number(int32_t i) { return String::ToInt64(Text(i) ? Text(i) : "0"); }
};

void SplitFields(const String& line, Vector<String>& fields)
{
    int32_t start = 0;
    for (int32_t i = 0; i <= line.Length(); ++i) {
        if (i == line.Length() || line.CharAt(i) == '|') {
            fields.Append(String(line.Text() + start, i - start));
            start = i + 1;
        }
    }
}

File s_files[2];

File& Slot(const String& name)
{
    return s_files[name == "B" ? 1 : 0];
}

String Truth(bool value)
{
    return String(value ? "1" : "0");
}

String Numbered(int64_t value)
{
    String text;
    text.Format("%lld", static_cast<long long>(value));
    return text;
}

String WithLastError(bool value)
{
    String text;
    text.Format("%d %lu", value ? 1 : 0, GetLastError());
    return text;
}

String OpenResult(File& file, int code)
{
    String text;
    text.Format("%d %s", code, File::ResultText(code));
    if (code != File::kOpened)
        text += " " + Escaped(file.ErrorText());
    return text;
}

// The bytes a large write test puts into a file; the test computes the same.
char PatternByte(int32_t i)
{
    return static_cast<char>((i * 7) % 251);
}

String Run(Fields& f)
{
    String op = f.Str(0);

    // File objects.
    if (op == "open") {
        File& file = Slot(f.Str(1));
        int code = file.Open(f.Text(2), static_cast<uint32_t>(f.Number(3)));
        return OpenResult(file, code);
    }
    if (op == "timedopen") {
        File& file = Slot(f.Str(1));
        DWORD start = GetTickCount();
        int code = file.Open(f.Text(2), static_cast<uint32_t>(f.Number(3)));
        return Numbered(code) + " " + Numbered(GetTickCount() - start);
    }
    if (op == "name")
        return Escaped(Slot(f.Str(1)).Name());
    if (op == "close")
        return Truth(Slot(f.Str(1)).Close());
    if (op == "read") {
        File& file = Slot(f.Str(1));
        int32_t size = static_cast<int32_t>(f.Number(2));
        String bytes;
        bytes.SetLength(size > 0 ? size : 0);
        bool read = file.Read(bytes.Buffer(), size);
        return read ? "1 " + Escaped(bytes) : "0 " + Escaped(file.ErrorText());
    }
    if (op == "readnull") {
        File& file = Slot(f.Str(1));
        bool read = file.Read(nullptr, 4);
        return Truth(read) + " " + Escaped(file.ErrorText());
    }
    if (op == "readat" || op == "tail") {
        File& file = Slot(f.Str(1));
        String bytes;
        bool read;
        if (op == "readat") {
            bytes.SetLength(static_cast<int32_t>(f.Number(3)));
            read = file.ReadAt(static_cast<int32_t>(f.Number(2)), bytes.Buffer(), bytes.Length());
        } else {
            bytes.SetLength(static_cast<int32_t>(f.Number(2) > 0 ? f.Number(2) : 0));
            read = file.ReadTail(bytes.Buffer(), static_cast<int32_t>(f.Number(2)));
        }
        return read ? "1 " + Escaped(bytes) + " pos " + Numbered(file.Position())
                    : "0 " + Escaped(file.ErrorText()) + " pos " + Numbered(file.Position());
    }
    if (op == "readtext")
        return Escaped(Slot(f.Str(1)).ReadText());
    if (op == "write") {
        File& file = Slot(f.Str(1));
        String bytes = Unescaped(f.Str(2));
        bool written = file.Write(bytes.Text(), bytes.Length());
        return written ? String("1") : "0 " + Escaped(file.ErrorText());
    }
    if (op == "writesize") {
        File& file = Slot(f.Str(1));
        bool written = file.Write("x", static_cast<int32_t>(f.Number(2)));
        return Truth(written) + " " + Escaped(file.ErrorText());
    }
    if (op == "textatend") {
        File& file = Slot(f.Str(1));
        return Truth(file.WriteTextAtEnd(Unescaped(f.Str(2)))) + " pos " + Numbered(file.Position());
    }
    if (op == "seek")
        return Truth(Slot(f.Str(1)).Seek(static_cast<int32_t>(f.Number(2))));
    if (op == "seekend")
        return Truth(Slot(f.Str(1)).SeekFromEnd(static_cast<int32_t>(f.Number(2))));
    if (op == "pos")
        return Numbered(Slot(f.Str(1)).Position());
    if (op == "size")
        return Numbered(Slot(f.Str(1)).Size());
    if (op == "ends") {
        File& file = Slot(f.Str(1));
        return Truth(file.NotAtEnd()) + " " + Truth(file.AtEnd());
    }
    if (op == "truncate")
        return Truth(Slot(f.Str(1)).TruncateHere());
    if (op == "flush")
        return Truth(Slot(f.Str(1)).Flush());
    if (op == "endline")
        return Truth(Slot(f.Str(1)).EndLine());
    if (op == "settime") {
        FileStamp stamp;
        stamp.year = static_cast<int32_t>(f.Number(2));
        stamp.month = static_cast<int32_t>(f.Number(3));
        stamp.day = static_cast<int32_t>(f.Number(4));
        stamp.hour = static_cast<int32_t>(f.Number(5));
        stamp.minute = static_cast<int32_t>(f.Number(6));
        stamp.second = static_cast<int32_t>(f.Number(7));
        return Truth(Slot(f.Str(1)).SetLastWriteTime(stamp));
    }
    if (op == "resulttext")
        return Escaped(File::ResultText(static_cast<int>(f.Number(1))));
    if (op == "errortext")
        return Escaped(SystemErrorText(static_cast<uint32_t>(f.Number(1))));

    // Whole-file helpers.
    if (op == "readfile") {
        String contents("stale");
        int code = ReadWholeFile(f.Text(1), contents);
        return Numbered(code) + " " + Escaped(contents);
    }
    if (op == "writefile") {
        if (!f.Text(2))
            return Truth(WriteWholeFile(f.Text(1), nullptr, static_cast<int32_t>(f.Number(3))));
        String bytes = Unescaped(f.Str(2));
        return Truth(WriteWholeFile(f.Text(1), bytes));
    }
    if (op == "writetext") // length INT_MAX: up to the first zero byte
        return Truth(WriteWholeFile(f.Text(1), Unescaped(f.Str(2)).Text(), String::kToEnd));
    if (op == "writebig") {
        int32_t size = static_cast<int32_t>(f.Number(2));
        String bytes;
        bytes.SetLength(size);
        for (int32_t i = 0; i < size; ++i)
            bytes.At(i) = PatternByte(i);
        bool same = false;
        bool written = WriteWholeFile(f.Text(1), bytes);
        if (written)
            same = SameContents(bytes.Text(), bytes.Length(), f.Text(1));
        return Truth(written) + " " + Truth(same);
    }
    if (op == "tempfile") {
        String name;
        String bytes = Unescaped(f.Str(1));
        bool made = WriteNewTemporaryFile(bytes.Text(), bytes.Length(), name);
        return Truth(made) + " " + Escaped(name);
    }
    if (op == "append")
        return Truth(AppendText(f.Text(1), Unescaped(f.Str(3)), static_cast<int32_t>(f.Number(2))));
    if (op == "same") {
        String bytes = Unescaped(f.Str(2));
        return Truth(SameContents(bytes.Text(), bytes.Length(), f.Text(1)));
    }
    if (op == "canopen")
        return Truth(CanBeOpened(f.Text(1)));
    if (op == "attrs")
        return Numbered(FileAttributes(f.Text(1)));
    if (op == "isreadonly")
        return Truth(IsReadOnly(f.Text(1)));
    if (op == "setreadonly")
        return Truth(SetReadOnly(f.Text(1), f.Number(2) != 0));
    if (op == "clearattrs")
        return Truth(ClearAttributes(f.Text(1), static_cast<uint32_t>(f.Number(2))));
    if (op == "setattrs")
        return Truth(SetAttributes(f.Text(1), static_cast<uint32_t>(f.Number(2)), static_cast<uint32_t>(f.Number(3))));
    if (op == "delete")
        return Truth(DeleteOneFile(f.Text(1), static_cast<int32_t>(f.Number(2))));

    // System paths.
    if (op == "windir")
        return Escaped(WindowsDirectory());
    if (op == "progfile")
        return Escaped(ProgramFile());
    if (op == "progdir")
        return Escaped(ProgramDirectory());
    if (op == "progname")
        return Escaped(ProgramName());
    if (op == "progdrive")
        return Escaped(ProgramDrive() ? String(ProgramDrive()) : String());
    if (op == "comspec")
        return Escaped(CommandInterpreter());
    if (op == "tempdir")
        return Escaped(TemporaryDirectory());
    if (op == "sysdir")
        return Escaped(SystemDirectory());
    if (op == "curdir")
        return Escaped(CurrentDirectory());
    if (op == "setcurdir")
        return Truth(SetCurrentDirectoryA(f.Text(1)));
    if (op == "shortname")
        return Escaped(ShortName(f.Str(1)));
    if (op == "inprogdir")
        return Escaped(InProgramDirectory(f.Str(1)));
    if (op == "abstoprog") {
        String path = f.Str(1);
        bool made = MakeAbsoluteToProgram(path);
        return Truth(made) + " " + Escaped(path);
    }

    // Directories and drives.
    if (op == "direxists")
        return Truth(DirectoryExists(f.Str(1)));
    if (op == "driveexists")
        return Truth(DriveExists(f.Str(1).First()));
    if (op == "mkdirs")
        return Truth(CreateDirectories(f.Str(1)));
    if (op == "rmdir")
        return Truth(RemoveEmptyDirectory(f.Str(1)));
    if (op == "deltree") {
        SetLastError(12345);
        return WithLastError(DeleteTree(f.Str(1)));
    }
    if (op == "freespace" || op == "drivefree") {
        uint64_t freeBytes = 0, totalBytes = 0;
        int answer = op == "freespace" ? (DiskFreeSpace(f.Text(1), freeBytes, totalBytes) ? 1 : 0)
                                       : DriveFreeSpace(f.Str(1), freeBytes, totalBytes);
        return Numbered(answer) + " " + Numbered(static_cast<int64_t>(freeBytes)) + " " +
               Numbered(static_cast<int64_t>(totalBytes));
    }
    if (op == "cluster")
        return Numbered(ClusterSize(f.Str(1)));

    // Finding and listing.
    if (op == "find") {
        FileInfo info;
        if (!FindFirstEntry(f.Text(1), info))
            return String("0");
        String text("1 ");
        text += Escaped(info.name);
        text.AppendFormat(" %lu %llu ", static_cast<unsigned long>(info.attributes),
                          static_cast<unsigned long long>(info.size));
        text += Stamp(info.lastWrite);
        return text;
    }
    if (op == "lastwrite")
        return Stamp(LastWriteTimeOf(f.Text(1)));
    if (op == "scan") {
        Vector<String> list;
        if (f.Str(3) == "keep")
            list.Append(String("kept"));
        uint64_t total = ScanFiles(f.Str(1), static_cast<uint32_t>(f.Number(2)), list);
        String text = Numbered(static_cast<int64_t>(total));
        for (const String& entry : list)
            text += " " + Escaped(entry);
        return text;
    }
    if (op == "parse") {
        Vector<String> names;
        Vector<int32_t> lineIndexes;
        uint64_t total = 99;
        String messages("old\r\n");
        names.Append(String("C:\\earlier\\name.txt"));
        ParseFileSpecifications(Unescaped(f.Str(3)), f.Text(1), static_cast<uint32_t>(f.Number(2)), names,
                                lineIndexes, total, messages);
        String text = Numbered(static_cast<int64_t>(total)) + " names";
        for (const String& name : names)
            text += " " + Escaped(name);
        text += " lines";
        for (int32_t index : lineIndexes)
            text += " " + Numbered(index);
        text += " messages " + Escaped(messages);
        return text;
    }

    // Run-time loading.
    if (op == "loadfn") {
        void* address = nullptr;
        bool found = LoadRuntimeFunction(f.Text(1), f.Text(2), address);
        return Truth(found) + " " + Truth(address != nullptr) + " " +
               Truth(GetModuleHandleA(f.Text(1)) != nullptr);
    }
    if (op == "loadtable") {
        void* present = nullptr;
        void* missing = reinterpret_cast<void*>(1);
        RuntimeFunction table[] = {
            { f.Text(2), &present, false },
            { f.Text(3), &missing, f.Number(4) != 0 },
            { nullptr, nullptr, false },
        };
        bool complete = LoadRuntimeTable(f.Text(1), table);
        return Truth(complete) + " " + Truth(present != nullptr) + " " + Truth(missing != nullptr);
    }
    if (op == "freelibs") {
        FreeLoadedLibraries();
        return Truth(GetModuleHandleA(f.Text(1)) != nullptr);
    }
    if (op == "waitfor") { // until the file exists, at most the given milliseconds
        DWORD start = GetTickCount();
        while (FileAttributes(f.Text(1)) == -1) {
            if (GetTickCount() - start > static_cast<DWORD>(f.Number(2)))
                return String("0");
            Sleep(20);
        }
        return String("1");
    }
    return "unknown command " + Escaped(op);
}

} // namespace

int main(int argc, char** argv)
{
    InitSystemPaths();
    // Relative paths in a script must never reach the directory the test runner
    // started from (under Wine, a host directory).
    SetCurrentDirectoryA(ProgramDirectory().Text());
    if (argc < 2)
        return 2;
    String script;
    if (ReadWholeFile(argv[1], script) != File::kOpened)
        return 3;
    int32_t start = 0;
    for (int32_t i = 0; i <= script.Length(); ++i) {
        if (i < script.Length() && script.CharAt(i) != '\r' && script.CharAt(i) != '\n')
            continue;
        String line(script.Text() + start, i - start);
        start = i + 1;
        if (line.IsEmpty())
            continue;
        Fields fields;
        SplitFields(line, fields.items);
        printf("%s: %s\n", fields.Str(0).Text(), Run(fields).Text());
        fflush(stdout);
    }
    return 0;
}
