// Drives RegistryKey and the system-folder and Windows-identity functions for the Wine
// tests. It runs a script of commands, one a line, fields separated by "|", against one
// RegistryKey object (so that the key stack carries from one command to the next), and
// prints one line per command: "<command>: <result>". Texts are printed in brackets with
// bytes outside printable ASCII as \xNN, so that lengths and zero bytes show.
//
//   registrydriver.exe <script file>
//
// A field "<null>" stands for a null pointer. Roots: HKLM, HKCU, HKCR, HKU, HKCC.
#include "core/String.h"
#include "core/Value.h"
#include "core/Vector.h"
#include "system/RegistryKey.h"
#include "system/SystemFolders.h"
#include "system/SystemIdentity.h"
#include "system/SystemPaths.h"
#include <cstdio>
#include <cstring>
#include <windows.h>

namespace {

const char* const kFolderNames[kSystemFolderCount] = {
    "CommonFiles", "Desktop",   "CommonDesktop", "Documents",       "CommonDocuments", "Favorites",
    "CommonFavorites", "Fonts", "ProgramFiles",  "Media",           "DevicePath",      "StartMenu",
    "CommonStartMenu", "Programs", "CommonPrograms", "Startup",     "CommonStartup",
};

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

void Print(const String& command, const String& result)
{
    printf("%s: %s\n", command.Text(), result.Text());
    fflush(stdout);
}

HKEY Root(const String& name)
{
    if (name == "HKLM")
        return HKEY_LOCAL_MACHINE;
    if (name == "HKCU")
        return HKEY_CURRENT_USER;
    if (name == "HKCR")
        return HKEY_CLASSES_ROOT;
    if (name == "HKU")
        return HKEY_USERS;
    if (name == "HKCC")
        return HKEY_CURRENT_CONFIG;
    return nullptr;
}

struct Fields {
    Vector<String> items;

