#pragma once
#include "core/String.h"

// The installer's command line: /a, /d:"dir", /n:"name", /u:"name", /r:"program", with
// "/" or "-" as the switch character. Parsing is pure text work, so it is kept apart
// from the entry and tested on the host.
struct CommandLine {
    bool automaticMode = false;
    bool uninstallMode = false;
    String installDir;
    String displayName;
    String uninstallName;
    String runAfterInstall;
    // Empty when the line was accepted; otherwise the complaint of the usage error.
    String complaint;
};

// Only this many atoms are looked at; the rest of the line is ignored unread.
constexpr int kMaxCommandLineAtoms = 19;

// Takes the next atom from `cursor` and moves it past the atom. An atom starts after
// blanks and runs to the next blank; a double quote opens a stretch that may hold
// blanks, and the quotes stay in the atom. Answers an empty atom at the end.
String NextCommandLineAtom(const char*& cursor);

// Parses the text Windows passes as the command line (without the program name).
// Stops at the first usage error, whose complaint is left in the result.
CommandLine ParseCommandLine(const char* text);
