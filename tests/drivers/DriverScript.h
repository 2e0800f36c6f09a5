#pragma once
#include "core/String.h"
#include "core/Vector.h"
#include <cstdint>

// The script machine of the test drivers. A driver is a table of named commands; it
// runs a script file of one command a line, fields separated by "|", and prints one
// line per command, "<command>: <result>", which the Wine tests read back. Texts in
// results are shown in brackets with bytes outside printable ASCII as \xNN (Escaped),
// so that lengths and zero bytes show.
//
//   <driver>.exe <script file>

// One line of a script: its fields, the first naming the command.
class ScriptLine {
public:
    explicit ScriptLine(const String& line);

    // The field as written; "" when the line has no such field.
    String Str(int32_t index) const;
    // The same as a pointer; null for the field "<null>", so that a command can hand a
    // null pointer to an operation that accepts one.
    const char* Text(int32_t index) const;
    // The field as a decimal number; 0 when missing or "<null>".
    int64_t Number(int32_t index) const;
    uint32_t Flags(int32_t index) const { return static_cast<uint32_t>(Number(index)); }

    // For a command that gives several results: prints one result line now. The runner
    // then prints no line of its own for this command.
    void Print(const String& label, const String& result);
    bool Printed() const { return m_printed; }

private:
    Vector<String> m_fields;
    bool m_printed = false;
};

using CommandHandler = String (*)(ScriptLine& line);

struct DriverCommand {
    const char* name;
    CommandHandler run;
};

// Runs the script named by argv[1] against the table. Answers the process's exit code:
// 0 when the script ran (an unknown command is a result line, not a failure), 2
// without a script argument, 3 when the script cannot be read.
int RunDriverScript(int argc, char** argv, const DriverCommand* commands, int32_t count);

template <int32_t N>
int RunDriverScript(int argc, char** argv, const DriverCommand (&commands)[N])
{
    return RunDriverScript(argc, argv, commands, N);
}

// "[text]" with bytes outside printable ASCII as \xNN.
String Escaped(const String& text);
// Undoes the escapes of free-text fields: \r \n \t \\ and \xNN.
String Unescaped(const String& text);
// The value of a hexadecimal digit; -1 for any other character.
int HexDigit(char c);
