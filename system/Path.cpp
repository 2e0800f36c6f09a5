#include "system/Path.h"
#include <cstring>

// Small searches on the path's bytes; -1 when the character is not there.
static int32_t IndexOf(const String& text, char c, int32_t from = 0)
{
    for (int32_t i = from < 0 ? 0 : from; i < text.Length(); ++i) {
        if (text.CharAt(i) == c)
            return i;
    }
    return -1;
}

static int32_t LastIndexOf(const String& text, char c)
{
    for (int32_t i = text.Length() - 1; i >= 0; --i) {
        if (text.CharAt(i) == c)
            return i;
    }
    return -1;
}

// The bytes from `start` on, at most `count` of them.
static String Piece(const String& text, int32_t start, int32_t count = String::kToEnd)
{
    if (start < 0 || start >= text.Length())
        return String();
    if (count > text.Length() - start)
        count = text.Length() - start;
    return String(text.Text() + start, count);
}

int32_t LastSeparator(const String& path)
{
    int32_t end = IndexOf(path, ';');
    if (end < 0)
        end = path.Length();
    int32_t colon = -1;
    for (int32_t i = end - 1; i >= 0; --i) {
        char c = path.CharAt(i);
        if (c == '\\')
            return i;
        if (c == ':')
            colon = i;
    }
    return colon;
}

String DirectoryPart(const String& path)
{
    int32_t separator = LastSeparator(path);
    if (separator < 0)
        return String();
    bool keep = path.CharAt(separator) == ':' || (separator > 0 && path.CharAt(separator - 1) == ':');
    return Piece(path, 0, keep ? separator + 1 : separator);
}

String DirectoryPartWithSeparator(const String& path)
{
    int32_t separator = LastSeparator(path);
    return separator < 0 ? String() : Piece(path, 0, separator + 1);
}

// The file-name part looks at the whole text, not only before a ";".
static int32_t FileNameStart(const String& path)
{
    int32_t backslash = LastIndexOf(path, '\\');
    if (backslash >= 0)
        return backslash + 1;
    return IndexOf(path, ':') + 1;
}

String FileNamePart(const String& path)
{
    return Piece(path, FileNameStart(path));
}

int32_t ExtensionIndex(const String& path)
{
    int32_t dot = LastIndexOf(path, '.');
    return dot > LastIndexOf(path, '\\') ? dot : -1;
}

void StripToName(String& path)
{
    path.RemoveFirst(FileNameStart(path));
}

bool StripExtension(String& path)
{
    int32_t dot = ExtensionIndex(path);
    return dot >= 0 && path.Truncate(dot);
}

bool AddExtension(String& path, const char* extension)
{
    if (!extension || !*extension || IsBlank(path) || ExtensionIndex(path) >= 0)
        return false;
    if (*extension != '.')
        path.Append('.');
    path.Append(extension);
    return true;
}

String JoinPath(const String& directory, const String& name)
{
    if (directory.IsEmpty())
        return name;
    if (name.IsEmpty())
        return directory;
    String joined(directory);
    if (name.First() == '\\')
        joined.RemoveLastIf('\\');
    else if (joined.Last() != ':' && joined.Last() != '\\')
        joined.Append('\\');
    joined.Append(name);
    return joined;
}

static bool StartsWithDrive(const char* path)
{
    return path && IsLetter(path[0]) && path[1] == ':';
}

String DriveRoot(const String& path)
{
    if (!StartsWithDrive(path.Text()))
        return String();
    return Piece(path, 0, path.CharAt(2) == '\\' ? 3 : 2);
}

String DriveText(const String& path)
{
    if (!IsLetter(path.First()))
        return String();
    String drive(path.First());
    drive.Append(':');
    return drive;
}

char DriveLetter(const String& path)
{
    return StartsWithDrive(path.Text()) ? ToUpperChar(path.First()) : 0;
}

static const char* SkipBlanks(const char* text)
{
    while (IsSpace(*text))
        ++text;
    return text;
}

bool IsAbsolutePath(const char* path)
{
    if (!path)
        return false;
    path = SkipBlanks(path);
    if (path[0] == '\\' && path[1] == '\\')
        return true;
    return path[0] && path[1] == ':' && path[2] == '\\';
}

bool MakeAbsolute(String& path, const char* base)
{
    if (!base || !IsAbsolutePath(base))
        return false;
    base = SkipBlanks(base);
    bool baseEndsInBackslash = LastCharOf(base) == '\\';
    String result(path);
    result.Trim();
    if (result.IsEmpty() || result.StartsWith("\\\\"))
        return false;

    if (result.First() == '\\') {
        if (!StartsWithDrive(base))
            return false;
        result.Insert(0, base, 2);
    } else if (result.CharAt(1) == ':') {
        // A network base has no directory that could be moved onto another drive.
        if (result.CharAt(2) == '\\' || !StartsWithDrive(base))
            return false;
        String directory(base + 2);
        if (!baseEndsInBackslash)
            directory.Append('\\');
        result.Insert(2, directory);
    } else {
        String prefix(base);
        if (!baseEndsInBackslash)
            prefix.Append('\\');
        result.Insert(0, prefix);
    }
    path = static_cast<String&&>(result);
    return true;
}

static String DirectoryForComparison(const String& path)
{
    String text(path);
    text.Trim();
    text.RemoveLastIf('\\');
    return text;
}

bool SameDirectory(const String& a, const String& b)
{
    return DirectoryForComparison(a).Compare(DirectoryForComparison(b), false) == 0;
}

bool PathHolds(const String& outer, const String& inner)
{
    if (IsBlank(outer) || IsBlank(inner))
        return false;
    if (SameDirectory(outer, inner))
        return true;
    String prefix = DirectoryForComparison(outer);
    prefix.Append('\\');
    String text = DirectoryForComparison(inner);
    return text.Length() > prefix.Length() && text.Compare(prefix, false, prefix.Length()) == 0;
}

bool IsRootPath(const String& path)
{
    String text(path);
    text.Trim();
    text.TrimRightChar('\\');
    if (text.Length() <= 2)
        return true; // "", "\", "c:" and other stubs of a path
    if (text.StartsWith("\\\\")) {
        // \\server\share: the share is the root; a third part is a directory in it.
        int32_t serverEnd = IndexOf(text, '\\', 2);
        return serverEnd < 0 || IndexOf(text, '\\', serverEnd + 1) < 0;
    }
    return false;
}

bool IsValidPath(const String& path, int32_t options)
{
    String text(path);
    if (options & kPathTrim)
        text.Trim();
    text.Unwrap('"');
    if (IsBlank(text) || memchr(text.Text(), 0, static_cast<size_t>(text.Length())))
        return false;
    int32_t start = 0;
    if (text.CharAt(1) == ':') {
        if (!IsLetter(text.First()))
            return false;
        start = 2;
    }
    const char* forbidden = (options & kPathAllowWildcards) ? "/\"<>|:;"
                            : (options & kPathAllowStar)   ? "/\"<>|?:;"
                                                           : "/\"<>|*?:;";
    return !ContainsAnyOf(text.Text() + start, forbidden);
}
