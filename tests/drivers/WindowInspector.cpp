// The Wine tests' window inspector: from outside the program under test (but inside the
// same prefix) it lists that program's windows as JSON and works its controls the way a
// user's mouse and keyboard would.
//
//   windowinspector.exe <process> <command> [<argument>...] [+ <command> ...]
//
// <process> is exe:<file name> (every running process of that name) or pid:<id>.
// <window> picks one top-level window of those processes: title:<text>, class:<name>,
// box:<title> (a message box of that title), has:<id> (one with a control of that id),
// or active (the first visible, enabled one from the top: a modal dialog rather than
// the window it disables).
//
//   list                          every top-level window and its children
//   wait <window> <ms>            until such a window is visible
//   gone <window> <ms>            until no such window is visible
//   waittext <window> <id> <text> <ms>  until the control shows the text
//   sleep <ms>
//   click <window> <id>           presses the button; refused when it is grey or hidden
//   command <window> <id>         posts the button's click notification to the window,
//                                 as the button would (whether or not it is grey)
//   select <window> <id> <index>  selects a list-box or combo-box entry and notifies
//   dblclick <window> <id> <index>  the same, then the double click
//   settext <window> <id> <text>  replaces the control's text
//   type <window> <id> <text>     types the text into the control, key by key
//   key <window> esc|enter        presses the key in the window's focused control
//   close <window>                the close box (or Alt+F4)
//
// One JSON object a line answers each command: {"command": ..., "ok": true|false, ...};
// "list" adds "windows": [{hwnd, class, id, text, rect, enabled, visible, style,
// exstyle, children: [...]}], with items and selected for list and combo boxes, checked for
// check boxes and radio buttons, position for progress bars and limit for edits.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0501
#undef WINVER
#define WINVER 0x0501
#include "core/String.h"
#include "core/Vector.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

namespace {

constexpr UINT kSendTimeout = 3000;

Vector<DWORD> s_processes;

bool OfProcesses(HWND window)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    for (DWORD id : s_processes) {
        if (id == owner)
            return true;
    }
    return false;
}

void FindProcesses(const String& selector)
{
    s_processes.Clear();
    if (selector.StartsWith("pid:")) {
        s_processes.Append(static_cast<DWORD>(String::ToInt64(selector.Text() + 4)));
        return;
    }
    String name = selector.Mid(4);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        const char* base = entry.szExeFile;
        for (const char* p = entry.szExeFile; *p; ++p) {
            if (*p == '\\')
                base = p + 1;
        }
        if (!lstrcmpiA(base, name.Text()))
            s_processes.Append(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
}

// JSON ------------------------------------------------------------------------------

// Texts are read as UTF-16 (Wine hands list-box entries across processes that way
// whatever the caller asks for) and written as JSON with \u escapes beyond ASCII.
using WideText = Vector<WCHAR>;

void AppendJsonText(String& out, const WCHAR* text, int length)
{
    out += '"';
    for (int i = 0; i < length; ++i) {
        WCHAR c = text[i];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c > 0x7e) {
            out.AppendFormat("\\u%04x", c);
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

void AppendJsonText(String& out, const char* text)
{
    WCHAR wide[512];
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 512);
    AppendJsonText(out, wide, length > 0 ? length - 1 : 0);
}

void AppendBool(String& out, const char* name, bool value)
{
    out.AppendFormat(", \"%s\": %s", name, value ? "true" : "false");
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeout, &result))
        return -1;
    return static_cast<LRESULT>(result);
}

// Asks for a text of `length` characters with `message` and appends it as JSON.
void AppendAsked(String& out, HWND window, LRESULT length, UINT message, WPARAM wParam)
{
    WideText text;
    for (LRESULT i = 0; i <= length; ++i)
        text.Append(0);
    DWORD_PTR got = 0;
    if (length > 0 && SendMessageTimeoutW(window, message, wParam, reinterpret_cast<LPARAM>(&text[0]),
                                          SMTO_ABORTIFHUNG, kSendTimeout, &got))
        text[static_cast<int32_t>(length)] = 0;
    else
        text[0] = 0;
    AppendJsonText(out, &text[0], lstrlenW(&text[0]));
}

void AppendText(String& out, HWND window)
{
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeout, &length);
    AppendAsked(out, window, static_cast<LRESULT>(length), WM_GETTEXT, length + 1);
}

// The window's text as this program's code page has it, for comparing with a selector.
String TextOf(HWND window)
{
    String text;
    LRESULT length = Send(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0 || !text.TrySetLength(static_cast<int32_t>(length) + 1))
        return text;
    Send(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.Buffer()));
    text.RecountLength();
    return text;
}

String ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

