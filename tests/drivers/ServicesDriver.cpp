// Drives replacement at restart, the restart of Windows, the process launcher, file
// versions, shortcuts and type libraries for the Wine tests. It runs a script of
// commands, one a line, fields separated by "|", and prints one line per command:
// "<command>: <result>". Texts are printed in brackets with bytes outside printable
// ASCII as \xNN; a field "<null>" stands for a null pointer.
//
//   servicesdriver.exe <script file>
//   servicesdriver.exe --child <report file> <exit code> <milliseconds> [anything]
//
// The second form is the child that the launcher tests start: it writes what it was
// started with (current directory, show state, priority class, command line) to the
// report file, sleeps, and ends with the exit code.
#include "core/String.h"
#include "core/Vector.h"
#include "system/AutoexecPath.h"
#include "system/CommandBatch.h"
#include "system/ComSupport.h"
#include "system/File.h"
#include "system/FileAtRestart.h"
#include "system/FileOperations.h"
#include "system/FileVersion.h"
#include "system/ProcessLauncher.h"
#include "system/ShellLink.h"
#include "system/SystemIdentity.h"
#include "system/SystemPaths.h"
#include "system/TypeLibrary.h"
#include "system/WindowsRestart.h"
#include "tests/drivers/DriverScript.h"
#include "ui/MessagePump.h"
#include <cstdio>
#include <cstdlib>
#include <windows.h>
#include <oleauto.h>
#include <shlobj.h>

namespace {

struct Fields {
    Vector<String> items;

    // Null for "<null>", "" past the end.
    const char* Text(int32_t i)
    {
        String* item = items.ElementOrNull(i);
        if (!item)
            return "";
        return *item == "<null>" ? nullptr : item->Text();
    }
    String Str(int32_t i)
    {
        const char* text = Text(i);
        return String(text ? text : "");
    }
    int64_t Number(int32_t i) { return String::ToInt64(Str(i).Text()); }
};

String Truth(bool value)
{
    return String(value ? "1" : "0");
}

// A truth value and the thread's last error: "1 0", "0 32".
String WithError(bool value)
{
    String text;
    text.Format("%d %lu", value ? 1 : 0, GetLastError());
    return text;
}

String Change(FileChange change)
{
    DWORD error = GetLastError();
    const char* name = change == FileChange::kDone ? "done" : change == FileChange::kAtRestart ? "restart" : "failed";
    String text;
    text.Format("%s %lu", name, error);
    return text;
}

// Files held open without sharing, so that they cannot be replaced or deleted: slots A
// and B.
File s_held[2];

File& Held(Fields& f)
{
    return s_held[f.Str(1) == "B" ? 1 : 0];
}

// Replacement and deletion at restart ----------------------------------------------------

String DeleteNowOrAtRestart(Fields& f)
{
    SetLastError(12345);
    return Change(DeleteFileNowOrAtRestart(f.Text(1), static_cast<int32_t>(f.Number(2))));
}

String DeleteOne(Fields& f)
{
    return Truth(DeleteOneFile(f.Text(1), static_cast<int32_t>(f.Number(2))));
}

String Move(Fields& f)
{
    SetLastError(12345);
    return Change(MoveOneFile(f.Text(1), f.Text(2), static_cast<int32_t>(f.Number(3))));
}

String Rename(Fields& f)
{
    SetLastError(12345);
    return WithError(AddRenameEntry(f.Text(1), f.Text(2)));
}

String Hold(Fields& f)
{
    return String(static_cast<int64_t>(Held(f).Open(f.Text(2), File::kOpenExisting)));
}

String Release(Fields& f)
{
    return Truth(Held(f).Close());
}

// writelines|path|line|line...: the lines, each ended by CR LF, as the whole file.
String WriteLines(Fields& f)
{
    String text;
    for (int32_t i = 2; i < f.items.Count(); ++i)
        text += f.Str(i) + "\r\n";
    return Truth(WriteWholeFile(f.Text(1), text));
}

String ChangeDirectory(Fields& f)
{
    return Truth(SetCurrentDirectoryA(f.Text(1)));
}

String Short(Fields& f)
{
    return Escaped(ShortName(f.Str(1)));
}

String Family(Fields&)
{
    return String(IsNtFamily() ? "nt" : "9x");
}

// Restart ---------------------------------------------------------------------------------

// Whether the process token holds the privilege, and whether it is enabled: "held on".
String PrivilegeState(Fields& f)
{
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened))
        return String("no token");
    LUID wanted;
    if (!LookupPrivilegeValueA(nullptr, f.Text(1), &wanted)) {
        CloseHandle(opened);
        return String("unknown");
    }
    char buffer[4096];
    DWORD size = 0;
    bool read = GetTokenInformation(opened, TokenPrivileges, buffer, sizeof buffer, &size);
    CloseHandle(opened);
    if (!read)
        return String("unreadable");
    const TOKEN_PRIVILEGES* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer);
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
        const LUID_AND_ATTRIBUTES& entry = privileges->Privileges[i];
        if (entry.Luid.LowPart == wanted.LowPart && entry.Luid.HighPart == wanted.HighPart)
            return String((entry.Attributes & SE_PRIVILEGE_ENABLED) ? "held on" : "held off");
    }
    return String("not held");
}

