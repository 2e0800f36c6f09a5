#include "builder/Diagnostics.h"

std::string Diagnostic::Text() const
{
    std::string text = file;
    if (line > 0) {
        text += ':';
        text += std::to_string(line);
    }
    text += ": ";
    if (!table.empty()) {
        text += table;
        text += ' ';
    }
    if (!field.empty()) {
        text += field;
        text += ": ";
    }
    text += message;
    return text;
}

std::string Diagnostics::Text() const
{
    std::string text;
    for (const Diagnostic& item : m_items)
        text += item.Text() + "\n";
    return text;
}
