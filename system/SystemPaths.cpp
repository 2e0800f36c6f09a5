#include "system/SystemPaths.h"
#include <windows.h>

static bool s_initialised = false;
static String s_windowsDirectory;
static String s_programFile;
static String s_programDirectory;
static String s_programName;
static String s_commandInterpreter;

static String FromBuffer(const char* buffer, UINT length)
{
    return length ? String(buffer, static_cast<int32_t>(length)) : String();
}

void InitSystemPaths()
{
    if (s_initialised)
        return;
    s_initialised = true;

    char buffer[MAX_PATH];
    UINT length = GetWindowsDirectoryA(buffer, MAX_PATH);
    s_windowsDirectory = FromBuffer(buffer, length < MAX_PATH ? length : 0);

    DWORD moduleLength = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    s_programFile = FromBuffer(buffer, moduleLength < MAX_PATH ? moduleLength : 0);
    int32_t slash = s_programFile.Length() - 1;
    while (slash >= 0 && s_programFile.CharAt(slash) != '\\' && s_programFile.CharAt(slash) != '/')
        --slash;
    s_programName.Assign(s_programFile.Text() + slash + 1, s_programFile.Length() - slash - 1);
    // A directory keeps its backslash only when it is a drive root ("c:\").
    int32_t directoryLength = slash == 2 && s_programFile.CharAt(1) == ':' ? 3 : slash;
    s_programDirectory.Assign(s_programFile.Text(), directoryLength);

    constexpr DWORD kExpandSize = 32000;
    String expanded;
    expanded.SetLength(kExpandSize);
    DWORD expandedLength = ExpandEnvironmentStringsA("%comspec%", expanded.Buffer(), kExpandSize - 1);
    expanded.RecountLength();
    if (expandedLength && expandedLength < kExpandSize && !IsBlank(expanded.Text()) &&
        expanded.Compare("%comspec%", false) != 0)
        s_commandInterpreter = expanded;
    else
        s_commandInterpreter = s_windowsDirectory + "\\command.com";
    if (ContainsAnyOf(s_commandInterpreter.Text(), String::kWhiteSpace))
        s_commandInterpreter.Quote();
}

const String& WindowsDirectory() { return s_windowsDirectory; }
const String& ProgramFile() { return s_programFile; }
const String& ProgramDirectory() { return s_programDirectory; }
const String& ProgramName() { return s_programName; }
const String& CommandInterpreter() { return s_commandInterpreter; }
