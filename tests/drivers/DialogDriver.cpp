// Shows the installer's windows one by one for the Wine tests, which look at them and
// drive them from outside with windowinspector.exe and screenshots. It runs a script of
// commands, one a line, and prints what each shown window answered.
//
//   dialogdriver.exe <script file>
//
// Script (texts take the escapes \r \n \t \\ and \| for a bar that does not separate):
//   languages <name>|<name>...      the package's languages
//   text <n> <text>|<text>...       string n of the table, one text per language
//   language <index>                the language the dialogs show (default 0)
//   look <field> <value>            title, title-color, shadow, position, top, bottom,
//                                   size, fullscreen (colours as hex COLORREF values)
//   picture <path>                  the picture from a .BMP file
//   picture-packed <path>           the picture from a file that holds a packed bitmap
//   save-picture <path>             writes the picture as a .BMP file
//   background                      creates the background window
//   dialog language|directory <initial>|license <text>|readme <text>
//   progress install|uninstall cancel|nocancel <step delay>
//                                   steps until C:\bench\stop exists; Cancel asks
//                                   string 28 under caption 20 and Yes ends the driver
//                                   with exit code 3
//   hold                            keeps the windows alive until the background window
//                                   is closed or C:\bench\stop exists
//
// Output, one line each: "ready <what>", "answer <dialog> <answer> [<detail>]", "shown
// <language>" when the language dialog re-labels, "command <id>" for every command sent
// to a window (Esc, the close box and button clicks send them), "step <n> <ms held>",
// "cancel <yes|no>", "saved <0|1>", "loaded <0|1>".
#include "core/String.h"
#include "core/Vector.h"
#include "system/FileOperations.h"
#include "ui/BackgroundWindow.h"
#include "ui/ChooseDirDlg.h"
#include "ui/DialogIds.h"
#include "ui/LanguageDlg.h"
#include "ui/MessagePump.h"
#include "ui/PictureFile.h"
#include "ui/ProgressDlg.h"
#include "ui/TextDlg.h"
#include <cstdio>
#include <cstdlib>
#include <ole2.h>
#include <windows.h>

