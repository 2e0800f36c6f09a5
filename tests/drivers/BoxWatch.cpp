// The Wine bench's eyes and hands inside the prefix. It starts the program under test,
// watches every dialog window that program shows (message boxes included), writes
// what each one says to a report file, answers it as the test asked, and finally
// writes the program's exit code.
//
//   boxwatch.exe <script> <report>
//
// Script, one item a line: the first line is the command line to start (verbatim);
// "timeout <ms>" sets the time limit; every other line is the answer to the next
// dialog in order of appearance: "default" (its default button), "id <n>" (the button
// or command with that id, e.g. 6 for Yes, 7 for No), "button <text>" (the button
// whose text, without "&", matches ignoring case; "button <a>/<b>" the first of them
// that the dialog has), or "leave" (leave it open). Dialogs
// beyond the answers get "default". A modeless dialog without a message (a progress
// dialog, whose owner stays enabled) is reported but takes no answer.
//
// Report, one record a line, fields separated by tabs, texts escaped (\\ \t \r \n):
//   box <caption> <text> <buttons separated by |>
//   exit <code>        or        timeout
#include "core/String.h"
#include "core/Vector.h"
#include <windows.h>

namespace {

constexpr int kMaxSeen = 256;

struct Watch {
    DWORD processId = 0;
    HWND seen[kMaxSeen] = {};
    int seenCount = 0;
    String answers[64];
    int answerCount = 0;
    int nextAnswer = 0;
    HANDLE report = INVALID_HANDLE_VALUE;
};

String ReadFileText(const char* path)
{
    String text;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return text;
    DWORD size = GetFileSize(file, nullptr);
    text.SetLength(static_cast<int32_t>(size));
    DWORD got = 0;
    if (size)
        ReadFile(file, text.Buffer(), size, &got, nullptr);
    text.SetLength(static_cast<int32_t>(got));
    CloseHandle(file);
    return text;
}

void AppendEscaped(String& out, const char* text)
{
    for (; *text; ++text) {
        switch (*text) {
        case '\\': out.Append("\\\\"); break;
        case '\t': out.Append("\\t"); break;
        case '\r': out.Append("\\r"); break;
        case '\n': out.Append("\\n"); break;
        default: out.Append(*text);
        }
    }
}

void WriteRecord(Watch& watch, const String& record)
{
    DWORD written = 0;
    WriteFile(watch.report, record.Text(), static_cast<DWORD>(record.Length()), &written, nullptr);
    FlushFileBuffers(watch.report);
}

String WindowText(HWND window)
{
    String text;
    int length = GetWindowTextLengthA(window);
    text.SetLength(length + 1);
    GetWindowTextA(window, text.Buffer(), length + 1);
    text.RecountLength();
    return text;
}

struct ButtonSearch {
    String names;
    const char* wanted = nullptr;
    HWND found = nullptr;
};

String WithoutAmpersands(const String& text)
{
    String out;
    for (int32_t i = 0; i < text.Length(); ++i) {
        if (text.CharAt(i) != '&')
            out.Append(text.CharAt(i));
    }
    return out;
}

BOOL CALLBACK VisitButton(HWND child, LPARAM parameter)
{
    auto* search = reinterpret_cast<ButtonSearch*>(parameter);
    char className[32];
    GetClassNameA(child, className, sizeof(className));
    if (lstrcmpiA(className, "Button") || !IsWindowVisible(child))
        return TRUE;
    String name = WithoutAmpersands(WindowText(child));
    if (!search->names.IsEmpty())
        search->names.Append('|');
    search->names.Append(name);
    if (search->wanted && !search->found && name.Compare(search->wanted, false) == 0 &&
        name.Length() == SafeLength(search->wanted))
        search->found = child;
    return TRUE;
}

void Press(HWND dialog, int id, HWND control)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

void Answer(Watch& watch, HWND dialog)
{
    String answer = watch.nextAnswer < watch.answerCount ? watch.answers[watch.nextAnswer] : String("default");
    ++watch.nextAnswer;
    if (answer.StartsWith("id ")) {
        int id = static_cast<int>(String::ToInt64(answer.Text() + 3));
        Press(dialog, id, GetDlgItem(dialog, id));
    } else if (answer.StartsWith("button ")) {
        // "button Cancel/OK": the first of the named buttons that the dialog has.
        Vector<String> names;
        String(answer.Text() + 7).Split(names, "/");
        for (const String& name : names) {
            ButtonSearch search;
            search.wanted = name.Text();
            EnumChildWindows(dialog, VisitButton, reinterpret_cast<LPARAM>(&search));
            if (search.found) {
                Press(dialog, GetDlgCtrlID(search.found), search.found);
                break;
            }
        }
    } else if (answer.StartsWith("default")) {
        LRESULT result = SendMessageA(dialog, DM_GETDEFID, 0, 0);
        int id = HIWORD(result) == DC_HASDEFID ? LOWORD(result) : IDOK;
        Press(dialog, id, GetDlgItem(dialog, id));
    }
}

BOOL CALLBACK VisitWindow(HWND window, LPARAM parameter)
{
    auto* watch = reinterpret_cast<Watch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != watch->processId || !IsWindowVisible(window))
        return TRUE;
    char className[32];
    GetClassNameA(window, className, sizeof(className));
    if (lstrcmpA(className, "#32770"))
        return TRUE;
    for (int i = 0; i < watch->seenCount; ++i) {
        if (watch->seen[i] == window)
            return TRUE;
    }
    if (watch->seenCount < kMaxSeen)
        watch->seen[watch->seenCount++] = window;