void AppendItems(String& out, HWND window, UINT countMessage, UINT lengthMessage, UINT textMessage,
                 UINT selectionMessage)
{
    LRESULT count = Send(window, countMessage, 0, 0);
    out += ", \"items\": [";
    for (LRESULT i = 0; i < count; ++i) {
        DWORD_PTR length = 0;
        SendMessageTimeoutW(window, lengthMessage, i, 0, SMTO_ABORTIFHUNG, kSendTimeout, &length);
        if (i)
            out += ", ";
        AppendAsked(out, window, static_cast<LRESULT>(length), textMessage, i);
    }
    out.AppendFormat("], \"selected\": %ld", static_cast<long>(Send(window, selectionMessage, 0, 0)));
}

void AppendWindow(String& out, HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    String className = ClassOf(window);
    LONG style = GetWindowLongA(window, GWL_STYLE);
    out.AppendFormat("{\"hwnd\": %lu, \"class\": ", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    AppendJsonText(out, className.Text());
    out.AppendFormat(", \"id\": %d, \"text\": ", GetDlgCtrlID(window));
    AppendText(out, window);
    out.AppendFormat(", \"rect\": [%ld, %ld, %ld, %ld]", rect.left, rect.top, rect.right, rect.bottom);
    AppendBool(out, "enabled", IsWindowEnabled(window));
    AppendBool(out, "visible", IsWindowVisible(window));
    out.AppendFormat(", \"style\": %lu, \"exstyle\": %lu", static_cast<unsigned long>(style),
                     static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)));
    if (!lstrcmpiA(className.Text(), "ListBox")) {
        AppendItems(out, window, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_GETCURSEL);
    } else if (!lstrcmpiA(className.Text(), "ComboBox")) {
        AppendItems(out, window, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_GETCURSEL);
    } else if (!lstrcmpiA(className.Text(), "Button")) {
        LONG kind = style & BS_TYPEMASK;
        if (kind != BS_PUSHBUTTON && kind != BS_DEFPUSHBUTTON && kind != BS_GROUPBOX)
            out.AppendFormat(", \"checked\": %ld", static_cast<long>(Send(window, BM_GETCHECK, 0, 0)));
    } else if (!lstrcmpiA(className.Text(), PROGRESS_CLASSA)) {
        out.AppendFormat(", \"position\": %ld", static_cast<long>(Send(window, PBM_GETPOS, 0, 0)));
    } else if (!lstrcmpiA(className.Text(), "Edit")) {
        out.AppendFormat(", \"limit\": %ld", static_cast<long>(Send(window, EM_GETLIMITTEXT, 0, 0)));
    }
}

struct Listing {
    String* out;
    HWND top;
    int count;
};

BOOL CALLBACK ListChild(HWND child, LPARAM parameter)
{
    auto* listing = reinterpret_cast<Listing*>(parameter);
    if (listing->count++)
        *listing->out += ", ";
    AppendWindow(*listing->out, child);
    HWND parent = GetParent(child);
    if (parent != listing->top)
        listing->out->AppendFormat(", \"parent\": %lu", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(parent)));
    *listing->out += '}';
    return TRUE;
}

BOOL CALLBACK ListTop(HWND window, LPARAM parameter)
{
    auto* listing = reinterpret_cast<Listing*>(parameter);
    if (!OfProcesses(window))
        return TRUE;
    String& out = *listing->out;
    if (listing->count++)
        out += ", ";
    AppendWindow(out, window);
    out += ", \"children\": [";
    Listing children = { &out, window, 0 };
    EnumChildWindows(window, ListChild, reinterpret_cast<LPARAM>(&children));
    out += "]}";
    return TRUE;
}

// Finding windows ---------------------------------------------------------------------

struct Search {
    const String* selector;
    HWND found;
};

bool Matches(HWND window, const String& selector)
{
    if (!IsWindowVisible(window))
        return false;
    if (selector == "active")
        return IsWindowEnabled(window);
    if (selector.StartsWith("title:"))
        return TextOf(window) == selector.Mid(6);
    if (selector.StartsWith("class:"))
        return ClassOf(window) == selector.Mid(6);
    // A message box holds its text in the static control with id 0xFFFF: "box:" tells
    // it from a dialog of the same title.
    if (selector.StartsWith("box:"))
        return GetDlgItem(window, 0xFFFF) && TextOf(window) == selector.Mid(4);
    if (selector.StartsWith("has:"))
        return GetDlgItem(window, static_cast<int>(String::ToInt64(selector.Text() + 4))) != nullptr;
    return false;
}

