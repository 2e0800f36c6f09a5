#pragma once
#include "core/String.h"

// The system paths, worked out once at start-up (later calls do nothing) and read
// through these accessors for the rest of the run.
void InitSystemPaths();

const String& WindowsDirectory();
const String& ProgramFile();       // the program's own file, full path
const String& ProgramDirectory();
const String& ProgramName();       // file-name part of ProgramFile
const String& CommandInterpreter();
