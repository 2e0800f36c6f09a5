#pragma once
#include "core/String.h"

// The system paths, worked out once at start-up (later calls do nothing) and read
// through these accessors for the rest of the run. Directories carry no trailing
// backslash except a drive root.
void InitSystemPaths();

const String& WindowsDirectory();
const String& ProgramFile();       // the program's own file, full path
const String& ProgramDirectory();
const String& ProgramName();       // file-name part of ProgramFile
char ProgramDrive();               // upper-case drive letter of ProgramFile, or 0
// %comspec%, else the Windows directory's command.com; quoted when it holds a blank.
const String& CommandInterpreter();
// The user's temporary directory, "c:\temp" when Windows names none.
const String& TemporaryDirectory();

// Asked of Windows on every call; when Windows gives nothing, the Windows directory's
// "System32" on the NT family or "System" on the 9x family.
String SystemDirectory();

// A relative path made absolute against the program directory; unchanged (and false)
// when that is not possible (see MakeAbsolute).
bool MakeAbsoluteToProgram(String& path);
// The program directory joined with `name`.
String InProgramDirectory(const String& name);

// The 8.3 form of a path, the path itself when Windows cannot give one, "" for "".
String ShortName(const String& path);
// The process's current directory.
String CurrentDirectory();
