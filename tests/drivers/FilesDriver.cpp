// Drives File, the whole-file helpers, the system paths, directories and file lists for
// the Wine tests (DriverScript.h tells the script format). Two File objects, A and B,
// live for the whole script, so that one can hold a file while the other opens it.
// Truth values print as "1" and "0".
//
// Fields that carry free text (written bytes, appended text, file-specification lists)
// take the escapes of Unescaped; path fields are taken as they are. "<null>" stands for
// a null pointer where an operation accepts one.
#include "core/String.h"
#include "core/Vector.h"
#include "system/Directory.h"
#include "system/File.h"
#include "system/FileFinder.h"
#include "system/FileOperations.h"
#include "system/FileScan.h"
#include "system/Path.h"
#include "system/RuntimeLoader.h"
#include "system/SystemError.h"
#include "system/SystemPaths.h"
#include "tests/drivers/DriverScript.h"
#include <windows.h>

namespace {

File s_files[2];

File& Slot(const ScriptLine& f)
{
    return s_files[f.Str(1) == "B" ? 1 : 0];
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

String Stamp(const FileStamp& stamp)
{
    String text;
    text.Format("%04d-%02d-%02d %02d:%02d:%02d", stamp.year, stamp.month, stamp.day, stamp.hour, stamp.minute,
                stamp.second);
    return text;
}

int32_t Size(const ScriptLine& f, int32_t index)
{
    return static_cast<int32_t>(f.Number(index));
}

// The bytes a large write test puts into a file; the test computes the same.
char PatternByte(int32_t i)
{
    return static_cast<char>((i * 7) % 251);
}

// File objects.

String OpenResult(File& file, int code)
{
    String text;
    text.Format("%d %s", code, File::ResultText(code));
    if (code != File::kOpened)
        text += " " + Escaped(file.ErrorText());
    return text;
}

String Open(ScriptLine& f)
{
    File& file = Slot(f);
    int code = file.Open(f.Text(2), f.Flags(3));
    return OpenResult(file, code);
}

String TimedOpen(ScriptLine& f)
{
    DWORD start = GetTickCount();
    int code = Slot(f).Open(f.Text(2), f.Flags(3));
    return Numbered(code) + " " + Numbered(GetTickCount() - start);
}

String Read(ScriptLine& f)
{
    File& file = Slot(f);
    int32_t size = Size(f, 2);
    String bytes;
    bytes.SetLength(size > 0 ? size : 0);
    bool read = file.Read(bytes.Buffer(), size);
    return read ? "1 " + Escaped(bytes) : "0 " + Escaped(file.ErrorText());
}

String ReadNull(ScriptLine& f)
{
    File& file = Slot(f);
    bool read = file.Read(nullptr, 4);
    return Truth(read) + " " + Escaped(file.ErrorText());
}

String ReadResult(File& file, bool read, const String& bytes)
{
    return (read ? "1 " + Escaped(bytes) : "0 " + Escaped(file.ErrorText())) + " pos " + Numbered(file.Position());
}

String ReadAt(ScriptLine& f)
{
    File& file = Slot(f);
    String bytes;
    bytes.SetLength(Size(f, 3));
    bool read = file.ReadAt(Size(f, 2), bytes.Buffer(), bytes.Length());
    return ReadResult(file, read, bytes);
}

String Tail(ScriptLine& f)
{
    File& file = Slot(f);
    String bytes;
    bytes.SetLength(Size(f, 2) > 0 ? Size(f, 2) : 0);
    bool read = file.ReadTail(bytes.Buffer(), Size(f, 2));
    return ReadResult(file, read, bytes);
}

String Write(ScriptLine& f)
{
    File& file = Slot(f);
    String bytes = Unescaped(f.Str(2));
    bool written = file.Write(bytes.Text(), bytes.Length());
    return written ? String("1") : "0 " + Escaped(file.ErrorText());
}

String WriteSize(ScriptLine& f)
{
    File& file = Slot(f);
    bool written = file.Write("x", Size(f, 2));
    return Truth(written) + " " + Escaped(file.ErrorText());
}

String TextAtEnd(ScriptLine& f)
{
    File& file = Slot(f);
    return Truth(file.WriteTextAtEnd(Unescaped(f.Str(2)))) + " pos " + Numbered(file.Position());
}

String SetTime(ScriptLine& f)
{
    FileStamp stamp;
    stamp.year = Size(f, 2);
    stamp.month = Size(f, 3);
    stamp.day = Size(f, 4);
    stamp.hour = Size(f, 5);
    stamp.minute = Size(f, 6);
    stamp.second = Size(f, 7);
    return Truth(Slot(f).SetLastWriteTime(stamp));
}

// Whole-file helpers.

String ReadFile(ScriptLine& f)
{
    String contents("stale");
    int code = ReadWholeFile(f.Text(1), contents);
    return Numbered(code) + " " + Escaped(contents);
}

String WriteFile(ScriptLine& f)
{
    if (!f.Text(2))
        return Truth(WriteWholeFile(f.Text(1), nullptr, Size(f, 3)));
    return Truth(WriteWholeFile(f.Text(1), Unescaped(f.Str(2))));
}

String WriteBig(ScriptLine& f)
{
    int32_t size = Size(f, 2);
    String bytes;
    bytes.SetLength(size);
    for (int32_t i = 0; i < size; ++i)
        bytes.At(i) = PatternByte(i);
    bool written = WriteWholeFile(f.Text(1), bytes);
    bool same = written && SameContents(bytes.Text(), bytes.Length(), f.Text(1));
    return Truth(written) + " " + Truth(same);
}

String TempFile(ScriptLine& f)
{
    String name;
    String bytes = Unescaped(f.Str(1));
    bool made = WriteNewTemporaryFile(bytes.Text(), bytes.Length(), name);
    return Truth(made) + " " + Escaped(name);
}

String Same(ScriptLine& f)
{
    String bytes = Unescaped(f.Str(2));
    return Truth(SameContents(bytes.Text(), bytes.Length(), f.Text(1)));
}

// System paths.

String MakeAbsoluteToProgramCommand(ScriptLine& f)
{
    String path = f.Str(1);
    bool made = MakeAbsoluteToProgram(path);
    return Truth(made) + " " + Escaped(path);
}

// Directories and drives.

String DeleteTreeCommand(ScriptLine& f)
{
    SetLastError(12345);
    return WithLastError(DeleteTree(f.Str(1)));
}

String FreeSpace(ScriptLine& f)
{
    uint64_t freeBytes = 0, totalBytes = 0;
    int answer = f.Str(0) == "freespace" ? (DiskFreeSpace(f.Text(1), freeBytes, totalBytes) ? 1 : 0)
                                         : DriveFreeSpace(f.Str(1), freeBytes, totalBytes);
    return Numbered(answer) + " " + Numbered(static_cast<int64_t>(freeBytes)) + " " +
           Numbered(static_cast<int64_t>(totalBytes));
}

// Finding and listing.

String Find(ScriptLine& f)
{
    FileInfo info;
    if (!FindFirstEntry(f.Text(1), info))
        return String("0");
    String text("1 ");
    text += Escaped(info.name);
    text.AppendFormat(" %lu %llu ", static_cast<unsigned long>(info.attributes), static_cast<unsigned long long>(info.size));
    text += Stamp(info.lastWrite);
    return text;
}

String Scan(ScriptLine& f)
{
    Vector<String> list;
    if (f.Str(3) == "keep")
        list.Append(String("kept"));
    uint64_t total = ScanFiles(f.Str(1), f.Flags(2), list);
    String text = Numbered(static_cast<int64_t>(total));
    for (const String& entry : list)
        text += " " + Escaped(entry);
    return text;
}

// parse|default directory|options|list: the list starts with one name, a line index
// and a message from before, so that the clearing options show.
String Parse(ScriptLine& f)
{
    FileSpecificationList list;
    list.totalSize = 99;
    list.messages = "old\r\n";
    list.names.Append(String("C:\\earlier\\name.txt"));
    ParseFileSpecifications(Unescaped(f.Str(3)), f.Text(1), f.Flags(2), list);
    String text = Numbered(static_cast<int64_t>(list.totalSize)) + " names";
    for (const String& name : list.names)
        text += " " + Escaped(name);
    text += " lines";
    for (int32_t index : list.lineIndexes)
        text += " " + Numbered(index);
    text += " messages " + Escaped(list.messages);
    return text;
}

// Run-time loading.

String LoadFunction(ScriptLine& f)
{
    void* address = nullptr;
    bool found = LoadRuntimeFunction(f.Text(1), f.Text(2), address);
    return Truth(found) + " " + Truth(address != nullptr) + " " + Truth(GetModuleHandleA(f.Text(1)) != nullptr);
}

String LoadTable(ScriptLine& f)
{
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

// Until the file exists, at most the given milliseconds.
String WaitFor(ScriptLine& f)
{
    DWORD start = GetTickCount();
    while (FileAttributes(f.Text(1)) == -1) {
        if (GetTickCount() - start > static_cast<DWORD>(f.Number(2)))
            return String("0");
        Sleep(20);
    }
    return String("1");
}

const DriverCommand kCommands[] = {
    // File objects.
    { "open", Open },
    { "timedopen", TimedOpen },
    { "name", [](ScriptLine& f) { return Escaped(Slot(f).Name()); } },
    { "close", [](ScriptLine& f) { return Truth(Slot(f).Close()); } },
    { "read", Read },
    { "readnull", ReadNull },
    { "readat", ReadAt },
    { "tail", Tail },
    { "readtext", [](ScriptLine& f) { return Escaped(Slot(f).ReadText()); } },
    { "write", Write },
    { "writesize", WriteSize },
    { "textatend", TextAtEnd },
    { "seek", [](ScriptLine& f) { return Truth(Slot(f).Seek(Size(f, 2))); } },
    { "seekend", [](ScriptLine& f) { return Truth(Slot(f).SeekFromEnd(Size(f, 2))); } },
    { "pos", [](ScriptLine& f) { return Numbered(Slot(f).Position()); } },
    { "size", [](ScriptLine& f) { return Numbered(Slot(f).Size()); } },
    { "ends", [](ScriptLine& f) { return Truth(Slot(f).NotAtEnd()) + " " + Truth(Slot(f).AtEnd()); } },
    { "truncate", [](ScriptLine& f) { return Truth(Slot(f).TruncateHere()); } },
    { "flush", [](ScriptLine& f) { return Truth(Slot(f).Flush()); } },
    { "endline", [](ScriptLine& f) { return Truth(Slot(f).EndLine()); } },
    { "settime", SetTime },
    { "syserror", [](ScriptLine& f) { return Numbered(Slot(f).SystemError()); } },
    { "resulttext", [](ScriptLine& f) { return Escaped(File::ResultText(static_cast<int>(f.Number(1)))); } },
    { "errortext", [](ScriptLine& f) { return Escaped(SystemErrorText(f.Flags(1))); } },

    // Whole-file helpers.
    { "readfile", ReadFile },
    { "writefile", WriteFile },
    // Length INT_MAX: up to the first zero byte.
    { "writetext", [](ScriptLine& f) { return Truth(WriteWholeFile(f.Text(1), Unescaped(f.Str(2)).Text(), String::kToEnd)); } },
    { "writebig", WriteBig },
    { "tempfile", TempFile },
    { "append", [](ScriptLine& f) { return Truth(AppendText(f.Text(1), Unescaped(f.Str(3)), Size(f, 2))); } },
    { "same", Same },
    { "canopen", [](ScriptLine& f) { return Truth(CanBeOpened(f.Text(1))); } },
    { "attrs", [](ScriptLine& f) { return Numbered(FileAttributes(f.Text(1))); } },
    { "isreadonly", [](ScriptLine& f) { return Truth(IsReadOnly(f.Text(1))); } },
    { "setreadonly", [](ScriptLine& f) { return Truth(SetReadOnly(f.Text(1), f.Number(2) != 0)); } },
    { "clearattrs", [](ScriptLine& f) { return Truth(ClearAttributes(f.Text(1), f.Flags(2))); } },
    { "setattrs", [](ScriptLine& f) { return Truth(SetAttributes(f.Text(1), f.Flags(2), f.Flags(3))); } },
    { "delete", [](ScriptLine& f) { return Truth(DeleteOneFile(f.Text(1), Size(f, 2))); } },

    // System paths.
    { "windir", [](ScriptLine&) { return Escaped(WindowsDirectory()); } },
    { "progfile", [](ScriptLine&) { return Escaped(ProgramFile()); } },
    { "progdir", [](ScriptLine&) { return Escaped(ProgramDirectory()); } },
    { "progname", [](ScriptLine&) { return Escaped(ProgramName()); } },
    { "progdrive", [](ScriptLine&) { return Escaped(ProgramDrive() ? String(ProgramDrive()) : String()); } },
    { "comspec", [](ScriptLine&) { return Escaped(CommandInterpreter()); } },
    { "tempdir", [](ScriptLine&) { return Escaped(TemporaryDirectory()); } },
    { "sysdir", [](ScriptLine&) { return Escaped(SystemDirectory()); } },
    { "curdir", [](ScriptLine&) { return Escaped(CurrentDirectory()); } },
    { "setcurdir", [](ScriptLine& f) { return Truth(SetCurrentDirectoryA(f.Text(1))); } },
    { "shortname", [](ScriptLine& f) { return Escaped(ShortName(f.Str(1))); } },
    { "inprogdir", [](ScriptLine& f) { return Escaped(InProgramDirectory(f.Str(1))); } },
    { "abstoprog", MakeAbsoluteToProgramCommand },

    // Directories and drives.
    { "direxists", [](ScriptLine& f) { return Truth(DirectoryExists(f.Str(1))); } },
    { "driveexists", [](ScriptLine& f) { return Truth(DriveExists(f.Str(1).First())); } },
    { "mkdirs", [](ScriptLine& f) { return Truth(CreateDirectories(f.Str(1))); } },
    { "mkdirserror", [](ScriptLine& f) { return WithLastError(CreateDirectories(f.Str(1))); } },
    { "rmdir", [](ScriptLine& f) { return Truth(RemoveEmptyDirectory(f.Str(1))); } },
    { "deltree", DeleteTreeCommand },
    { "freespace", FreeSpace },
    { "drivefree", FreeSpace },
    { "cluster", [](ScriptLine& f) { return Numbered(ClusterSize(f.Str(1))); } },

    // Finding and listing.
    { "find", Find },
    { "lastwrite", [](ScriptLine& f) { return Stamp(LastWriteTimeOf(f.Text(1))); } },
    { "scan", Scan },
    { "parse", Parse },

    // Run-time loading.
    { "loadfn", LoadFunction },
    { "loadtable", LoadTable },
    { "freelibs", [](ScriptLine& f) {
          FreeLoadedLibraries();
          return Truth(GetModuleHandleA(f.Text(1)) != nullptr);
      } },
    { "waitfor", WaitFor },
};

} // namespace

int main(int argc, char** argv)
{
    InitSystemPaths();
    // Relative paths in a script must never reach the directory the test runner
    // started from (under Wine, a host directory).
    SetCurrentDirectoryA(ProgramDirectory().Text());
    return RunDriverScript(argc, argv, kCommands);
}
