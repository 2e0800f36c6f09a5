#include "tests/drivers/DriverScript.h"
#include "system/FileOperations.h"
#include <cstdio>

ScriptLine::ScriptLine(const String& line)
{
    line.Split(m_fields, "|", String::kSplitKeepEmpty);
}

String ScriptLine::Str(int32_t index) const
{
    const String* field = m_fields.ElementOrNull(index);
    return field ? *field : String();
}

const char* ScriptLine::Text(int32_t index) const
{
    const String* field = m_fields.ElementOrNull(index);
    if (!field)
        return "";
    return *field == "<null>" ? nullptr : field->Text();
}

int64_t ScriptLine::Number(int32_t index) const
{
    const char* text = Text(index);
    return String::ToInt64(text ? text : "0");
}

static void PrintLine(const String& label, const String& result)
{
    printf("%s: %s\n", label.Text(), result.Text());
    fflush(stdout);
}

void ScriptLine::Print(const String& label, const String& result)
{
    PrintLine(label, result);
    m_printed = true;
}

int RunDriverScript(int argc, char** argv, const DriverCommand* commands, int32_t count)
{
    if (argc < 2)
        return 2;
    String script;
    if (ReadWholeFile(argv[1], script) != 0)
        return 3;
    // Lines end at CR or LF only: a free-text field may hold zero bytes.
    Vector<String> lines;
    script.Split(lines, "\r\n");
    for (const String& text : lines) {
        ScriptLine line(text);
        String name = line.Str(0);
        const DriverCommand* command = nullptr;
        for (int32_t i = 0; i < count && !command; ++i) {
            if (name == commands[i].name)
                command = &commands[i];
        }
        String result = command ? command->run(line) : "unknown command " + Escaped(name);
        if (!line.Printed())
            PrintLine(name, result);
    }
    return 0;
}

String Escaped(const String& text)
{
    String out("[");
    for (int32_t i = 0; i < text.Length(); ++i) {
        unsigned char c = static_cast<unsigned char>(text.CharAt(i));
        if (c < 32 || c > 126)
            out.AppendFormat("\\x%02X", c);
        else
            out += static_cast<char>(c);
    }
    out += ']';
    return out;
}

int HexDigit(char c)
{
    if (IsDigit(c))
        return c - '0';
    c = ToLowerChar(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

String Unescaped(const String& text)
{
    String out;
    for (int32_t i = 0; i < text.Length(); ++i) {
        char c = text.CharAt(i);
        if (c != '\\' || i + 1 >= text.Length()) {
            out += c;
            continue;
        }
        char next = text.CharAt(++i);
        if (next == 'r')
            out += '\r';
        else if (next == 'n')
            out += '\n';
        else if (next == 't')
            out += '\t';
        else if (next == 'x' && i + 2 < text.Length()) {
            out += static_cast<char>(HexDigit(text.CharAt(i + 1)) * 16 + HexDigit(text.CharAt(i + 2)));
            i += 2;
        } else
            out += next;
    }
    return out;
}