String Privilege(Fields& f)
{
    return Truth(SetPrivilege(f.Text(1), f.Number(2) != 0));
}

String Restart(Fields& f)
{
    return WithError(RestartWindows(static_cast<int>(f.Number(1)), static_cast<uint32_t>(f.Number(2))));
}

// Launcher --------------------------------------------------------------------------------

// A hidden window whose timer ticks while a child runs; the ticks dispatched during the
// wait show whether the launcher pumped.
int32_t s_ticks;
String s_reported;

LRESULT CALLBACK TickWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        ++s_ticks;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND TickWindow()
{
    static HWND s_window;
    if (!s_window) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = TickWindowProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "QuoxTicks";
        RegisterClassA(&windowClass);
        s_window = CreateWindowA("QuoxTicks", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
    }
    return s_window;
}

void Report(const String& text)
{
    s_reported = text;
}

// run|command line|options|directory: the answer in hex, the timer ticks dispatched
// during the run, and the text a failed start reported.
String Run(Fields& f)
{
    HWND window = TickWindow();
    SetTimer(window, 1, 10, nullptr);
    s_ticks = 0;
    s_reported = "";
    LauncherHooks hooks;
    hooks.pump = PumpMessages;
    hooks.reportFailure = Report;
    uint32_t answer = RunProgram(f.Text(1), static_cast<uint32_t>(f.Number(2)), f.Text(3), hooks);
    int32_t ticks = s_ticks;
    KillTimer(window, 1);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    String text;
    text.Format("%08X ticks %d ", answer, ticks);
    return text + Escaped(s_reported);
}

String Open(Fields& f)
{
    SetLastError(12345);
    return WithError(OpenDocument(f.Text(1)));
}

// assoc|.ext|command: a file type whose open verb runs the command, for the opener.
String Associate(Fields& f)
{
    String type = String("Quox") + f.Str(1);
    String command = type + "\\shell\\open\\command";
    bool made = RegSetValueA(HKEY_CLASSES_ROOT, f.Text(1), REG_SZ, type.Text(), 0) == ERROR_SUCCESS &&
                RegSetValueA(HKEY_CLASSES_ROOT, command.Text(), REG_SZ, f.Text(2), 0) == ERROR_SUCCESS;
    return Truth(made);
}

// Waits until the file exists, at most the given milliseconds.
String WaitFor(Fields& f)
{
    DWORD start = GetTickCount();
    while (GetFileAttributesA(f.Text(1)) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start > static_cast<DWORD>(f.Number(2)))
            return String("0");
        Sleep(20);
    }
    return String("1");
}

// Path variables and the PATH line --------------------------------------------------------

