#include "system/PathVariables.h"
#include "system/ScriptText.h"

static const char* const kNames[kPathVariableCount] = {
    "BootDrive",     "CommonDir",       "InstallDir",      "InstallDrive",      "ProgramsDir",
    "SharedDir",     "SystemDir",       "InstallerDir",    "InstallerDrive",    "InstallerFilename",
    "InstallerFilepath", "DeviceDir",   "MediaDir",        "FavoritesDir",      "FavoritesAllDir",
    "FontDir",       "DesktopDir",      "DesktopAllDir",   "DocumentDir",       "DocumentAllDir",
    "StartMenuDir",  "StartMenuAllDir", "SMProgramsDir",   "SMProgramsAllDir",  "StartupDir",
    "StartupAllDir", "Temp",            "WinDir",
};

// The SET lines after InstallDir and InstallDrive, in their order. Temp and WinDir have
// none: the command interpreter has its own.
static const PathVariable kBatchOrder[] = {
    PathVariable::SharedDir,       PathVariable::InstallerFilepath, PathVariable::InstallerDir,
    PathVariable::InstallerFilename, PathVariable::InstallerDrive,  PathVariable::SystemDir,
    PathVariable::DeviceDir,       PathVariable::MediaDir,          PathVariable::FavoritesDir,
    PathVariable::FavoritesAllDir, PathVariable::FontDir,           PathVariable::DesktopDir,
    PathVariable::DesktopAllDir,   PathVariable::DocumentDir,       PathVariable::DocumentAllDir,
    PathVariable::ProgramsDir,     PathVariable::StartMenuDir,      PathVariable::StartMenuAllDir,
    PathVariable::SMProgramsDir,   PathVariable::SMProgramsAllDir,  PathVariable::StartupDir,
    PathVariable::StartupAllDir,   PathVariable::BootDrive,         PathVariable::CommonDir,
};

const char* PathVariableName(PathVariable variable)
{
    return kNames[static_cast<int>(variable)];
}

void ExpandPathVariables(String& text, const PathVariableValues& values)
{
    if (text.FindChar('%') < 0)
        return;
    for (int i = 0; i < kPathVariableCount; ++i) {
        String pattern;
        pattern.Format("%%%s%%", kNames[i]);
        if (text.Find(pattern, 0, String::kIgnoreCase) >= 0)
            text.Replace(pattern.Text(), values.Value(static_cast<PathVariable>(i)), String::kIgnoreCase);
    }
}

static void AppendSetLine(String& text, PathVariable variable, const String& value)
{
    text.AppendFormat("SET %s=%s\r\n", PathVariableName(variable), value.Text());
}

bool HasCommands(const String& commands)
{
    return commands.FindFirstNotOf(String::kWhiteSpace) >= 0;
}

String BatchText(const String& commands, const PathVariableValues& values, bool removePauses)
{
    String text("@echo off\r\n");
    String installDir = values.Value(PathVariable::InstallDir);
    if (!installDir.IsEmpty()) {
        AppendSetLine(text, PathVariable::InstallDir, installDir);
        AppendSetLine(text, PathVariable::InstallDrive, values.Value(PathVariable::InstallDrive));
    }
    for (PathVariable variable : kBatchOrder) {
        String value = values.Value(variable);
        // The letter alone where a path names it, the drive with its colon here.
        if (variable == PathVariable::InstallerDrive && !value.IsEmpty())
            value += ':';
        AppendSetLine(text, variable, value);
    }
    String body = commands;
    if (removePauses)
        RemovePauses(body);
    text += body;
    text.NormalizeLineBreaks();
    return text;
}
