#include "system/AutoexecPath.h"

String AutoexecPathLine(const String& shortInstallDir)
{
    String line;
    line.Format("PATH=%%PATH%%;%s\r\n", shortInstallDir.Text());
    return line;
}

namespace {

// The line of `content` at `at` is `text` (compared ignoring case) and ends there: at
// the end of the file or at its line break. Answers the length of the line with its
// break, or 0.
int32_t WholeLineAt(const String& content, int32_t at, const String& text)
{
    if (content.Length() - at < text.Length())
        return 0;
    for (int32_t i = 0; i < text.Length(); ++i) {
        if (ToLowerChar(content.CharAt(at + i)) != ToLowerChar(text.CharAt(i)))
            return 0;
    }
    int32_t end = at + text.Length();
    if (content.CharAt(end) == '\r')
        ++end;
    if (content.CharAt(end) == '\n')
        ++end;
    return end == at + text.Length() && end < content.Length() ? 0 : end - at;
}

}

bool EditPathLine(String& content, const String& line, bool add)
{
    String text(line);
    text.TrimRight("\r\n");
    for (int32_t at = 0; at < content.Length();) {
        if (int32_t length = WholeLineAt(content, at, text)) {
            if (add)
                return false;
            content.Delete(at, length);
            return true;
        }
        at = content.FindChar('\n', at);
        if (at < 0)
            break;
        ++at;
    }
    if (!add)
        return false;
    if (content.Last() != '\n')
        content += "\r\n";
    content += line;
    return true;
}