// expand|install dir|shared dir|text: the text with the machine's path variables.
String Expand(Fields& f)
{
    String installDir = f.Str(1);
    String sharedDir = f.Str(2);
    String text = f.Str(3);
    ExpandPathVariables(text, MachinePathValues(installDir, sharedDir));
    return Escaped(text);
}

// autoexec|add or remove|install dir: the message, [] when done.
String Autoexec(Fields& f)
{
    return Escaped(EditAutoexecPath(f.Str(2), f.Str(1) == "add"));
}

// File versions -----------------------------------------------------------------------------

String Version(Fields& f)
{
    return Escaped(FileVersion(f.Text(1), f.Number(2) != 0));
}

String VersionStringOf(Fields& f)
{
    String text("stale");
    bool found = ReadVersionString(f.Text(1), f.Text(2), text);
    return Truth(found) + " " + Escaped(text);
}

String Translation(Fields& f)
{
    String block("stale");
    bool read = ReadVersionBlock(f.Text(1), block);
    return Truth(read) + " " + Truth(!block.IsEmpty()) + " " + Escaped(VersionTranslation(block));
}

// Shortcuts ----------------------------------------------------------------------------------

String Link(Fields& f)
{
    SetLastError(12345);
    return WithError(CreateLink(f.Text(1), f.Text(2), f.Text(3), f.Text(4), f.Text(5)));
}

String Shortcut(Fields& f, bool desktop)
{
    String linkPath("stale");
    bool made = desktop ? CreateDesktopShortcut(f.Text(1), f.Text(2), f.Text(3), f.Text(4), linkPath, f.Text(5),
                                                f.Number(6) != 0)
                        : CreateProgramsShortcut(f.Text(1), f.Text(2), f.Text(3), f.Text(4), linkPath, f.Text(5),
                                                 f.Number(6) != 0);
    return Truth(made) + " " + Escaped(linkPath);
}

String DesktopShortcut(Fields& f)
{
    return Shortcut(f, true);
}

String ProgramsShortcut(Fields& f)
{
    return Shortcut(f, false);
}

// readlink|path: target, arguments, working directory, icon and its index, description,
// as the shell's link object reads them back from the file.
String ReadLink(Fields& f)
{
    WCHAR widePath[kWidePathSize];
    if (!ToWidePath(f.Text(1), widePath))
        return String("bad path");
    ComPointer<IShellLinkA> link;
    ComPointer<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.Out())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.Out())) || FAILED(file->Load(widePath, STGM_READ)))
        return String("unreadable");
    char target[MAX_PATH] = "", arguments[MAX_PATH] = "", directory[MAX_PATH] = "", icon[MAX_PATH] = "",
         description[MAX_PATH] = "";
    int iconIndex = -1;
    link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetArguments(arguments, MAX_PATH);
    link->GetWorkingDirectory(directory, MAX_PATH);
    link->GetIconLocation(icon, MAX_PATH, &iconIndex);
    link->GetDescription(description, MAX_PATH);
    String text = Escaped(target) + " " + Escaped(arguments) + " " + Escaped(directory) + " " + Escaped(icon);
    text.AppendFormat(" %d ", iconIndex);
    return text + Escaped(description);
}

// Type libraries -------------------------------------------------------------------------------

// maketlb|path|{guid}: a small type library of that identity, version 1.0, neutral locale.
String MakeTypeLibrary(Fields& f)
{
    WCHAR widePath[kWidePathSize];
    WCHAR wideGuid[64] = {};
    GUID guid;
    if (!ToWidePath(f.Text(1), widePath) || !MultiByteToWideChar(CP_ACP, 0, f.Text(2), -1, wideGuid, 64) ||
        FAILED(CLSIDFromString(wideGuid, &guid)))
        return String("bad arguments");
    ComPointer<ICreateTypeLib2> creator;
    HRESULT result = CreateTypeLib2(SYS_WIN32, widePath, creator.OutTyped());
    if (SUCCEEDED(result))
        result = creator->SetGuid(guid);
    if (SUCCEEDED(result))
        result = creator->SetVersion(1, 0);
    if (SUCCEEDED(result))
        result = creator->SetLcid(LOCALE_NEUTRAL);
    if (SUCCEEDED(result))
        result = creator->SetName(const_cast<LPOLESTR>(L"QuoxTestLibrary"));
    if (SUCCEEDED(result))
        result = creator->SaveAllChanges();
    String text;
    text.Format("%08lX", static_cast<unsigned long>(result));
    return text;
}