    const char* Text(int32_t i)
    {
        String* item = items.ElementOrNull(i);
        if (!item)
            return "";
        return *item == "<null>" ? nullptr : item->Text();
    }
    String Str(int32_t i)
    {
        String* item = items.ElementOrNull(i);
        return item ? *item : String();
    }
    uint32_t Number(int32_t i) { return static_cast<uint32_t>(String::ToInt64(Text(i) ? Text(i) : "0")); }
};

int HexDigit(char c)
{
    return IsDigit(c) ? c - '0' : ToLowerChar(c) - 'a' + 10;
}

String FormatValue(bool ok, Value& value)
{
    if (!ok)
        return "false";
    String out;
    out.Format("true type %d ", value.Type());
    out += Escaped(value.ToText());
    return out;
}

String Number(int64_t n)
{
    return String(n);
}

String Truth(bool b)
{
    return b ? "true" : "false";
}

void Run(const String& line, RegistryKey& key)
{
    Fields f;
    line.Split(f.items, "|", String::kSplitKeepEmpty);
    String op = f.Str(0);
    String result;
    Value value;

    if (op == "open") {
        result = Number(key.Open(Root(f.Str(1)), f.Text(2), f.Number(3)));
    } else if (op == "below") {
        result = Number(key.OpenBelow(f.Text(1), f.Number(2)));
    } else if (op == "product") {
        result = Number(key.OpenProductKey(f.Text(1), f.Number(2) != 0, f.Number(3)));
    } else if (op == "close") {
        key.Close();
        result = Escaped(key.Path());
    } else if (op == "closeall") {
        key.CloseAll();
        result = Truth(key.IsOpen());
    } else if (op == "path") {
        result = key.IsOpen() ? Escaped(key.Path()) : String("<none>");
    } else if (op == "exists") {
        result = Truth(RegistryKey::KeyExists(f.Text(1), f.Number(2) != 0));
    } else if (op == "valueexists") {
        result = Truth(key.ValueExists(f.Text(1)));
    } else if (op == "count") {
        result = Number(key.SubKeyCount());
    } else if (op == "hassubkeys") {
        result = Truth(key.HasSubKeys());
    } else if (op == "empty") {
        result = Truth(key.IsEmpty());
    } else if (op == "names") {
        Vector<String> names;
        int32_t count = key.SubKeyNames(names);
        result.Format("%d error %lu", count, GetLastError());
        for (int32_t i = 0; i < names.Count(); ++i)
            result += " " + Escaped(names.At(i));
    } else if (op == "read") {
        bool ok = key.Read(f.Text(1), value, f.Number(2));
        result = FormatValue(ok, value);
    } else if (op == "readtext") {
        result = Escaped(key.ReadText(f.Text(1), f.Text(2)));
    } else if (op == "readnumber") {
        result = Number(key.ReadNumber(f.Text(1), static_cast<int32_t>(f.Number(2))));
    } else if (op == "readflag") {
        result = Truth(key.ReadFlag(f.Text(1), f.Number(2) != 0));
    } else if (op == "readat") {
        result = Escaped(RegistryKey::ReadAt(Root(f.Str(1)), f.Text(2), f.Text(3), f.Number(4)));
    } else if (op == "write") {
        // write|name|kind|text|options, kind: empty, text, dword, int64, bool, double
        String kind = f.Str(2);
        if (kind == "text")
            value.SetText(f.Str(3));
        else if (kind == "dword")
            value.SetDword(f.Number(3));
        else if (kind == "int64")
            value.SetInt64(String::ToInt64(f.Text(3)));
        else if (kind == "bool")
            value.SetBool(f.Number(3) != 0);
        else if (kind == "double")
            value.SetDouble(static_cast<double>(String::ToInt64(f.Text(3))) / 4);
        result = Truth(key.Write(f.Text(1), value, f.Number(4)));
    } else if (op == "writetext") {
        result = Truth(key.WriteText(f.Text(1), f.Str(2), f.Number(3)));
    } else if (op == "writenumber") {
        result = Truth(key.WriteNumber(f.Text(1), f.Number(2), f.Number(3)));
    } else if (op == "deletevalue") {
        result = Number(key.DeleteValue(f.Text(1)));
    } else if (op == "deletekey") {
        result = Number(key.DeleteKey(f.Text(1), f.Number(2)));
    } else if (op == "deleteproduct") {
        result = Number(RegistryKey::DeleteProductKey(f.Text(1), f.Number(2) != 0, f.Number(3)));
    } else if (op == "deleteat") {
        result = Number(RegistryKey::DeleteKeyAt(Root(f.Str(1)), f.Text(2), f.Text(3), f.Number(4)));
    } else if (op == "raw") {
        // raw|name|type|hex bytes: a value written directly, in shapes the class never writes.
        String hex = f.Str(3);
        String bytes;
        for (int32_t i = 0; i + 1 < hex.Length(); i += 2)
            bytes += static_cast<char>(HexDigit(hex.CharAt(i)) * 16 + HexDigit(hex.CharAt(i + 1)));
        LONG status = RegSetValueExA(key.Handle(), f.Text(1), 0, f.Number(2),
                                     reinterpret_cast<const BYTE*>(bytes.Text()), static_cast<DWORD>(bytes.Length()));
        result = Number(status);
    } else if (op == "title") {
        RegistryKey::SetApplicationTitle(f.Text(1));
        result = "ok";
    } else if (op == "lasterror") {
        result = Number(GetLastError());
    } else if (op == "folders") {
        for (int i = 0; i < kSystemFolderCount; ++i)
            Print(String("folder ") + kFolderNames[i], Escaped(FolderPath(static_cast<SystemFolder>(i))));
        return;
    } else if (op == "folder") {
        int i = 0;
        while (i < kSystemFolderCount && f.Str(1) != kFolderNames[i])
            ++i;
        result = i < kSystemFolderCount ? Escaped(FolderPath(static_cast<SystemFolder>(i))) : String("unknown folder");
    } else if (op == "bootdrive") {
        result = String(BootDrive());
    } else if (op == "fontskey") {
        result = FontsKey();
    } else if (op == "registerfont") {
        result = Truth(RegisterFont(f.Text(1), f.Text(2)));
    } else if (op == "unregisterfont") {
        result = Truth(UnregisterFont(f.Text(1)));
    } else if (op == "notifyassociations") {
        result = Truth(NotifyAssociationsChanged());
    } else if (op == "notifyfolder") {
        result = Truth(NotifyFolderChanged(f.Text(1)));
    } else if (op == "notifydesktop") {
        result = Truth(NotifyDesktopChanged(f.Number(1) != 0));
    } else if (op == "isnt") {
        result = Truth(IsNtFamily());
    } else if (op == "code") {
        result = Number(WindowsCode());
    } else if (op == "description") {
        result = Escaped(WindowsDescription());
    } else if (op == "elapsed") {
        result = Number(ElapsedMilliseconds(GetTickCount() - f.Number(1)));
    } else {
        result = "unknown command";
    }
    Print(line, result);
}

String ReadScript(const char* path)
{
    String text;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return text;
    DWORD size = GetFileSize(file, nullptr);
    text.SetLength(static_cast<int32_t>(size));
    DWORD got = 0;
    if (size)
        ReadFile(file, text.Buffer(), size, &got, nullptr);
    text.SetLength(static_cast<int32_t>(got));
    CloseHandle(file);
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    InitSystemPaths();
    RegistryKey::SetApplicationTitle("Registry Driver");
    Vector<String> lines;
    ReadScript(argv[1]).SplitLines(lines);
    RegistryKey key;
    for (int32_t i = 0; i < lines.Count(); ++i) {
        if (!lines.At(i).IsEmpty())
            Run(lines.At(i), key);
    }
    return 0;
}
