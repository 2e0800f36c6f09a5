// The readers of the records an installation leaves, fed any bytes. The first byte
// chooses the reader, the rest is its text:
//   0: Uninstall.DAT   1: SharedFiles   2: ProductFonts   3: ProductFlags
// Besides not crashing, hanging or reading out of bounds, each reader must give only
// what the uninstaller may act on, and what it gives must survive being written again
// by the writers and read back unchanged: that is how a partial uninstall stores what is
// left, and how a reinstall reads the lists of the installation before it.
#include "core/String.h"
#include "records/FontList.h"
#include "records/SharedFileList.h"
#include "records/UninstallFile.h"
#include "records/UninstallValues.h"
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool condition)
{
    if (!condition)
        abort();
}

bool HasLineBreakOrZero(const String& text)
{
    return text.FindFirstOf("\r\n") >= 0 || SafeLength(text.Text()) != text.Length();
}

void UninstallDat(const String& text)
{
    UninstallFile file;
    ReadUninstallFile(text, file);

    String list;
    for (const UninstallItem& item : file.items) {
        Check(item.path.Length() > 0 && !HasLineBreakOrZero(item.path));
        Check(item.percent >= 10 && item.percent < 90);
        if (item.kind == UninstallItem::kFile)
            Check(item.path.Length() > 3 && (item.path.CharAt(1) == ':' || item.path.StartsWith("\\\\")));
        else
            list += '!';
        list += item.path;
        list += "\r\n";
    }
    for (int32_t i = 0; i < file.directories.Count(); ++i) {
        const String& directory = file.directories[i];
        Check(directory.Length() > 3 && !HasLineBreakOrZero(directory));
        Check(i == 0 || file.directories[i - 1].Length() >= directory.Length());
        list += '~';
        list += directory;
        list += "\r\n";
    }
    String associations;
    for (const FileAssociation& a : file.associations) {
        Check(!a.extension.IsEmpty() && !a.typeName.IsEmpty() && !a.verb.IsEmpty());
        AppendAssociationLine(associations, a.extension, a.typeName, a.verb);
    }

    UninstallFile again;
    Check(ReadUninstallFile(BuildUninstallFile(list, file.messages, associations), again) == 0);
    Check(again.items.Count() == file.items.Count());
    for (int32_t i = 0; i < file.items.Count(); ++i)
        Check(again.items[i].kind == file.items[i].kind && again.items[i].path == file.items[i].path);
    Check(again.directories.Count() == file.directories.Count());
    for (int32_t i = 0; i < file.directories.Count(); ++i)
        Check(again.directories[i] == file.directories[i]);
    for (int32_t number : kUninstallMessageNumbers)
        Check(again.messages.Text(number) == file.messages.Text(number));
    Check(again.associations.Count() == file.associations.Count());
    for (int32_t i = 0; i < file.associations.Count(); ++i) {
        Check(again.associations[i].extension == file.associations[i].extension);
        Check(again.associations[i].typeName == file.associations[i].typeName);
        Check(again.associations[i].verb == file.associations[i].verb);
    }
}

// Reads a list and writes what it read again; every step must move forward.
String RebuildSharedFiles(const String& text)
{
    String rebuilt;
    String path;
    char marker = 0;
    for (int32_t position = 0, before = 0; NextSharedFile(text, position, path, marker); before = position) {
        Check(position > before && position <= text.Length() && !path.IsEmpty());
        AppendSharedFile(rebuilt, path, marker);
    }
    return rebuilt;
}

String RebuildFonts(const String& text)
{
    String rebuilt;
    String face, file;
    for (int32_t position = 0, before = 0; NextFont(text, position, face, file); before = position) {
        Check(position > before && position <= text.Length() && !face.IsEmpty());
        AppendFont(rebuilt, face, file);
    }
    return rebuilt;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > (1u << 24))
        return 0;
    String text(data + 1, static_cast<int32_t>(size - 1));
    switch (data[0] % 4) {
    case 0:
        UninstallDat(text);
        break;
    case 1: {
        String rebuilt = RebuildSharedFiles(text);
        Check(RebuildSharedFiles(rebuilt) == rebuilt);
        break;
    }
    case 2: {
        String rebuilt = RebuildFonts(text);
        Check(RebuildFonts(rebuilt) == rebuilt);
        break;
    }
    default: {
        uint64_t flags = ParseProductFlags(text);
        Check(ParseProductFlags(ProductFlagsText(flags)) == flags);
        break;
    }
    }
    return 0;
}