String RegisterLibrary(Fields& f)
{
    SetLastError(12345);
    return WithError(RegisterTypeLibrary(f.Text(1)));
}

String UnregisterLibrary(Fields& f)
{
    SetLastError(12345);
    return WithError(UnregisterTypeLibrary(f.Text(1)));
}

// The number of type libraries registered under HKEY_CLASSES_ROOT\TypeLib.
String TypeLibraryCount(Fields&)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "TypeLib", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return String("-1");
    DWORD count = 0;
    LONG status = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return String(static_cast<int64_t>(status == ERROR_SUCCESS ? count : -1));
}

struct Command {
    const char* name;
    String (*run)(Fields&);
};

const Command kCommands[] = {
    {"delete", DeleteNowOrAtRestart},
    {"deleteone", DeleteOne},
    {"move", Move},
    {"rename", Rename},
    {"hold", Hold},
    {"release", Release},
    {"shortname", Short},
    {"cd", ChangeDirectory},
    {"writelines", WriteLines},
    {"family", Family},
    {"privstate", PrivilegeState},
    {"privilege", Privilege},
    {"restart", Restart},
    {"run", Run},
    {"open", Open},
    {"assoc", Associate},
    {"waitfor", WaitFor},
    {"version", Version},
    {"string", VersionStringOf},
    {"translation", Translation},
    {"link", Link},
    {"desktop", DesktopShortcut},
    {"programs", ProgramsShortcut},
    {"readlink", ReadLink},
    {"maketlb", MakeTypeLibrary},
    {"regtlb", RegisterLibrary},
    {"unregtlb", UnregisterLibrary},
    {"tlbcount", TypeLibraryCount},
    {"expand", Expand},
    {"autoexec", Autoexec},
};

String RunCommand(const String& line)
{
    Fields f;
    line.Split(f.items, "|", String::kSplitKeepEmpty);
    String name = f.Str(0);
    for (const Command& command : kCommands) {
        if (name == command.name)
            return command.run(f);
    }
    return "unknown command " + Escaped(name);
}

// The child of the launcher tests.
int Child(const char* reportFile, int exitCode, int milliseconds)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    String report;
    report.Format("directory=%s\r\nshow=%d\r\npriority=%lu\r\ncommand=%s\r\n", CurrentDirectory().Text(),
                  (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1,
                  GetPriorityClass(GetCurrentProcess()), GetCommandLineA());
    if (!WriteWholeFile(reportFile, report))
        return 99;
    Sleep(static_cast<DWORD>(milliseconds));
    return exitCode;
}

} // namespace

int main(int argc, char** argv)
{
    InitSystemPaths();
    if (argc >= 5 && String(argv[1]) == "--child")
        return Child(argv[2], atoi(argv[3]), atoi(argv[4]));
    if (argc < 2)
        return 2;
    // Relative paths in a script must never reach the directory the test runner started
    // from (under Wine, a host directory).
    SetCurrentDirectoryA(ProgramDirectory().Text());
    if (FAILED(OleInitialize(nullptr)))
        return 4;
    String script;
    if (ReadWholeFile(argv[1], script) != File::kOpened)
        return 3;
    Vector<String> lines;
    script.SplitLines(lines);
    for (const String& line : lines) {
        if (line.IsEmpty())
            continue;
        String result = RunCommand(line);
        int32_t bar = line.FindChar('|');
        printf("%s: %s\n", (bar < 0 ? line : line.Mid(0, bar)).Text(), result.Text());
        fflush(stdout);
    }
    for (File& file : s_held)
        (void)file.Close(); // held for reading only: nothing to write back
    OleUninitialize();
    return 0;
}
