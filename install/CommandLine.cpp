#include "install/CommandLine.h"

String NextCommandLineAtom(const char*& cursor)
{
    const char* p = cursor ? cursor : "";
    while (IsSpace(*p))
        ++p;
    const char* start = p;
    bool quoted = false;
    while (*p && (quoted || !IsSpace(*p))) {
        if (*p == '"')
            quoted = !quoted;
        ++p;
    }
    cursor = p;
    return String(start, static_cast<int32_t>(p - start));
}

// "D:" and "N:" values lose one pair of enclosing quotes, and only a complete pair.
static String Unquoted(const String& atom, int32_t prefixLength)
{
    String value(atom.Text() + prefixLength, atom.Length() - prefixLength);
    value.Unwrap('"');
    return value;
}

CommandLine ParseCommandLine(const char* text)
{
    CommandLine result;
    const char* cursor = text;
    for (int handled = 0; handled < kMaxCommandLineAtoms; ++handled) {
        String atom = NextCommandLineAtom(cursor);
        if (atom.IsEmpty())
            break;
        String option(atom);
        if (!option.RemoveOptionPrefix()) {
            result.complaint = "Unexpected command line parameter:\n" + atom;
            break;
        }
        if (option.IsEmpty())
            continue; // a lone switch character
        char letter = ToUpperChar(option.First());
        bool colon = option.CharAt(1) == ':';
        if (option.Length() == 1 && letter == 'A') {
            result.automaticMode = true;
        } else if (letter == 'D' && colon) {
            result.installDir = Unquoted(option, 2);
        } else if (letter == 'N' && colon) {
            result.displayName = Unquoted(option, 2);
        } else if (letter == 'U') {
            // Any switch that begins with U asks for uninstallation; only "U:" names the product.
            result.uninstallMode = true;
            if (colon)
                result.uninstallName = Unquoted(option, 2);
        } else if (letter == 'R' && colon && option.CharAt(2) == '"') {
            // Back quotes stand for the double quotes a quoted atom cannot hold.
            String program(option.Text() + 3, option.Length() - 3);
            program.RemoveLastIf('"');
            for (int32_t i = 0; i < program.Length(); ++i) {
                if (program.At(i) == '`')
                    program.At(i) = '"';
            }
            result.runAfterInstall = program;
        } else {
            result.complaint = "Illegal command line atom:\n" + atom;
            break;
        }
    }
    return result;
}
