#include "system/ScriptText.h"
#include "core/Vector.h"
#include <utility>

static bool IsPauseLine(const String& line)
{
    String command = line;
    command.Trim();
    if (command.RemoveFirstIf('@'))
        command.TrimLeft();
    return command.Compare("PAUSE", false) == 0;
}

void RemovePauses(String& script)
{
    Vector<String> lines;
    script.SplitLines(lines);
    // A script that ends with a line break has no line after it.
    if (!lines.IsEmpty() && lines[lines.Count() - 1].IsEmpty())
        lines.RemoveAt(lines.Count() - 1);
    String kept;
    for (const String& line : lines) {
        if (IsPauseLine(line))
            continue;
        kept += line;
        kept += "\r\n";
    }
    script = std::move(kept);
}
