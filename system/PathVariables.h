#pragma once
#include "core/String.h"
#include <cstdint>

// Path variables: a package names folders it cannot know in advance as "%Name%" (the
// install directory, the system directory, the user's desktop...). Its file targets,
// deletion rules, shortcut and association fields and extra Uninstall values are
// expanded before use, and its command scripts see the same folders as environment
// variables. The text work here is portable; the values come from the caller
// (CommandBatch.h gives the running machine's), so the host tests can check it.

// In the order of expansion: each is replaced everywhere before the next is looked for,
// so a later variable is still found inside an earlier one's value.
enum class PathVariable : uint8_t {
    BootDrive,         // "C:"
    CommonDir,
    InstallDir,
    InstallDrive,      // "C:", empty without a drive letter
    ProgramsDir,       // Program Files, not the Start menu's programs
    SharedDir,
    SystemDir,
    InstallerDir,
    InstallerDrive,    // the letter alone ("D"), empty without one
    InstallerFilename,
    InstallerFilepath,
    DeviceDir,
    MediaDir,
    FavoritesDir,
    FavoritesAllDir,
    FontDir,
    DesktopDir,
    DesktopAllDir,
    DocumentDir,
    DocumentAllDir,
    StartMenuDir,
    StartMenuAllDir,
    SMProgramsDir,
    SMProgramsAllDir,
    StartupDir,
    StartupAllDir,
    Temp,              // without a trailing backslash
    WinDir,
};
constexpr int kPathVariableCount = static_cast<int>(PathVariable::WinDir) + 1;

// The name between the percent signs ("InstallDir").
const char* PathVariableName(PathVariable variable);

// Where the values come from. A value is asked for only when the text names it.
class PathVariableValues {
public:
    virtual String Value(PathVariable variable) const = 0;

protected:
    ~PathVariableValues() = default;
};

// Replaces every "%Name%" of the 28 variables, names matched in any letter case. A
// value is inserted as it is: it is not searched again for its own variable, but later
// variables are found in it. Unknown names stay as they are.
void ExpandPathVariables(String& text, const PathVariableValues& values);

// The command batch QUOXBAT.BAT: "@echo off", the SET lines of the folders (InstallDir
// and InstallDrive only when the install directory is not empty; the installer's drive
// with its colon here), then the commands, without their PAUSE lines when
// `removePauses`; every line break made CR LF.
constexpr char kBatchFileName[] = "QUOXBAT.BAT";
String BatchText(const String& commands, const PathVariableValues& values, bool removePauses);

// Whether the commands hold anything but blanks and line breaks: a blank batch is
// neither written nor run.
bool HasCommands(const String& commands);