namespace {

constexpr DWORD kLongestHold = 120000;
constexpr char kStopFile[] = "C:\\bench\\stop";

bool StopAsked()
{
    return GetFileAttributesA(kStopFile) != INVALID_FILE_ATTRIBUTES;
}
constexpr int kMostSteps = 2000;

void Print(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Print(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    vprintf(format, arguments);
    va_end(arguments);
    printf("\n");
    fflush(stdout);
}

String Unescaped(const String& text)
{
    String out;
    for (int32_t i = 0; i < text.Length(); ++i) {
        char c = text.CharAt(i);
        if (c == '\\' && i + 1 < text.Length()) {
            char next = text.CharAt(++i);
            out += next == 'r' ? '\r' : next == 'n' ? '\n' : next == 't' ? '\t' : next;
        } else {
            out += c;
        }
    }
    return out;
}

// Splits at bars that are not escaped, then unescapes each part.
Vector<String> Parts(const String& text)
{
    Vector<String> parts;
    String part;
    for (int32_t i = 0; i < text.Length(); ++i) {
        char c = text.CharAt(i);
        if (c == '\\' && i + 1 < text.Length()) {
            part += c;
            part += text.CharAt(++i);
        } else if (c == '|') {
            parts.Append(Unescaped(part));
            part.Clear();
        } else {
            part += c;
        }
    }
    parts.Append(Unescaped(part));
    return parts;
}

class ScriptTexts final : public TextSource {
public:
    String Text(int number, int language) const override
    {
        const Vector<String>* row = m_rows.ElementOrNull(number);
        const String* text = row ? row->ElementOrNull(language) : nullptr;
        return text ? *text : String();
    }
    void Set(int number, const Vector<String>& texts)
    {
        while (m_rows.Count() <= number)
            m_rows.AppendNew();
        m_rows[number] = texts;
    }

private:
    Vector<Vector<String>> m_rows;
};

struct Driver final : LanguageListener, CancelListener {
    Vector<String> languages;
    ScriptTexts texts;
    int language = 0;
    BackgroundLook look;
    HWND background = nullptr;
    ProgressDlg progress;

    void LanguageShown(int shown) override
    {
        Print("shown %d", shown);
        look.displayTitle = texts.Text(0, shown);
        if (background)
            RepaintBackground(background);
    }

    void CancelPressed(HWND dialog) override
    {
        bool yes = MessageBoxA(dialog, texts.Text(28, language).Text(), texts.Text(20, language).Text(),
                               MB_YESNO | MB_ICONQUESTION) == IDYES;
        Print("cancel %s", yes ? "yes" : "no");
        if (yes) {
            progress.Destroy();
            ExitProcess(3);
        }
    }
};

// Every command sent or posted to a window of this thread: Esc and the close box reach
// a dialog as IDCANCEL, so the tests can see that they arrived and did nothing.
LRESULT CALLBACK WatchSentCommands(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_COMMAND)
        Print("command %d", LOWORD(call->wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK WatchPostedCommands(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == WM_COMMAND)
        Print("command %d", LOWORD(message->wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void SetLook(BackgroundLook& look, const String& field, const String& value)
{
    uint32_t hex = static_cast<uint32_t>(strtoul(value.Text(), nullptr, 16));
    int32_t number = static_cast<int32_t>(String::ToInt64(value.Text()));
    struct {
        const char* name;
        uint32_t* colour;
        uint8_t* byte;
    } const fields[] = {
        { "title-color", &look.titleColor, nullptr }, { "top", &look.topColor, nullptr },
        { "bottom", &look.bottomColor, nullptr },     { "shadow", nullptr, &look.titleShadow },
        { "position", nullptr, &look.titlePosition },
    };
    for (const auto& known : fields) {
        if (field == known.name && known.colour)
            *known.colour = hex;
        else if (field == known.name)
            *known.byte = static_cast<uint8_t>(number);
    }
    if (field == "title")
        look.displayTitle = Unescaped(value);
    else if (field == "size")
        look.bitmapSize = number;
    else if (field == "fullscreen")
        look.fullScreen = number != 0;
    look.monoColor = look.topColor == look.bottomColor;
}

void RunProgress(Driver& driver, const String& mode, const String& cancel, uint32_t delay)
{
    if (!driver.progress.Create(driver.background, driver.texts, driver.language, mode == "uninstall",
                                cancel == "nocancel", &driver)) {
        Print("answer progress failed");
        return;
    }
    Print("ready progress");
    for (int step = 0; step < kMostSteps && !StopAsked(); ++step) {
        String text;
        text.Format("Step %d", step);
        DWORD start = GetTickCount();
        driver.progress.Step(text, step * 10 % 101);
        driver.progress.WaitForStep(delay);
        Print("step %d %lu", step, GetTickCount() - start);
    }
    driver.progress.Destroy();
    Print("answer progress done");
}

void Hold(HWND window)
{
    DWORD start = GetTickCount();
    while (window && IsWindow(window) && !StopAsked() && GetTickCount() - start < kLongestHold) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        PumpMessages();
    }
}

void Run(Driver& driver, const String& command, const String& rest)
{
    String argument = rest;
    String first = argument.TakeWord();
    if (command == "languages") {
        driver.languages = Parts(rest);
    } else if (command == "text") {
        driver.texts.Set(static_cast<int>(String::ToInt64(first.Text())), Parts(argument));
    } else if (command == "language") {
        driver.language = static_cast<int>(String::ToInt64(first.Text()));
    } else if (command == "look") {
        SetLook(driver.look, first, argument);
    } else if (command == "picture") {
        Print("loaded %d", LoadPictureFile(driver.look.picture, rest));
    } else if (command == "picture-packed") {
        String bytes;
        (void)ReadWholeFile(rest.Text(), bytes); // a missing file loads as an empty picture
        Print("loaded %d", driver.look.picture.Load(bytes.Text(), bytes.Length()));
    } else if (command == "save-picture") {
        Print("saved %d", SavePictureFile(driver.look.picture, rest.Text()));
    } else if (command == "background") {
        driver.background = CreateBackgroundWindow(GetModuleHandleA(nullptr), driver.look);
        UpdateWindow(driver.background);
        PumpMessages();
        RECT client;
        GetClientRect(driver.background, &client);
        Print("ready background %ld %ld", client.right, client.bottom);
    } else if (command == "dialog" && first == "language") {
        int answer = ShowLanguageDlg(driver.background, driver.languages, driver.texts, &driver, driver.language);
        Print("answer language %d %d", answer, driver.language);
    } else if (command == "dialog" && first == "directory") {
        String directory = Unescaped(argument);
        bool ok = ShowChooseDirDlg(driver.background, driver.texts, driver.language, directory);
        Print("answer directory %d %s", ok, directory.Text());
    } else if (command == "dialog" && (first == "license" || first == "readme")) {
        String text = Unescaped(argument);
        int answer = first == "license" ? ShowLicenseDlg(driver.background, text, driver.texts, driver.language)
                                        : ShowReadmeDlg(driver.background, text, driver.texts, driver.language);
        Print("answer %s %d", first.Text(), answer);
    } else if (command == "progress") {
        String cancel = argument.TakeWord();
        RunProgress(driver, first, cancel, static_cast<uint32_t>(String::ToInt64(argument.Text())));
    } else if (command == "hold") {
        Hold(driver.background);
        Print("answer hold done");
    } else {
        Print("error unknown command %s", command.Text());
    }
}

}

int main(int argc, char** argv)
{
    if (argc != 2) {
        Print("error usage: dialogdriver <script>");
        return 2;
    }
    String script;
    if (ReadWholeFile(argv[1], script)) {
        Print("error cannot read %s", argv[1]);
        return 2;
    }
    // As in the installer: the folder browser and shell links need OLE.
    OleInitialize(nullptr);
    SetWindowsHookExA(WH_CALLWNDPROC, WatchSentCommands, nullptr, GetCurrentThreadId());
    SetWindowsHookExA(WH_GETMESSAGE, WatchPostedCommands, nullptr, GetCurrentThreadId());
    char locale[256] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SLANGUAGE, locale, 255);
    Print("locale %s", locale);
    static Driver driver;
    Vector<String> lines;
    script.SplitLines(lines);
    for (String& line : lines) {
        if (line.IsEmpty() || line.First() == '#')
            continue;
        String command = line.TakeWord();
        Run(driver, command, line);
    }
    if (driver.background)
        DestroyWindow(driver.background);
    OleUninitialize();
    Print("end");
    return 0;
}