    // A message box holds its text in the static control with id 0xFFFF.
    char text[8192];
    text[0] = 0;
    GetDlgItemTextA(window, 0xFFFF, text, sizeof(text));
    ButtonSearch search;
    EnumChildWindows(window, VisitButton, reinterpret_cast<LPARAM>(&search));
    String record("box\t");
    AppendEscaped(record, WindowText(window).Text());
    record.Append('\t');
    AppendEscaped(record, text);
    record.Append('\t');
    AppendEscaped(record, search.names.Text());
    record.Append("\r\n");
    WriteRecord(*watch, record);
    // A modeless dialog (the progress dialog: its owner stays enabled) waits for no
    // answer, and takes none from those meant for the next ones.
    HWND ownerWindow = GetWindow(window, GW_OWNER);
    if (text[0] || !ownerWindow || !IsWindowEnabled(ownerWindow))
        Answer(*watch, window);
    return TRUE;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    const char* cursor = commandLine;
    String scriptPath, reportPath;
    while (*cursor == ' ')
        ++cursor;
    while (*cursor && *cursor != ' ')
        scriptPath.Append(*cursor++);
    while (*cursor == ' ')
        ++cursor;
    reportPath = cursor;

    static Watch watch;
    String script = ReadFileText(scriptPath.Text());
    String target;
    DWORD timeoutMs = 30000;
    int line = 0;
    for (int32_t start = 0; start < script.Length();) {
        int32_t end = start;
        while (end < script.Length() && script.CharAt(end) != '\n')
            ++end;
        String item(script.Text() + start, end - start);
        item.RemoveLastIf('\r');
        if (line++ == 0)
            target = item;
        else if (item.StartsWith("timeout "))
            timeoutMs = static_cast<DWORD>(String::ToInt64(item.Text() + 8));
        else if (!item.IsEmpty() && watch.answerCount < 64)
            watch.answers[watch.answerCount++] = item;
        start = end + 1;
    }

    watch.report = CreateFileA(reportPath.Text(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (watch.report == INVALID_HANDLE_VALUE)
        return 3;

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, target.Buffer(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        String record;
        record.Format("error\tcannot start (%lu)\r\n", GetLastError());
        WriteRecord(watch, record);
        return 4;
    }
    watch.processId = process.dwProcessId;

    DWORD started = GetTickCount();
    for (;;) {
        DWORD waited = WaitForSingleObject(process.hProcess, 20);
        EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&watch));
        if (waited == WAIT_OBJECT_0)
            break;
        if (GetTickCount() - started > timeoutMs) {
            TerminateProcess(process.hProcess, 259);
            WriteRecord(watch, "timeout\r\n");
            return 5;
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    String record;
    record.Format("exit\t%lu\r\n", code);
    WriteRecord(watch, record);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(watch.report);
    return 0;
}