BOOL CALLBACK SearchTop(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    if (OfProcesses(window) && Matches(window, *search->selector)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindTop(const String& selector)
{
    Search search = { &selector, nullptr };
    EnumWindows(SearchTop, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Commands ------------------------------------------------------------------------------

struct Arguments {
    Vector<String> items;
    String At(int32_t i) const
    {
        const String* item = items.ElementOrNull(i);
        return item ? *item : String();
    }
    int Number(int32_t i) const { return static_cast<int>(String::ToInt64(At(i).Text())); }
};

bool WaitFor(const String& selector, DWORD timeout, bool present)
{
    DWORD start = GetTickCount();
    for (;;) {
        bool found = FindTop(selector) != nullptr;
        if (found == present)
            return true;
        if (GetTickCount() - start >= timeout)
            return false;
        Sleep(50);
    }
}

// Polls a control's text until it is `expected`: the condition a test waits for after
// an action, checked here rather than by starting the inspector again and again.
bool WaitText(const String& selector, int id, const String& expected, DWORD timeout)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindTop(selector);
        HWND control = window ? GetDlgItem(window, id) : nullptr;
        if (control && TextOf(control) == expected)
            return true;
        if (GetTickCount() - start >= timeout)
            return false;
        Sleep(50);
    }
}

void PressKey(HWND window, UINT key)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    HWND target = window;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus)
        target = info.hwndFocus;
    UINT scan = MapVirtualKeyA(key, 0);
    PostMessageA(target, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
}

// Runs one command and answers its error, or an empty text.
String RunCommand(const String& command, const Arguments& arguments, String& out)
{
    if (command == "list") {
        out += ", \"windows\": [";
        Listing listing = { &out, nullptr, 0 };
        EnumWindows(ListTop, reinterpret_cast<LPARAM>(&listing));
        out += ']';
        return String();
    }
    if (command == "wait" || command == "gone")
        return WaitFor(arguments.At(0), arguments.Number(1), command == "wait") ? String() : String("timed out");
    if (command == "sleep") {
        Sleep(arguments.Number(0));
        return String();
    }
    if (command == "waittext")
        return WaitText(arguments.At(0), arguments.Number(1), arguments.At(2), arguments.Number(3)) ? String()
                                                                                                  : String("timed out");
    HWND window = FindTop(arguments.At(0));
    if (!window)
        return "no such window";
    if (command == "close") {
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return String();
    }
    if (command == "key") {
        String key = arguments.At(1);
        if (key != "esc" && key != "enter")
            return "unknown key";
        PressKey(window, key == "esc" ? VK_ESCAPE : VK_RETURN);
        return String();
    }
    int id = arguments.Number(1);
    HWND control = GetDlgItem(window, id);
    if (!control)
        return "no such control";
    if (command == "click") {
        if (!IsWindowVisible(control) || !IsWindowEnabled(control))
            return "the control is grey or hidden";
        PostMessageA(control, BM_CLICK, 0, 0);
    } else if (command == "command") {
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    } else if (command == "select" || command == "dblclick") {
        bool combo = ClassOf(control) == "ComboBox";
        if (Send(control, combo ? CB_SETCURSEL : LB_SETCURSEL, arguments.Number(2), 0) < 0)
            return "no such entry";
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control));
        if (command == "dblclick")
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, combo ? CBN_DBLCLK : LBN_DBLCLK),
                         reinterpret_cast<LPARAM>(control));
    } else if (command == "settext") {
        String text = arguments.At(2);
        if (!Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.Text())))
            return "refused";
    } else if (command == "type") {
        String text = arguments.At(2);
        for (int32_t i = 0; i < text.Length(); ++i)
            PostMessageA(control, WM_CHAR, static_cast<unsigned char>(text.CharAt(i)), 1);
    } else {
        return "unknown command";
    }
    return String();
}

}

int main(int argc, char** argv)
{
    if (argc < 3) {
        printf("{\"ok\": false, \"error\": \"usage\"}\n");
        return 2;
    }
    FindProcesses(argv[1]);
    int failures = 0;
    for (int i = 2; i < argc;) {
        String command = argv[i++];
        Arguments arguments;
        while (i < argc && strcmp(argv[i], "+"))
            arguments.items.Append(String(argv[i++]));
        if (i < argc)
            ++i;
        String out("{\"command\": ");
        AppendJsonText(out, command.Text());
        String details;
        String error = RunCommand(command, arguments, details);
        AppendBool(out, "ok", error.IsEmpty());
        if (!error.IsEmpty()) {
            out += ", \"error\": ";
            AppendJsonText(out, error.Text());
            ++failures;
        }
        out += details;
        out += '}';
        printf("%s\n", out.Text());
        fflush(stdout);
    }
    return failures ? 1 : 0;
}
