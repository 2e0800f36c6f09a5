#include "system/SystemPaths.h"
#include "system/Path.h"
#include <windows.h>

static bool s_initialised = false;
static String s_windowsDirectory;
static String s_programFile;
static String s_programDirectory;
static String s_programName;
static char s_programDrive = 0;
static String s_commandInterpreter;
static String s_temporaryDirectory;

// A fixed-size Win32 answer: the reported length counts only when the text fitted.
static String FromBuffer(const char* buffer, DWORD length, DWORD size)
{
    return length && length < size ? String(buffer, static_cast<int32_t>(length)) : String();
}

static String ExpandCommandInterpreter()
{
    constexpr DWORD kExpandSize = 32000;
    String expanded;
    if (!expanded.TrySetLength(kExpandSize))
        return String();
    DWORD length = ExpandEnvironmentStringsA("%comspec%", expanded.Buffer(), kExpandSize - 1);
    if (!length || length > kExpandSize - 1)
        return String();
    expanded.RecountLength();
    // An unset variable is left as it was written.
    if (expanded.Compare("%comspec%", false) == 0)
        return String();
    return expanded;
}

static String AskTemporaryDirectory()
{
    String directory;
    DWORD needed = GetTempPathA(0, nullptr);
    if (needed && directory.TrySetLength(static_cast<int32_t>(needed))) {
        DWORD length = GetTempPathA(needed, directory.Buffer());
        if (length && length < needed)
            directory.SetLength(static_cast<int32_t>(length));
        else
            directory.Clear();
    }
    directory.RemoveLastIf('\\');
    if (directory.IsEmpty())
        directory = "c:\\temp";
    return directory;
}

void InitSystemPaths()
{
    if (s_initialised)
        return;
    s_initialised = true;

    char buffer[MAX_PATH];
    s_windowsDirectory = FromBuffer(buffer, GetWindowsDirectoryA(buffer, MAX_PATH), MAX_PATH);
    s_programFile = FromBuffer(buffer, GetModuleFileNameA(nullptr, buffer, MAX_PATH), MAX_PATH);
    s_programDirectory = DirectoryPart(s_programFile);
    s_programName = FileNamePart(s_programFile);
    s_programDrive = DriveLetter(s_programFile);

    s_commandInterpreter = ExpandCommandInterpreter();
    if (IsBlank(s_commandInterpreter))
        s_commandInterpreter = JoinPath(s_windowsDirectory, "command.com");
    if (ContainsAnyOf(s_commandInterpreter.Text(), String::kWhiteSpace))
        s_commandInterpreter.Quote();

    s_temporaryDirectory = AskTemporaryDirectory();
}

const String& WindowsDirectory() { return s_windowsDirectory; }
const String& ProgramFile() { return s_programFile; }
const String& ProgramDirectory() { return s_programDirectory; }
const String& ProgramName() { return s_programName; }
char ProgramDrive() { return s_programDrive; }
const String& CommandInterpreter() { return s_commandInterpreter; }
const String& TemporaryDirectory() { return s_temporaryDirectory; }

String SystemDirectory()
{
    char buffer[MAX_PATH];
    String directory = FromBuffer(buffer, GetSystemDirectoryA(buffer, MAX_PATH), MAX_PATH);
    if (directory.IsEmpty()) {
        // The high bit of the version word marks the 9x family.
        bool nineX = (GetVersion() & 0x80000000u) != 0;
        directory = JoinPath(s_windowsDirectory, nineX ? "System" : "System32");
    }
    return directory;
}

bool MakeAbsoluteToProgram(String& path)
{
    return MakeAbsolute(path, s_programDirectory.Text());
}

String InProgramDirectory(const String& name)
{
    return JoinPath(s_programDirectory, name);
}

String ShortName(const String& path)
{
    if (path.IsEmpty())
        return String();
    int32_t size = path.Length() > MAX_PATH / 2 ? path.Length() * 2 : MAX_PATH;
    String shortPath;
    if (!shortPath.TrySetLength(size))
        return path;
    DWORD length = GetShortPathNameA(path.Text(), shortPath.Buffer(), static_cast<DWORD>(size));
    if (!length || length >= static_cast<DWORD>(size))
        return path;
    shortPath.SetLength(static_cast<int32_t>(length));
    return shortPath;
}

String CurrentDirectory()
{
    String directory;
    DWORD size = 99;
    for (int attempt = 0; attempt < 2; ++attempt) {
        directory.SetLength(static_cast<int32_t>(size));
        DWORD length = GetCurrentDirectoryA(size, directory.Buffer());
        if (length && length < size) {
            directory.SetLength(static_cast<int32_t>(length));
            return directory;
        }
        // Too small: the answer is the size needed, terminator included.
        if (!length || length > 0x7fff0000u)
            break;
        size = length;
    }
    return String();
}
